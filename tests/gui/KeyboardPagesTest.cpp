#include "core/model/RomImage.h"
#include "core/model/StageObjects.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/widgets/KeyboardReach.h"
#include "tests/gui/support/EditorFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

using namespace vx;

namespace {

// Every edit here is made with key presses only, on the focused view, as a user without a
// mouse makes it.
class KeyboardPagesTest : public test::EditorFixture {
protected:
    KeyboardPagesTest() { chooseInterfaceLanguage(Language::English); }
    ~KeyboardPagesTest() override { chooseInterfaceLanguage(std::nullopt); }
    ImageView* focused(Page page, QAnyStringView name, int number = -1)
    {
        showPage(page);
        form->show();
        QApplication::setActiveWindow(form.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        auto* view = number < 0 ? find<ImageView>(name) : find<ImageView>(name, number);
        view->setFocus(Qt::TabFocusReason);
        return view;
    }
    // Keys pressed wherever the focus is, as the keyboard sends them.
    static void keys(std::initializer_list<Qt::Key> pressed, Qt::KeyboardModifiers held = {})
    {
        for (Qt::Key key : pressed)
            QTest::keyClick(QApplication::focusWidget(), key, held);
    }
    static QString said(QObject* object, QAccessible::Text text)
    {
        return QAccessible::queryAccessibleInterface(object)->text(text);
    }
    // An arrow pressed while Shift stays held.
    static void shiftArrow(QWidget* to, Qt::Key key)
    {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::ShiftModifier);
            QApplication::sendEvent(to, &event);
        }
    }
    std::uint8_t mapByte(int room, int cell) const { return currentStage().map()[std::size_t(room * 64 + cell)]; }
};

} // namespace

TEST_F(KeyboardPagesTest, MapCellsArePaintedTakenAndStampedByKeys)
{
    focused(pgMapEdit, u"Img32x32ChipTable");
    keys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Space});
    ASSERT_EQ(form->mapEdit()->selectedChip(), 0x12);
    ImageView* left = focused(pgMapEdit, u"ImgMapEdit", 0);
    const int room = form->mapEdit()->viewRoom(0);
    EXPECT_EQ(said(left, QAccessible::Name),
              QStringLiteral("Map, left view, room ") +
                  QString::number(room, 16).rightJustified(2, QLatin1Char('0')).toUpper());
    keys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Enter});
    EXPECT_EQ(mapByte(room, 2 * 8 + 3), 0x12);
    EXPECT_EQ(said(left, QAccessible::Description), QStringLiteral("column 2, row 3, chip 12"));
    // C takes the chip under the cursor; Shift+arrows take a 2x2 stamp, painted one cell on.
    keys({Qt::Key_Up, Qt::Key_C});
    EXPECT_EQ(form->mapEdit()->selectedChip(), mapByte(room, 2 * 8 + 2));
    const std::uint8_t corner[4] = {mapByte(room, 0), mapByte(room, 1), mapByte(room, 8), mapByte(room, 9)};
    left->setCursorCell({0, 0});
    shiftArrow(left, Qt::Key_Right);
    shiftArrow(left, Qt::Key_Down);
    QTest::keyRelease(left, Qt::Key_Shift);
    ASSERT_TRUE(form->mapEdit()->stamp());
    EXPECT_EQ(form->mapEdit()->stamp()->width, 2);
    keys({Qt::Key_Right, Qt::Key_Down, Qt::Key_Space});
    EXPECT_EQ(mapByte(room, 2 * 8 + 2), corner[0]);
    EXPECT_EQ(mapByte(room, 3 * 8 + 3), corner[3]);
    // The cursor goes on into the right view, then into the next room, the bars following.
    left->setCursorCell({7, 4});
    keys({Qt::Key_Right});
    ImageView* right = find<ImageView>(u"ImgMapEdit", 1);
    EXPECT_TRUE(right->hasFocus());
    EXPECT_EQ(right->cursorCell(), QPoint(0, 4));
    right->setCursorCell({7, 4});
    keys({Qt::Key_Right});
    EXPECT_EQ(form->mapEdit()->viewRoom(0), room + 1);
    EXPECT_EQ(find<QScrollBar>(u"ScrollBarMapEdit")->value(), room + 1);
    EXPECT_EQ(right->cursorCell(), QPoint(0, 4));
    // The frame is drawn over the view only while it has the focus.
    const QImage withFocus = right->grab().toImage();
    find<QPushButton>(u"BtnMapEditReload")->setFocus();
    EXPECT_NE(right->grab().toImage(), withFocus);
    EXPECT_EQ(right->grab().toImage().convertToFormat(QImage::Format_RGB32),
              right->shown().convertToFormat(QImage::Format_RGB32));
}

