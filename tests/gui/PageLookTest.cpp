#include "tests/gui/support/EditorFixture.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <cstdlib>

using namespace vx;

namespace {

class PageLookTest : public test::EditorFixture {
protected:
    void SetUp() override { forceLanguage(Language::Japanese); }
};

const char* const pageFiles[] = {"map", "chip", "palette", "object", "restart", "scroll", "tiles"};

// Each page as it stands at the default size, against a checked-in picture. VX_UPDATE_PAGE_LOOKS=1
// writes the pictures instead, after a deliberate change of a page's look.
TEST_F(PageLookTest, EveryPageAtTheDefaultSizeLooksAsItsReferencePicture)
{
    MainForm& window = opened();
    window.show();
    QApplication::processEvents();
    const bool update = std::getenv("VX_UPDATE_PAGE_LOOKS") != nullptr;
    for (int page = pgMapEdit; page <= pgTileEdit; ++page) {
        SCOPED_TRACE(pageFiles[page]);
        pages()->setCurrentIndex(page);
        QApplication::processEvents();
        const QImage shot = pageSheet(Page(page))->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString path = QStringLiteral(VX_REFERENCE_DIR "/pages/%1.png").arg(QLatin1String(pageFiles[page]));
        if (update) {
            ASSERT_TRUE(shot.save(path));
            continue;
        }
        const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shot.size(), reference.size());
        if (shot != reference) {
            const QString written = QCoreApplication::applicationDirPath() +
                QStringLiteral("/page-%1.png").arg(QLatin1String(pageFiles[page]));
            shot.save(written);
            ADD_FAILURE() << "differs from " << path.toStdString() << "; shown in " << written.toStdString();
        }
    }
}

TEST_F(PageLookTest, InAWindowOfA1024x600ScreenEveryControlOfEveryPageIsReachedByScrolling)
{
    MainForm& window = opened();
    window.show();
    window.resize(630, 500); // what a 1024x600 screen leaves under a panel and a title bar
    QApplication::processEvents();
    EXPECT_TRUE(statusPanel(0)->isVisible()) << "the status bar stays in the window";
    for (int page = pgMapEdit; page <= pgTileEdit; ++page) {
        pages()->setCurrentIndex(page);
        QScrollArea* scroll = pageScroll(*pages(), page);
        QApplication::processEvents();
        for (QWidget* control : pageSheet(Page(page))->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(pageSheet(Page(page))) || control->objectName().isEmpty())
                continue;
            // By the control's frame: ensureWidgetVisible follows an item view's current item.
            const QRect place(control->mapTo(scroll->widget(), QPoint(0, 0)), control->size());
            scroll->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + 1,
                                  place.height() / 2 + 1);
            QApplication::processEvents();
            const QRect shown(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size());
            EXPECT_TRUE(scroll->viewport()->rect().contains(shown))
                << pageFiles[page] << ": " << control->objectName().toStdString();
        }
    }
}

} // namespace
