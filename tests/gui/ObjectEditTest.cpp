#include "core/HexText.h"
#include "core/RomImgManager.h"
#include "core/VxObject.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/pages/VxObjectEditForm.h"
#include "gui/widgets/UpDown.h"
#include "render/GraphicManager.h"
#include "tests/gui/support/EditorFixture.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

using namespace vx;
using test::Control;

namespace {

class ObjectEditTest : public test::EditorFixture {
protected:
    TObjectEdit& Page()
    {
        ShowPage(pgObjectEdit);
        return *form->ObjectEdit();
    }
    TImageView* View(int view) const { return Find<TImageView>(u"ImgObjectEdit", view); }
    QString Label(QAnyStringView name) const { return Find<QLabel>(name)->text(); }
    QPushButton* RemoveButton() const { return Find<QPushButton>(u"BtnRemoveObject"); }
    QComboBox* KindBox() const { return Find<QComboBox>(u"ComboBoxObjectKindEdit"); }
    QCheckBox* AutoSort() const { return Find<QCheckBox>(u"CheckBoxObjectAutoSort"); }
    // The radio buttons of a named group box, by their place in it.
    QAbstractButton* Radio(QAnyStringView group, int item) const
    {
        return Control<QButtonGroup>(Find<QGroupBox>(group))->button(item);
    }
    QAction* MenuItem(QAnyStringView name) const { return Find<QAction>(name); }
    void Arrow(QAnyStringView name, bool up) const
    {
        TUpDown* arrows = Find<TUpDown>(name);
        (up ? arrows->UpButton() : arrows->DownButton())->click();
    }
    TVxObjectManager& Enemies() const { return Stage().EnemyObjects(); }
    TVxObjectManager& Items() const { return Stage().ItemObjects(); }
    // Shows `room` in the left view.
    void ShowRoom(int room)
    {
        Page();
        Find<QScrollBar>(u"ScrollBarObjectEdit")->setValue(room);
    }
    // Hovers and selects an object of the left view, as a click on it does.
    void Select(TVxObjectNode* object)
    {
        TImageView* view = View(object->Room - Page().LeftRoom());
        Move(view, object->X, object->Y);
        Press(view, object->X, object->Y, Qt::LeftButton);
        ASSERT_EQ(Page().SelectedObject(), object);
    }
    // A right click at (x, y) of a view, then the menu item chosen.
    void MenuAt(int view, int x, int y, QAnyStringView item = {})
    {
        Page();
        TImageView* control = View(view);
        Move(control, x, y);
        Press(control, x, y, Qt::RightButton);
        Find<QMenu>(u"PopupMenuObjectEdit")->hide();
        if (!item.isNull())
            MenuItem(item)->trigger();
    }
    // Fills a manager up to its capacity in rooms 30 to 43.
    static void Fill(TVxObjectManager& objects)
    {
        for (int i = 0; objects.TotalCount() < objects.Capacity; ++i)
            ASSERT_TRUE(objects.AddObject(static_cast<std::uint8_t>(30 + i % 14), 8, 8, 0));
    }
    // Answers the room text dialog with `text` (or Cancel) when it opens.
    void AnswerRoomText(std::optional<QString> text, QString* shown = nullptr, QString* caption = nullptr)
    {
        auto* dialog = Find<TObjectEditForm>(u"ObjectEditForm");
        auto* memo = Control<QPlainTextEdit>(dialog, u"MemoObjectEdit");
        auto* ok = Control<QPushButton>(dialog, u"BtnOK");
        auto* cancel = Control<QPushButton>(dialog, u"BtnCancel");
        QTimer::singleShot(0, dialog, [=] {
            if (shown)
                *shown = memo->toPlainText();
            if (caption)
                *caption = dialog->windowTitle();
            if (text) {
                memo->setPlainText(*text);
                ok->click();
            } else {
                cancel->click();
            }
        });
    }
    // Presses OK on `text` in the open room text dialog; the problem box that raises is read
    // into `problemShown` and closed.
    void PressOkExpectingProblem(TObjectEditForm* dialog, const QString& text)
    {
        problemShown.clear();
        Control<QPlainTextEdit>(dialog, u"MemoObjectEdit")->setPlainText(text);
        QTimer::singleShot(0, dialog, [this, dialog] {
            const auto boxes = dialog->findChildren<QMessageBox*>(QStringLiteral("MsgObjectEditProblem"));
            if (boxes.size() == 1) {
                problemShown = boxes.front()->text();
                boxes.front()->accept();
            }
        });
        Control<QPushButton>(dialog, u"BtnOK")->click();
    }
    QString problemShown;
    static std::vector<std::array<int, 3>> RoomObjects(const TVxObjectManager& objects, int room)
    {
        std::vector<std::array<int, 3>> found;
        const TVxObjectList& list = objects.Lists(room);
        for (int i = 0; i < list.Count(); ++i)
            found.push_back({list.Items(i)->X, list.Items(i)->Y, list.Items(i)->Kind});
        return found;
    }
    // An enemy of the stage, the first in the object order.
    TVxObjectNode* FirstEnemy() const { return Enemies().ObjectsInOrder().at(0); }
};

} // namespace