TEST_F(KeyboardPagesTest, PaletteChipsTilesAndRestartPointsByKeys)
{
    focused(pgPaletteEdit, u"ImgPaletteEdit", 4);
    ImageView* colours = find<ImageView>(u"ImgColorTable");
    keys({Qt::Key_Right, Qt::Key_Down}); // on to entry 5, down into the colour table under it
    ASSERT_TRUE(colours->hasFocus());
    keys({Qt::Key_Down, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Space});
    EXPECT_EQ(said(colours, QAccessible::Description), QStringLiteral("column 1, row 1, colour 11"));
    keys({Qt::Key_Up, Qt::Key_Up});
    ASSERT_TRUE(find<ImageView>(u"ImgPaletteEdit", 1)->hasFocus()) << "up from column 1";
    keys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return});
    ImageView* next = find<ImageView>(u"ImgPaletteEdit", 5);
    EXPECT_EQ(currentStage().bgPalette()[5], 0x11);
    EXPECT_EQ(said(next, QAccessible::Description), QStringLiteral("colour 11"));

    const std::vector<std::uint8_t> chips = currentStage().chip32x32();
    focused(pg32x32ChipEdit, u"Img16x16ChipTable", 1);
    keys({Qt::Key_Right, Qt::Key_Space});
    ImageView* table = focused(pg32x32ChipEdit, u"Img32x32ChipEditTable");
    table->setCursorCell({1, 0}); // chip 0's top-right quarter
    keys({Qt::Key_Enter}, Qt::ShiftModifier);
    EXPECT_EQ(currentStage().chip32x32()[2], 0x41) << "chip 0's top-right quarter: entry 41 of table 1";
    EXPECT_NE(currentStage().chip32x32(), chips);
    const std::uint8_t entry = currentStage().chip32x32()[2];
    focused(pg32x32ChipEdit, u"ImgEdited32x32Chip")->setCursorCell({1, 0});
    keys({Qt::Key_P});
    EXPECT_NE(currentStage().chip32x32()[2], entry) << "the quarter's sub-palette stepped";

    ImageView* editor = focused(pgTileEdit, u"ImgTileEditView");
    const int steps = undoSteps();
    for (int pixel = 0; pixel < 2; ++pixel) {
        keys({Qt::Key_Right});
        const int other = (said(editor, QAccessible::Description).right(1).toInt() + 1) % 4;
        keys({Qt::Key(Qt::Key_0 + other)});
        EXPECT_EQ(said(editor, QAccessible::Description).right(1), QString::number(other));
    }
    EXPECT_EQ(undoSteps(), steps + 2) << "a digit is one step";

    ImageView* room = focused(pgRestartPointEdit, u"ImgMidPointStartRoom");
    const QString before = find<QLabel>(u"LblMidPointStartY")->text();
    keys({Qt::Key_Up});
    EXPECT_NE(find<QLabel>(u"LblMidPointStartY")->text(), before);
    EXPECT_TRUE(said(room, QAccessible::Description).startsWith(QStringLiteral("Start Y ")));
    EXPECT_EQ(statusPanel(2)->text(), said(room, QAccessible::Description));
}

