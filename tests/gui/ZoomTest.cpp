#include "core/model/RomImage.h"
#include "gui/app/ViewZoom.h"
#include "gui/pages/MapEdit.h"
#include "gui/widgets/ImageView.h"
#include "tests/gui/support/EditorFixture.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

using namespace vx;

namespace {

class ZoomTest : public test::EditorFixture {
protected:
    ImageView* roomView() const { return find<ImageView>(u"ImgMapEdit", 0); }
    std::uint8_t mapByte(int room, int cell) const
    {
        return currentStage().map()[static_cast<std::size_t>(room * 64 + cell)];
    }
    void wheel(QWidget* widget, int delta, Qt::KeyboardModifiers keys)
    {
        QWheelEvent event(QPointF(10, 10), widget->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, keys, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
    }
};

} // namespace

TEST_F(ZoomTest, AtThreeTimesAPaintLandsInTheCellUnderThePointerToItsLastScreenPixel)
{
    showPage(pgMapEdit);
    menuAction(u"MenuItemZoomIn")->trigger();
    menuAction(u"MenuItemZoomIn")->trigger();
    ASSERT_EQ(form->zoom()->level(), 3);
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(roomView()->size(), QSize(768, 768));
    EXPECT_EQ(find<ImageView>(u"Img32x32ChipTable")->size(), QSize(768, 768));
    EXPECT_GE(find<QWidget>(u"ScrollBarMapEdit")->width(), 2 * 768) << "the bar under the rooms spans both";

    MapEdit& page = *form->mapEdit();
    const int room = page.viewRoom(0), column = 5, row = 6, cell = column * 8 + row;
    const int chip = (mapByte(room, cell) + 1) & 0xFF;
    page.selectChip(chip);
    const std::vector<std::uint8_t> before(currentStage().map().begin(), currentStage().map().end());
    // The last screen pixel of the cell's 96 x 96 block, and the first.
    for (const QPoint at : {QPoint(column * 96 + 95, row * 96 + 95), QPoint(column * 96, row * 96)}) {
        move(roomView(), at.x(), at.y());
        test::press(roomView(), at.x(), at.y(), Qt::LeftButton);
        test::release(roomView(), at.x(), at.y(), Qt::LeftButton);
    }
    std::vector<std::uint8_t> expected = before;
    expected[static_cast<std::size_t>(room * 64 + cell)] = static_cast<std::uint8_t>(chip);
    EXPECT_EQ(std::vector<std::uint8_t>(currentStage().map().begin(), currentStage().map().end()), expected)
        << "that cell and no other";
    const Color painted =
        roomView()->bitmap()->colorTable()[roomView()->bitmap()->pixel(column * 32 + 5, row * 32 + 5)];
    EXPECT_EQ(roomView()->grab().toImage().pixelColor(column * 96 + 16, row * 96 + 16),
              QColor(painted & 0xFF, (painted >> 8) & 0xFF, (painted >> 16) & 0xFF))
        << "shown at the same place";
}

TEST_F(ZoomTest, CtrlWheelStepsTheZoomWithinItsRangeAndTheLevelIsKeptForTheNextRun)
{
    showPage(pgMapEdit);
    wheel(roomView(), 120, Qt::NoModifier);
    EXPECT_EQ(form->zoom()->level(), 1) << "a plain wheel scrolls";
    for (int notch = 0; notch < 6; ++notch)
        wheel(roomView(), 120, Qt::ControlModifier);
    EXPECT_EQ(form->zoom()->level(), ViewZoom::Highest);
    wheel(roomView(), -60, Qt::ControlModifier);
    EXPECT_EQ(form->zoom()->level(), ViewZoom::Highest) << "half a notch waits for the other half";
    wheel(roomView(), -60, Qt::ControlModifier);
    EXPECT_EQ(form->zoom()->level(), 3);

    form.reset();
    showPage(pgMapEdit);
    EXPECT_EQ(form->zoom()->level(), 3);
    EXPECT_EQ(roomView()->size(), QSize(768, 768));
    menuAction(u"MenuItemActualSize")->trigger();
    EXPECT_EQ(roomView()->size(), QSize(256, 256));
}

// On each of the tests' screens (support/screens.json) the window opens within the screen and
// shows only the scroll bar the screen's size makes needed; zoomed, it grows no further.
TEST_F(ZoomTest, TheWindowOpensAndGrowsWithinItsScreenShowingOnlyTheScrollBarItCannotAvoid)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        SCOPED_TRACE(screen->name().toStdString());
        form.reset();
        mainForm().setScreen(screen);
        form->move(screen->availableGeometry().topLeft());
        form->show();
        EXPECT_TRUE(screen->availableGeometry().contains(form->frameGeometry())) << "the first size";
        ASSERT_TRUE(form->openImage(image));
        pages()->setCurrentIndex(pg32x32ChipEdit); // the widest page
        for (const int level : {1, 2}) {
            form->zoom()->setLevel(level); // the first screen's run kept 2
            QApplication::processEvents();
            const bool tall = screen->size().height() < 768 || level == 2, wide = screen->size().width() < 1366;
            QScrollArea* scroll = pageScroll(*pages(), pages()->currentIndex());
            EXPECT_TRUE(screen->availableGeometry().contains(form->frameGeometry())) << level;
            EXPECT_EQ(scroll->verticalScrollBar()->isVisible(), tall) << level;
            EXPECT_EQ(scroll->horizontalScrollBar()->isVisible(), wide && level == 2) << level;
        }
    }
}

TEST(ImageViewZoom, AtADevicePixelRatioOfTwoEveryPixelIsAWholeBlock)
{
    for (const int zoom : {1, 3}) {
        ImageView view;
        view.resize(4, 2);
        view.setZoom(zoom);
        auto bitmap = std::make_unique<IndexedBitmap>(4, 2);
        for (int i = 0; i < 8; ++i) {
            bitmap->setColor(i, RGB(30 * i, 255 - 30 * i, 7 * i));
            bitmap->scanLine(i / 4)[i % 4] = static_cast<std::uint8_t>(i);
        }
        view.setBitmap(std::move(bitmap));
        const int block = 2 * zoom;
        QImage target(4 * block, 2 * block, QImage::Format_RGB32);
        target.setDevicePixelRatio(2);
        view.render(&target);
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x) {
                const int i = (y / block) * 4 + x / block;
                ASSERT_EQ(target.pixelColor(x, y), QColor(30 * i, 255 - 30 * i, 7 * i))
                    << zoom << "x at " << x << "," << y;
            }
    }
}