TEST_F(ObjectEditTest, ViewsShowBothSortsAndTheLabelsCountThem)
{
    TObjectEdit& page = Page();
    const int left = page.LeftRoom();
    EXPECT_EQ(Label(u"LblObjectEditPages"), QString::fromStdString(FormatHex(static_cast<unsigned>(left), 2) + "-" +
                                                                        FormatHex(static_cast<unsigned>(left + 1), 2)));
    EXPECT_EQ(Label(u"LblEnemyObjectCount"), QStringLiteral("%1 / 128").arg(Enemies().TotalCount()));
    EXPECT_EQ(Label(u"LblItemObjectCount"), QStringLiteral("%1 / 32").arg(Items().TotalCount()));
    EXPECT_EQ(Label(u"LblEnemyObjectCountPages"),
              QStringLiteral("%1-%2").arg(Enemies().Lists(left).Count()).arg(Enemies().Lists(left + 1).Count()));
    EXPECT_EQ(Label(u"LblObjectIndex"), QStringLiteral("--"));
    EXPECT_FALSE(RemoveButton()->isEnabled());

    TVxObjectNode* enemy = FirstEnemy();
    ShowRoom(enemy->Room);
    const TImageView* view = View(0);
    EXPECT_EQ(ShownColor(view, enemy->X - 8, enemy->Y), RGB(255, 255, 255)) << "the edited sort in white";
    const std::vector<TVxObjectNode*> items = Items().ObjectsInOrder();
    ASSERT_FALSE(items.empty());
    ShowRoom(std::min<int>(items[0]->Room, 0x2A));
    const int column = items[0]->Room - page.LeftRoom();
    EXPECT_EQ(ShownColor(View(column), items[0]->X - 8, items[0]->Y), TGraphicManager::CursorColor)
        << "the other sort in magenta";
}

TEST_F(ObjectEditTest, HoverAndSelectionFramesAndThePanel)
{
    TObjectEdit& page = Page();
    TVxObjectNode* enemy = FirstEnemy();
    ShowRoom(enemy->Room);
    TImageView* view = View(0);
    Move(view, enemy->X + 9, enemy->Y - 9);
    EXPECT_EQ(page.HoveredObject(), enemy);
    EXPECT_EQ(ShownColor(view, enemy->X - 16, enemy->Y), RGB(255, 255, 255)) << "the 32 frame";
    EXPECT_EQ(view->toolTip(), QStringLiteral("Index:00\r\nXPos:%1\r\nYPos:%2\r\nKind:\r\n%3")
                                   .arg(QString::fromStdString(FormatHex(enemy->X, 2)),
                                        QString::fromStdString(FormatHex(enemy->Y, 2)),
                                        KindBox()->itemText(enemy->Kind)));
    Press(view, enemy->X + 9, enemy->Y - 9, Qt::LeftButton);
    EXPECT_EQ(page.SelectedObject(), enemy);
    EXPECT_EQ(ShownColor(view, enemy->X - 12, enemy->Y), RGB(255, 255, 255)) << "the 24 frame";
    EXPECT_EQ(Label(u"LblObjectIndex"), QStringLiteral("00"));
    EXPECT_EQ(Label(u"LblObjectX"), QString::fromStdString(FormatHex(enemy->X, 2)));
    EXPECT_EQ(KindBox()->currentIndex(), enemy->Kind);
    EXPECT_TRUE(RemoveButton()->isEnabled());
    EXPECT_FALSE(Find<TUpDown>(u"UpDownObjectOrder")->isEnabled()) << "auto sort under the by-room order";
    AutoSort()->click();
    EXPECT_TRUE(Find<TUpDown>(u"UpDownObjectOrder")->isEnabled());
    EXPECT_FALSE(form->Rom().IsModified()) << "selecting and the check box change nothing";

    Press(view, 255 - enemy->X, 3, Qt::LeftButton); // nowhere near
    EXPECT_EQ(page.SelectedObject(), nullptr);
    EXPECT_EQ(Label(u"LblObjectIndex"), QStringLiteral("--"));
}