TEST_F(KeyboardPagesTest, ObjectsAreReachedWithTabMovedInOneStepARunAndRemoved)
{
    showPage(pgObjectEdit);
    int room = 0;
    while (currentStage().enemyObjects().lists(room).count() < 2)
        ASSERT_LT(++room, 0x2A);
    find<QScrollBar>(u"ScrollBarObjectEdit")->setValue(room);
    ImageView* view = focused(pgObjectEdit, u"ImgObjectEdit", 0);
    const PlacedObject* second = currentStage().enemyObjects().lists(room).items(1);
    keys({Qt::Key_Tab, Qt::Key_Tab});
    ASSERT_EQ(form->objectEdit()->selectedObject(), second);
    // The view's focus stays put, so its news goes to the message panel to be said.
    EXPECT_EQ(statusPanel(2)->text(), said(view, QAccessible::Description));
    const int x = second->x, y = second->y, steps = undoSteps();
    QTest::keyPress(view, Qt::Key_Right);
    for (QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) { // held: the key repeats
        QKeyEvent repeat(type, Qt::Key_Right, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(view, &repeat);
    }
    QTest::keyRelease(view, Qt::Key_Right);
    keys({Qt::Key_Down}, Qt::ShiftModifier);
    const PlacedObject* moved = form->objectEdit()->selectedObject();
    ASSERT_TRUE(moved && moved->x == x + 2 && moved->y == y + 8);
    EXPECT_EQ(undoSteps(), steps + 2) << "a run of presses is one step";
    const int count = currentStage().enemyObjects().totalCount();
    keys({Qt::Key_Delete});
    EXPECT_EQ(currentStage().enemyObjects().totalCount(), count - 1);
}

TEST_F(KeyboardPagesTest, TabFollowsReadingOrderAndControlsAreNamedInTheInterfaceLanguage)
{
    for (std::optional<Language> language : {std::optional(Language::English), std::optional(Language::Japanese)}) {
        chooseInterfaceLanguage(language);
        form.reset();
        for (int page = 0; page < PageCount; ++page) {
            QWidget* sheet = showPage(Page(page));
            const std::vector<QWidget*> order = readingOrder(sheet);
            ASSERT_GT(order.size(), 1u);
            for (std::size_t i = 0; i + 1 < order.size(); ++i) {
                QWidget* next = order[i]->nextInFocusChain();
                while (std::ranges::find(order, next) == order.end())
                    next = next->nextInFocusChain();
                EXPECT_EQ(next, order[i + 1]) << page << ": after " << order[i]->objectName().toStdString();
                const QPoint a = order[i]->mapTo(sheet, QPoint()), b = order[i + 1]->mapTo(sheet, QPoint());
                EXPECT_TRUE(a.y() < b.y() || (a.y() == b.y() && a.x() <= b.x()));
            }
            for (QWidget* control : order)
                EXPECT_FALSE(said(control, QAccessible::Name).isEmpty() ||
                             said(control, QAccessible::Name).contains(QLatin1Char('&')))
                    << page << ": " << control->objectName().toStdString();
        }
        const bool english = language == Language::English;
        EXPECT_EQ(said(find<QPushButton>(u"BtnMapEditReload"), QAccessible::Name),
                  english ? QStringLiteral("Reload CHR") : QStringLiteral("CHR再読み込み"));
        EXPECT_EQ(said(find<ImageView>(u"ImgMapEdit", 1), QAccessible::Name).left(english ? 15 : 9),
                  english ? QStringLiteral("Map, right view") : QStringLiteral("マップ、右の表示、"));
    }
    forceLanguage(Language::Japanese); // cells are described as the status bar names them
    ImageView* left = focused(pgMapEdit, u"ImgMapEdit", 0);
    keys({Qt::Key_Down});
    EXPECT_TRUE(said(left, QAccessible::Description).startsWith(QStringLiteral("列 0、行 1、チップ ")));
    // Readers say a cell when the focus moves to it: the cells are the view's children.
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(left);
    ASSERT_EQ(view->childCount(), 64);
    QAccessibleInterface* cell = view->focusChild();
    ASSERT_TRUE(cell && cell->state().focused);
    EXPECT_EQ(view->indexOfChild(cell), 8);
    EXPECT_EQ(cell->text(QAccessible::Name), said(left, QAccessible::Description));
    EXPECT_EQ(view->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    EXPECT_FALSE(view->child(9)->state().focused);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(find<ImageView>(u"ImgPaletteEdit", 0))->childCount(), 0);
    // Messages are notifications, said as they show; the pointer's panels are not.
    QAccessibleInterface* messages = QAccessible::queryAccessibleInterface(statusPanel(2));
    keys({Qt::Key_Down}, Qt::ShiftModifier);
    EXPECT_EQ(messages->role(), QAccessible::Notification);
    ASSERT_FALSE(statusPanel(2)->text().isEmpty());
    EXPECT_EQ(messages->text(QAccessible::Name), statusPanel(2)->text());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(statusPanel(1))->role(), QAccessible::StaticText);
    EXPECT_EQ(withoutAccessMarks(QStringLiteral("保存(&S)")), QStringLiteral("保存"));
    EXPECT_EQ(withoutAccessMarks(QStringLiteral("A&&B &Cut")), QStringLiteral("A&B Cut"));
}