TEST_F(ObjectEditTest, DraggingMovesSnapsClampsAndSavesOnlyTheObjectTables)
{
    Page();
    TVxObjectNode* enemy = FirstEnemy();
    const int room = enemy->Room;
    ShowRoom(room);
    TImageView* view = View(0);
    Select(enemy);
    Drag(view, 77, 45, Qt::ControlModifier);
    EXPECT_EQ(enemy->X, 72);
    EXPECT_EQ(enemy->Y, 40);
    Drag(view, 77, 45, Qt::ShiftModifier);
    EXPECT_EQ(enemy->X, 76);
    EXPECT_EQ(enemy->Y, 44);
    Drag(view, 10, 10, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(enemy->X, 76) << "both keys: no move";
    Drag(view, 400, -30);
    EXPECT_EQ(enemy->X, 255);
    EXPECT_EQ(enemy->Y, 0);
    // A whole drag, press to release, of several steps.
    Select(enemy);
    Drag(view, 200, 40);
    Drag(view, 123, 87);
    test::Release(view, 123, 87, Qt::LeftButton);
    EXPECT_EQ(Label(u"LblObjectX"), QStringLiteral("7B"));
    EXPECT_EQ(StatusPanel(0)->text(), QStringLiteral("Modified"));

    const int kind = enemy->Kind;
    // One undo takes back the whole last drag, shown where it happened; the page lets go
    // of the old objects.
    ShowRoom(room < 20 ? room + 20 : room - 20);
    form->CommandUndo();
    EXPECT_TRUE(Page().LeftRoom() == room || Page().LeftRoom() + 1 == room) << Page().LeftRoom();
    const auto undone = RoomObjects(Stage().EnemyObjects(), room);
    EXPECT_NE(std::find(undone.begin(), undone.end(), std::array<int, 3>{255, 0, kind}), undone.end());
    EXPECT_EQ(Label(u"LblObjectX"), QStringLiteral("--"));
    form->CommandRedo();

    ASSERT_TRUE(form->CommandSave());
    const auto saved = test::ReadBytes(image.toStdString());
    const auto& original = test::SampleBytes();
    std::vector<std::pair<std::int32_t, std::int32_t>> tables;
    for (TableKey key : {TableKey::EnemyObjectRoom, TableKey::EnemyObjectX, TableKey::EnemyObjectY,
                         TableKey::EnemyObjectKind, TableKey::ItemObjectRoom, TableKey::ItemObjectX, TableKey::ItemObjectY,
                         TableKey::ItemObjectKind})
        tables.emplace_back(Stage().Address(key), InfoOf(key).length);
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (saved[i] != original[i]) {
            const bool inside = std::any_of(tables.begin(), tables.end(), [&](const auto& table) {
                return static_cast<std::int64_t>(i) >= table.first && static_cast<std::int64_t>(i) < table.first + table.second;
            });
            EXPECT_TRUE(inside) << "byte " << std::hex << i << " outside the object tables";
        }

    ASSERT_TRUE(form->OpenImage(image)); // the old objects are gone now
    const auto reopened = RoomObjects(form->Rom().CurrentStage().EnemyObjects(), room);
    EXPECT_NE(std::find(reopened.begin(), reopened.end(), std::array<int, 3>{123, 87, kind}), reopened.end())
        << "the object stands where it was dropped";
}

TEST_F(ObjectEditTest, OrderTypeQuestionAnsweredNoChangesNothing)
{
    Page();
    const auto order = Enemies().ObjectsInOrder();
    prompts.yesNo = {false};
    Radio(u"RadioGroupObjectOrderType", 1)->click();
    EXPECT_EQ(prompts.questions.value(0).left(22), QStringLiteral("Intend to Order Method"));
    EXPECT_TRUE(Radio(u"RadioGroupObjectOrderType", 0)->isChecked()) << "the group shows the order in force";
    EXPECT_EQ(Enemies().OrderType, otByRoom);
    EXPECT_FALSE(form->Rom().IsModified());

    prompts.yesNo = {true};
    Radio(u"RadioGroupObjectOrderType", 1)->click();
    EXPECT_EQ(Enemies().OrderType, otFree);
    EXPECT_FALSE(AutoSort()->isEnabled());
    EXPECT_TRUE(form->Rom().IsModified());
    EXPECT_EQ(Enemies().ObjectsInOrder(), order) << "the free order starts as the by-room order";
}

TEST_F(ObjectEditTest, RoomTextDialogReplacesTheRoomsObjects)
{
    TObjectEdit& page = Page();
    const int room = page.LeftRoom();
    QString shown, caption;
    const auto before = RoomObjects(Enemies(), room);
    AnswerRoomText(QStringLiteral("1 2\nzz 10 10\na b c d\n\t10  20\t05\n"), &shown, &caption);
    Press(View(0), 3, 3, Qt::LeftButton, Qt::ShiftModifier); // an empty corner
    EXPECT_EQ(caption, QStringLiteral("Edit Object in Screen ") + QString::fromStdString(FormatHex(static_cast<unsigned>(room), 2)));
    QString expected;
    for (const auto& object : before)
        expected += QString::fromStdString(FormatHex(static_cast<unsigned>(object[0]), 2) + " " +
                                           FormatHex(static_cast<unsigned>(object[1]), 2) + " " +
                                           FormatHex(static_cast<unsigned>(object[2]), 2) + "\n");
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(RoomObjects(Enemies(), room), (std::vector<std::array<int, 3>>{{0x0A, 0x0B, 0x0C}, {0x10, 0x20, 0x05}}));
    EXPECT_TRUE(form->Rom().IsModified());

    AnswerRoomText(std::nullopt);
    Press(View(0), 250, 3, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(RoomObjects(Enemies(), room).size(), 2u) << "Cancel changes nothing";

    AnswerRoomText(QString());
    Press(View(0), 250, 3, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(Enemies().Lists(room).Empty()) << "an empty text empties the room";
}

TEST_F(ObjectEditTest, RoomTextThatWouldNotFitKeepsTheDialogOpenAndTheRoomAsItWas)
{
    TObjectEdit& page = Page();
    Radio(u"RadioGroupObjectTypeSelect", 1)->click();
    ASSERT_EQ(page.CurrentObjectType(), 1);
    const int room = page.LeftRoom();
    while (Items().Lists(room).Count() < 2)
        ASSERT_TRUE(Items().AddObject(static_cast<std::uint8_t>(room), 40, 40, 1));
    while (Items().Lists(room).Count() > 2)
        Items().RemoveObject(Items().Lists(room).Last());
    Fill(Items());
    page.Refresh();
    const auto before = RoomObjects(Items(), room);
    auto* dialog = Find<TObjectEditForm>(u"ObjectEditForm");
    auto* memo = Control<QPlainTextEdit>(dialog, u"MemoObjectEdit");
    const QString tooMany = QStringLiteral("01 01 01\n02 02 02\n03 03 03\n");

    bool open = false, modified = true;
    QString kept;
    std::vector<std::array<int, 3>> meanwhile;
    QTimer::singleShot(0, dialog, [&] {
        PressOkExpectingProblem(dialog, tooMany);
        open = dialog->isVisible();
        kept = memo->toPlainText();
        meanwhile = RoomObjects(Items(), room);
        modified = form->Rom().IsModified();
        Control<QPushButton>(dialog, u"BtnCancel")->click();
    });
    Press(View(0), 200, 3, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(problemShown, QStringLiteral("Failed to Add Objects\nNothing was applied: the text has 3 objects and "
                                           "this room can hold at most 2."));
    EXPECT_TRUE(open) << "OK on a text that does not fit leaves the dialog open";
    EXPECT_EQ(kept, tooMany);
    EXPECT_EQ(meanwhile, before);
    EXPECT_FALSE(modified);
    EXPECT_FALSE(dialog->isVisible()) << "Cancel closes it";
    EXPECT_EQ(RoomObjects(Items(), room), before);
    EXPECT_FALSE(form->Rom().IsModified());
    EXPECT_TRUE(prompts.messages.isEmpty()) << "the problem shows over the dialog only";

    QTimer::singleShot(0, dialog, [&] {
        PressOkExpectingProblem(dialog, tooMany);
        memo->setPlainText(QStringLiteral("01 01 01\n02 02 02\n"));
        Control<QPushButton>(dialog, u"BtnOK")->click();
    });
    Press(View(0), 200, 3, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_FALSE(problemShown.isEmpty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(RoomObjects(Items(), room), (std::vector<std::array<int, 3>>{{1, 1, 1}, {2, 2, 2}})) << "two fit";
    EXPECT_EQ(Label(u"LblItemObjectCount"), QStringLiteral("32 / 32"));
    EXPECT_TRUE(form->Rom().IsModified());
}

TEST_F(ObjectEditTest, MenuCreatesCopiesPastesAndReportsAFullList)
{
    TObjectEdit& page = Page();
    const int room = page.LeftRoom();
    page.Refresh();
    while (!Enemies().Lists(room).Empty())
        Enemies().RemoveObject(Enemies().Lists(room).Last());
    ASSERT_TRUE(Enemies().AddObject(static_cast<std::uint8_t>(room), 10, 100, 0x2C));
    ASSERT_TRUE(Enemies().AddObject(static_cast<std::uint8_t>(room), 80, 100, 0x01));
    page.Refresh();

    MenuAt(0, 40, 120);
    EXPECT_TRUE(MenuItem(u"MenuItemPUCreateObject")->isEnabled());
    EXPECT_FALSE(MenuItem(u"MenuItemPUPasteObject")->isEnabled());
    EXPECT_EQ(MenuItem(u"MenuItemPUPasteObject")->text(), QStringLiteral("Paste"));
    MenuItem(u"MenuItemPUCreateObject")->trigger();
    std::vector<int> xs;
    for (const auto& object : RoomObjects(Enemies(), room))
        xs.push_back(object[0]);
    EXPECT_EQ(xs, (std::vector<int>{10, 40, 80})) << "sorted by X on creation";

    MenuAt(0, 10, 100, u"MenuItemPUCopyObject");
    EXPECT_EQ(page.ObjectClipboard(), 0x2C);
    EXPECT_FALSE(MenuItem(u"MenuItemPUCreateObject")->isEnabled());
    EXPECT_EQ(MenuItem(u"MenuItemPURemoveObject")->text(), QStringLiteral("Remove Object(2C)"));

    Radio(u"RadioGroupObjectTypeSelect", 1)->click(); // items
    MenuAt(1, 128, 30);
    EXPECT_TRUE(MenuItem(u"MenuItemPUPasteObject")->isEnabled());
    EXPECT_EQ(MenuItem(u"MenuItemPUPasteObject")->text(), QStringLiteral("Paste Object(2C)"));
    const int items = Items().TotalCount();
    MenuItem(u"MenuItemPUPasteObject")->trigger();
    EXPECT_EQ(Items().TotalCount(), items + 1);
    EXPECT_EQ(RoomObjects(Items(), room + 1).back(), (std::array<int, 3>{128, 30, 0x2C})) << "an enemy kind as an item";

    Radio(u"RadioGroupObjectTypeSelect", 0)->click();
    Fill(Enemies());
    MenuAt(1, 200, 200, u"MenuItemPUCreateObject");
    EXPECT_EQ(prompts.messages.value(0), QStringLiteral("Failed to Create a New Object"));
    EXPECT_EQ(Enemies().TotalCount(), 128);
}

TEST_F(ObjectEditTest, MenuRemoveAndSelectActOnTheObjectUnderTheClick)
{
    TObjectEdit& page = Page();
    TVxObjectNode* enemy = FirstEnemy();
    ShowRoom(enemy->Room);
    MenuAt(0, enemy->X, enemy->Y, u"MenuItemPUSelectObject");
    EXPECT_EQ(page.SelectedObject(), enemy);
    const int count = Enemies().TotalCount();
    MenuAt(0, enemy->X, enemy->Y, u"MenuItemPURemoveObject");
    EXPECT_EQ(Enemies().TotalCount(), count - 1);
    EXPECT_EQ(page.SelectedObject(), nullptr) << "removing the selected object leaves no selection";
    EXPECT_EQ(page.HoveredObject(), nullptr);
    EXPECT_EQ(Label(u"LblObjectIndex"), QStringLiteral("--"));
}

TEST_F(ObjectEditTest, PanelArrowsStepClampAndScroll)
{
    TObjectEdit& page = Page();
    ShowRoom(5);
    ASSERT_TRUE(Enemies().AddObject(6, 0x20, 0x30, 7));
    page.Refresh();
    TVxObjectNode* object = Enemies().Lists(6).Last();
    Select(object);

    Arrow(u"UpDownObjectX", true);
    EXPECT_EQ(object->X, 0x21) << "right is +1";
    Arrow(u"UpDownObjectY", true);
    EXPECT_EQ(object->Y, 0x2F) << "up is -1";
    Arrow(u"UpDownObjectRoom", true);
    EXPECT_EQ(object->Room, 7);
    EXPECT_EQ(page.LeftRoom(), 6) << "scrolled to 06-07";
    EXPECT_EQ(Label(u"LblObjectRoom"), QStringLiteral("07"));
    for (int i = 0; i < 40; ++i)
        Arrow(u"UpDownObjectRoom", true);
    EXPECT_EQ(object->Room, 43);
    EXPECT_EQ(page.LeftRoom(), 42);

    KindBox()->setCurrentIndex(0x33);
    EXPECT_EQ(object->Kind, 0x33);
}

TEST_F(ObjectEditTest, RemoveButtonPassesTheSelectionOnAndTheLastClearsIt)
{
    TObjectEdit& page = Page();
    const auto order = Enemies().ObjectsInOrder();
    ASSERT_GE(order.size(), 2u);
    ShowRoom(std::min<int>(order[order.size() - 2]->Room, 0x2A));
    Select(order[order.size() - 2]);
    RemoveButton()->click();
    EXPECT_EQ(page.SelectedObject(), order.back());
    RemoveButton()->click();
    EXPECT_EQ(page.SelectedObject(), nullptr);
    EXPECT_EQ(Label(u"LblObjectX"), QStringLiteral("--"));
}

TEST_F(ObjectEditTest, StageChangeResetsSelectionAndSortButKeepsTheClipboard)
{
    TObjectEdit& page = Page();
    TVxObjectNode* enemy = FirstEnemy();
    ShowRoom(enemy->Room);
    MenuAt(0, enemy->X, enemy->Y, u"MenuItemPUCopyObject");
    Select(enemy);
    Radio(u"RadioGroupObjectTypeSelect", 1)->click();
    StageSelector()->setCurrentIndex(2);
    EXPECT_EQ(page.SelectedObject(), nullptr);
    EXPECT_EQ(page.CurrentObjectType(), 0);
    EXPECT_TRUE(Radio(u"RadioGroupObjectTypeSelect", 0)->isChecked());
    EXPECT_EQ(page.ObjectClipboard(), enemy->Kind);
}

TEST_F(ObjectEditTest, ClosingTheImageDropsEveryObjectReference)
{
    TObjectEdit& page = Page();
    TVxObjectNode* enemy = FirstEnemy();
    ShowRoom(enemy->Room);
    Select(enemy);
    EXPECT_EQ(KindBox()->currentIndex(), enemy->Kind);
    form->CommandClose();
    EXPECT_EQ(page.SelectedObject(), nullptr);
    EXPECT_EQ(page.HoveredObject(), nullptr);
    ASSERT_TRUE(form->OpenImage(image));
    EXPECT_EQ(KindBox()->currentIndex(), -1) << "no kind name without a selection";
}
