#include "gui/pages/ObjectEdit.h"
#include "core/base/HexText.h"
#include "core/model/RomImage.h"
#include "core/model/StageObjects.h"
#include "gui/pages/ObjectDialog.h"
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
using test::control;

namespace {

class ObjectEditTest : public test::EditorFixture {
protected:
    ObjectEdit& unit()
    {
        showPage(pgObjectEdit);
        return *form->objectEdit();
    }
    ImageView* viewControl(int view) const { return find<ImageView>(u"ImgObjectEdit", view); }
    QString label(QAnyStringView name) const { return find<QLabel>(name)->text(); }
    QPushButton* removeButton() const { return find<QPushButton>(u"BtnRemoveObject"); }
    QComboBox* kindBox() const { return find<QComboBox>(u"ComboBoxObjectKindEdit"); }
    QCheckBox* autoSort() const { return find<QCheckBox>(u"CheckBoxObjectAutoSort"); }
    // The radio buttons of a named group box, by their place in it.
    QAbstractButton* radio(QAnyStringView group, int item) const
    {
        return control<QButtonGroup>(find<QGroupBox>(group))->button(item);
    }
    QAction* menuItem(QAnyStringView name) const { return find<QAction>(name); }
    void arrow(QAnyStringView name, bool up) const
    {
        UpDown* arrows = find<UpDown>(name);
        (up ? arrows->upButton() : arrows->downButton())->click();
    }
    const StageObjects& enemies() const { return currentStage().enemyObjects(); }
    const StageObjects& itemObjects() const { return currentStage().itemObjects(); }
    bool add(const StageObjects& list, int room, int x, int y, int kind) const
    {
        const auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
        return currentStage().addObject(list, {byte(room), byte(x), byte(y), byte(kind)}, false);
    }
    // Shows `room` in the left view.
    void showRoom(int room)
    {
        unit();
        find<QScrollBar>(u"ScrollBarObjectEdit")->setValue(room);
    }
    // Hovers and selects an object of the left view, as a click on it does.
    void select(const PlacedObject* object)
    {
        ImageView* view = viewControl(object->room - unit().leftRoom());
        move(view, object->x, object->y);
        press(view, object->x, object->y, Qt::LeftButton);
        ASSERT_EQ(unit().selectedObject(), object);
    }
    // A right click at (x, y) of a view, then the menu item chosen.
    void menuAt(int view, int x, int y, QAnyStringView item = {})
    {
        unit();
        ImageView* control = viewControl(view);
        move(control, x, y);
        press(control, x, y, Qt::RightButton);
        find<QMenu>(u"PopupMenuObjectEdit")->hide();
        if (!item.isNull())
            menuItem(item)->trigger();
    }
    // Fills a manager up to its capacity in rooms 30 to 43.
    void fillFindings(const StageObjects& objects) const
    {
        for (int i = 0; objects.totalCount() < objects.capacity; ++i)
            ASSERT_TRUE(add(objects, 30 + i % 14, 8, 8, 0));
    }
    // Answers the room text dialog with `text` (or Cancel) when it opens.
    void answerRoomText(std::optional<QString> text, QString* shown = nullptr, QString* caption = nullptr)
    {
        auto* dialog = find<ObjectDialog>(u"ObjectEditForm");
        auto* memo = control<QPlainTextEdit>(dialog, u"MemoObjectEdit");
        auto* ok = control<QPushButton>(dialog, u"BtnOK");
        auto* cancel = control<QPushButton>(dialog, u"BtnCancel");
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
    void pressOkExpectingProblem(ObjectDialog* dialog, const QString& text)
    {
        problemShown.clear();
        control<QPlainTextEdit>(dialog, u"MemoObjectEdit")->setPlainText(text);
        QTimer::singleShot(0, dialog, [this, dialog] {
            const auto boxes = dialog->findChildren<QMessageBox*>(QStringLiteral("MsgObjectEditProblem"));
            if (boxes.size() == 1) {
                problemShown = boxes.front()->text();
                boxes.front()->accept();
            }
        });
        control<QPushButton>(dialog, u"BtnOK")->click();
    }
    QString problemShown;
    static std::vector<std::array<int, 3>> roomObjects(const StageObjects& objects, int room)
    {
        std::vector<std::array<int, 3>> found;
        const RoomObjectList& list = objects.lists(room);
        for (int i = 0; i < list.count(); ++i)
            found.push_back({list.items(i)->x, list.items(i)->y, list.items(i)->kind});
        return found;
    }
    // An enemy of the stage, the first in the object order.
    const PlacedObject* firstEnemy() const { return enemies().objectsInOrder().at(0); }
};

} // namespace

TEST_F(ObjectEditTest, ViewsShowBothSortsAndTheLabelsCountThem)
{
    ObjectEdit& page = unit();
    const int left = page.leftRoom();
    EXPECT_EQ(label(u"LblObjectEditPages"),
              QString::fromStdString(formatHex(static_cast<unsigned>(left), 2) + "-" +
                                     formatHex(static_cast<unsigned>(left + 1), 2)));
    EXPECT_EQ(label(u"LblEnemyObjectCount"), QStringLiteral("%1 / 128").arg(enemies().totalCount()));
    EXPECT_EQ(label(u"LblItemObjectCount"), QStringLiteral("%1 / 32").arg(itemObjects().totalCount()));
    EXPECT_EQ(label(u"LblEnemyObjectCountPages"),
              QStringLiteral("%1-%2").arg(enemies().lists(left).count()).arg(enemies().lists(left + 1).count()));
    EXPECT_EQ(label(u"LblObjectIndex"), QStringLiteral("--"));
    EXPECT_FALSE(removeButton()->isEnabled());

    const PlacedObject* enemy = firstEnemy();
    showRoom(enemy->room);
    const ImageView* view = viewControl(0);
    EXPECT_EQ(shownColor(view, enemy->x - 8, enemy->y), RGB(255, 255, 255)) << "the edited sort in white";
    const std::vector<const PlacedObject*> items = itemObjects().objectsInOrder();
    ASSERT_FALSE(items.empty());
    showRoom(std::min<int>(items[0]->room, 0x2A));
    const int column = items[0]->room - page.leftRoom();
    EXPECT_EQ(shownColor(viewControl(column), items[0]->x - 8, items[0]->y), GraphicManager::CursorColor)
        << "the other sort in magenta";
}

TEST_F(ObjectEditTest, HoverAndSelectionFramesAndThePanel)
{
    ObjectEdit& page = unit();
    const PlacedObject* enemy = firstEnemy();
    showRoom(enemy->room);
    ImageView* view = viewControl(0);
    move(view, enemy->x + 9, enemy->y - 9);
    EXPECT_EQ(page.hoveredObject(), enemy);
    EXPECT_EQ(shownColor(view, enemy->x - 16, enemy->y), RGB(255, 255, 255)) << "the 32 frame";
    EXPECT_EQ(view->toolTip(),
              QStringLiteral("Index:00\r\nXPos:%1\r\nYPos:%2\r\nKind:\r\n%3")
                  .arg(QString::fromStdString(formatHex(enemy->x, 2)), QString::fromStdString(formatHex(enemy->y, 2)),
                       kindBox()->itemText(enemy->kind)));
    press(view, enemy->x + 9, enemy->y - 9, Qt::LeftButton);
    EXPECT_EQ(page.selectedObject(), enemy);
    EXPECT_EQ(shownColor(view, enemy->x - 12, enemy->y), RGB(255, 255, 255)) << "the 24 frame";
    EXPECT_EQ(label(u"LblObjectIndex"), QStringLiteral("00"));
    EXPECT_EQ(label(u"LblObjectX"), QString::fromStdString(formatHex(enemy->x, 2)));
    EXPECT_EQ(kindBox()->currentIndex(), enemy->kind);
    EXPECT_TRUE(removeButton()->isEnabled());
    EXPECT_FALSE(find<UpDown>(u"UpDownObjectOrder")->isEnabled()) << "auto sort under the by-room order";
    autoSort()->click();
    EXPECT_TRUE(find<UpDown>(u"UpDownObjectOrder")->isEnabled());
    EXPECT_FALSE(form->rom().isModified()) << "selecting and the check box change nothing";

    press(view, 255 - enemy->x, 3, Qt::LeftButton); // nowhere near
    EXPECT_EQ(page.selectedObject(), nullptr);
    EXPECT_EQ(label(u"LblObjectIndex"), QStringLiteral("--"));
}

TEST_F(ObjectEditTest, DraggingMovesSnapsClampsAndSavesOnlyTheObjectTables)
{
    unit();
    const PlacedObject* enemy = firstEnemy();
    const int room = enemy->room;
    showRoom(room);
    ImageView* view = viewControl(0);
    select(enemy);
    drag(view, 77, 45, Qt::ControlModifier);
    EXPECT_EQ(enemy->x, 72);
    EXPECT_EQ(enemy->y, 40);
    drag(view, 77, 45, Qt::ShiftModifier);
    EXPECT_EQ(enemy->x, 76);
    EXPECT_EQ(enemy->y, 44);
    drag(view, 10, 10, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(enemy->x, 76) << "both keys: no move";
    drag(view, 400, -30);
    EXPECT_EQ(enemy->x, 255);
    EXPECT_EQ(enemy->y, 0);
    // A whole drag, press to release, of several steps.
    select(enemy);
    drag(view, 200, 40);
    drag(view, 123, 87);
    test::release(view, 123, 87, Qt::LeftButton);
    EXPECT_EQ(label(u"LblObjectX"), QStringLiteral("7B"));
    EXPECT_EQ(statusPanel(0)->text(), QStringLiteral("Modified"));

    const int kind = enemy->kind;
    // One undo takes back the whole last drag, shown where it happened; the page lets go
    // of the old objects.
    showRoom(room < 20 ? room + 20 : room - 20);
    form->commandUndo();
    EXPECT_TRUE(unit().leftRoom() == room || unit().leftRoom() + 1 == room) << unit().leftRoom();
    const auto undone = roomObjects(currentStage().enemyObjects(), room);
    EXPECT_NE(std::find(undone.begin(), undone.end(), std::array<int, 3>{255, 0, kind}), undone.end());
    EXPECT_EQ(label(u"LblObjectX"), QStringLiteral("--"));
    form->commandRedo();

    ASSERT_TRUE(form->commandSave());
    const auto saved = test::readBytes(image.toStdString());
    const auto& original = test::sampleBytes();
    std::vector<std::pair<std::int32_t, std::int32_t>> tables;
    for (TableKey key :
         {TableKey::EnemyObjectRoom, TableKey::EnemyObjectX, TableKey::EnemyObjectY, TableKey::EnemyObjectKind,
          TableKey::ItemObjectRoom, TableKey::ItemObjectX, TableKey::ItemObjectY, TableKey::ItemObjectKind})
        tables.emplace_back(currentStage().address(key), infoOf(key).length);
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (saved[i] != original[i]) {
            const bool inside = std::any_of(tables.begin(), tables.end(), [&](const auto& table) {
                return static_cast<std::int64_t>(i) >= table.first &&
                    static_cast<std::int64_t>(i) < table.first + table.second;
            });
            EXPECT_TRUE(inside) << "byte " << std::hex << i << " outside the object tables";
        }

    ASSERT_TRUE(form->openImage(image)); // the old objects are gone now
    const auto reopened = roomObjects(form->rom().currentStage().enemyObjects(), room);
    EXPECT_NE(std::find(reopened.begin(), reopened.end(), std::array<int, 3>{123, 87, kind}), reopened.end())
        << "the object stands where it was dropped";
}

TEST_F(ObjectEditTest, OrderTypeQuestionAnsweredNoChangesNothing)
{
    unit();
    const auto order = enemies().objectsInOrder();
    prompts.yesNo = {false};
    radio(u"RadioGroupObjectOrderType", 1)->click();
    EXPECT_EQ(prompts.questions.value(0).left(22), QStringLiteral("Intend to Order Method"));
    EXPECT_TRUE(radio(u"RadioGroupObjectOrderType", 0)->isChecked()) << "the group shows the order in force";
    EXPECT_EQ(enemies().orderType, otByRoom);
    EXPECT_FALSE(form->rom().isModified());

    prompts.yesNo = {true};
    radio(u"RadioGroupObjectOrderType", 1)->click();
    EXPECT_EQ(enemies().orderType, otFree);
    EXPECT_FALSE(autoSort()->isEnabled());
    EXPECT_TRUE(form->rom().isModified());
    EXPECT_EQ(enemies().objectsInOrder(), order) << "the free order starts as the by-room order";
}

TEST_F(ObjectEditTest, RoomTextDialogReplacesTheRoomsObjects)
{
    ObjectEdit& page = unit();
    const int room = page.leftRoom();
    QString shown, caption;
    const auto before = roomObjects(enemies(), room);
    answerRoomText(QStringLiteral("1 2\nzz 10 10\na b c d\n\t10  20\t05\n"), &shown, &caption);
    press(viewControl(0), 3, 3, Qt::LeftButton, Qt::ShiftModifier); // an empty corner
    EXPECT_EQ(caption,
              QStringLiteral("Edit Object in Screen ") +
                  QString::fromStdString(formatHex(static_cast<unsigned>(room), 2)));
    QString expected;
    for (const auto& object : before)
        expected += QString::fromStdString(formatHex(static_cast<unsigned>(object[0]), 2) + " " +
                                           formatHex(static_cast<unsigned>(object[1]), 2) + " " +
                                           formatHex(static_cast<unsigned>(object[2]), 2) + "\n");
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(roomObjects(enemies(), room), (std::vector<std::array<int, 3>>{{0x0A, 0x0B, 0x0C}, {0x10, 0x20, 0x05}}));
    EXPECT_TRUE(form->rom().isModified());

    answerRoomText(std::nullopt);
    press(viewControl(0), 250, 3, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(roomObjects(enemies(), room).size(), 2u) << "Cancel changes nothing";

    answerRoomText(QString());
    press(viewControl(0), 250, 3, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(enemies().lists(room).empty()) << "an empty text empties the room";
}

TEST_F(ObjectEditTest, RoomTextThatWouldNotFitKeepsTheDialogOpenAndTheRoomAsItWas)
{
    ObjectEdit& page = unit();
    radio(u"RadioGroupObjectTypeSelect", 1)->click();
    ASSERT_EQ(page.currentObjectType(), 1);
    const int room = page.leftRoom();
    while (itemObjects().lists(room).count() < 2)
        ASSERT_TRUE(add(itemObjects(), room, 40, 40, 1));
    while (itemObjects().lists(room).count() > 2)
        currentStage().removeObject(itemObjects(), itemObjects().lists(room).last());
    fillFindings(itemObjects());
    currentStage().editedFlags().clear(); // the setup is not the dialog's edit
    page.refresh();
    const auto before = roomObjects(itemObjects(), room);
    auto* dialog = find<ObjectDialog>(u"ObjectEditForm");
    auto* memo = control<QPlainTextEdit>(dialog, u"MemoObjectEdit");
    const QString tooMany = QStringLiteral("01 01 01\n02 02 02\n03 03 03\n");

    bool open = false, modified = true;
    QString kept;
    std::vector<std::array<int, 3>> meanwhile;
    QTimer::singleShot(0, dialog, [&] {
        pressOkExpectingProblem(dialog, tooMany);
        open = dialog->isVisible();
        kept = memo->toPlainText();
        meanwhile = roomObjects(itemObjects(), room);
        modified = form->rom().isModified();
        control<QPushButton>(dialog, u"BtnCancel")->click();
    });
    press(viewControl(0), 200, 3, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(problemShown,
              QStringLiteral("Failed to Add Objects\nNothing was applied: the text has 3 objects and "
                             "this room can hold at most 2."));
    EXPECT_TRUE(open) << "OK on a text that does not fit leaves the dialog open";
    EXPECT_EQ(kept, tooMany);
    EXPECT_EQ(meanwhile, before);
    EXPECT_FALSE(modified);
    EXPECT_FALSE(dialog->isVisible()) << "Cancel closes it";
    EXPECT_EQ(roomObjects(itemObjects(), room), before);
    EXPECT_FALSE(form->rom().isModified());
    EXPECT_TRUE(prompts.messages.isEmpty()) << "the problem shows over the dialog only";

    QTimer::singleShot(0, dialog, [&] {
        pressOkExpectingProblem(dialog, tooMany);
        memo->setPlainText(QStringLiteral("01 01 01\n02 02 02\n"));
        control<QPushButton>(dialog, u"BtnOK")->click();
    });
    press(viewControl(0), 200, 3, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_FALSE(problemShown.isEmpty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(roomObjects(itemObjects(), room), (std::vector<std::array<int, 3>>{{1, 1, 1}, {2, 2, 2}})) << "two fit";
    EXPECT_EQ(label(u"LblItemObjectCount"), QStringLiteral("32 / 32"));
    EXPECT_TRUE(form->rom().isModified());
}

TEST_F(ObjectEditTest, MenuCreatesCopiesPastesAndReportsAFullList)
{
    ObjectEdit& page = unit();
    const int room = page.leftRoom();
    page.refresh();
    while (!enemies().lists(room).empty())
        currentStage().removeObject(enemies(), enemies().lists(room).last());
    ASSERT_TRUE(add(enemies(), room, 10, 100, 0x2C));
    ASSERT_TRUE(add(enemies(), room, 80, 100, 0x01));
    page.refresh();

    menuAt(0, 40, 120);
    EXPECT_TRUE(menuItem(u"MenuItemPUCreateObject")->isEnabled());
    EXPECT_FALSE(menuItem(u"MenuItemPUPasteObject")->isEnabled());
    EXPECT_EQ(menuItem(u"MenuItemPUPasteObject")->text(), QStringLiteral("Paste"));
    menuItem(u"MenuItemPUCreateObject")->trigger();
    std::vector<int> xs;
    for (const auto& object : roomObjects(enemies(), room))
        xs.push_back(object[0]);
    EXPECT_EQ(xs, (std::vector<int>{10, 40, 80})) << "sorted by X on creation";

    menuAt(0, 10, 100, u"MenuItemPUCopyObject");
    EXPECT_EQ(page.objectClipboard(), 0x2C);
    EXPECT_FALSE(menuItem(u"MenuItemPUCreateObject")->isEnabled());
    EXPECT_EQ(menuItem(u"MenuItemPURemoveObject")->text(), QStringLiteral("Remove Object(2C)"));

    radio(u"RadioGroupObjectTypeSelect", 1)->click(); // items
    menuAt(1, 128, 30);
    EXPECT_TRUE(menuItem(u"MenuItemPUPasteObject")->isEnabled());
    EXPECT_EQ(menuItem(u"MenuItemPUPasteObject")->text(), QStringLiteral("Paste Object(2C)"));
    const int items = itemObjects().totalCount();
    menuItem(u"MenuItemPUPasteObject")->trigger();
    EXPECT_EQ(itemObjects().totalCount(), items + 1);
    EXPECT_EQ(roomObjects(itemObjects(), room + 1).back(), (std::array<int, 3>{128, 30, 0x2C}))
        << "an enemy kind as an item";

    radio(u"RadioGroupObjectTypeSelect", 0)->click();
    fillFindings(enemies());
    menuAt(1, 200, 200, u"MenuItemPUCreateObject");
    EXPECT_EQ(prompts.messages.value(0), QStringLiteral("Failed to Create a New Object"));
    EXPECT_EQ(enemies().totalCount(), 128);
}

TEST_F(ObjectEditTest, MenuRemoveAndSelectActOnTheObjectUnderTheClick)
{
    ObjectEdit& page = unit();
    const PlacedObject* enemy = firstEnemy();
    showRoom(enemy->room);
    menuAt(0, enemy->x, enemy->y, u"MenuItemPUSelectObject");
    EXPECT_EQ(page.selectedObject(), enemy);
    const int count = enemies().totalCount();
    menuAt(0, enemy->x, enemy->y, u"MenuItemPURemoveObject");
    EXPECT_EQ(enemies().totalCount(), count - 1);
    EXPECT_EQ(page.selectedObject(), nullptr) << "removing the selected object leaves no selection";
    EXPECT_EQ(page.hoveredObject(), nullptr);
    EXPECT_EQ(label(u"LblObjectIndex"), QStringLiteral("--"));
}

TEST_F(ObjectEditTest, PanelArrowsStepClampAndScroll)
{
    ObjectEdit& page = unit();
    showRoom(5);
    ASSERT_TRUE(add(enemies(), 6, 0x20, 0x30, 7));
    page.refresh();
    const PlacedObject* object = enemies().lists(6).last();
    select(object);

    arrow(u"UpDownObjectX", true);
    EXPECT_EQ(object->x, 0x21) << "right is +1";
    arrow(u"UpDownObjectY", true);
    EXPECT_EQ(object->y, 0x2F) << "up is -1";
    arrow(u"UpDownObjectRoom", true);
    EXPECT_EQ(object->room, 7);
    EXPECT_EQ(page.leftRoom(), 6) << "scrolled to 06-07";
    EXPECT_EQ(label(u"LblObjectRoom"), QStringLiteral("07"));
    for (int i = 0; i < 40; ++i)
        arrow(u"UpDownObjectRoom", true);
    EXPECT_EQ(object->room, 43);
    EXPECT_EQ(page.leftRoom(), 42);

    kindBox()->setCurrentIndex(0x33);
    EXPECT_EQ(object->kind, 0x33);
}

TEST_F(ObjectEditTest, RemoveButtonPassesTheSelectionOnAndTheLastClearsIt)
{
    ObjectEdit& page = unit();
    const auto order = enemies().objectsInOrder();
    ASSERT_GE(order.size(), 2u);
    showRoom(std::min<int>(order[order.size() - 2]->room, 0x2A));
    select(order[order.size() - 2]);
    removeButton()->click();
    EXPECT_EQ(page.selectedObject(), order.back());
    removeButton()->click();
    EXPECT_EQ(page.selectedObject(), nullptr);
    EXPECT_EQ(label(u"LblObjectX"), QStringLiteral("--"));
}

TEST_F(ObjectEditTest, StageChangeResetsSelectionAndSortButKeepsTheClipboard)
{
    ObjectEdit& page = unit();
    const PlacedObject* enemy = firstEnemy();
    showRoom(enemy->room);
    menuAt(0, enemy->x, enemy->y, u"MenuItemPUCopyObject");
    select(enemy);
    radio(u"RadioGroupObjectTypeSelect", 1)->click();
    stageSelector()->setCurrentIndex(2);
    EXPECT_EQ(page.selectedObject(), nullptr);
    EXPECT_EQ(page.currentObjectType(), 0);
    EXPECT_TRUE(radio(u"RadioGroupObjectTypeSelect", 0)->isChecked());
    EXPECT_EQ(page.objectClipboard(), enemy->kind);
}

TEST_F(ObjectEditTest, ClosingTheImageDropsEveryObjectReference)
{
    ObjectEdit& page = unit();
    const PlacedObject* enemy = firstEnemy();
    showRoom(enemy->room);
    select(enemy);
    EXPECT_EQ(kindBox()->currentIndex(), enemy->kind);
    form->commandClose();
    EXPECT_EQ(page.selectedObject(), nullptr);
    EXPECT_EQ(page.hoveredObject(), nullptr);
    ASSERT_TRUE(form->openImage(image));
    EXPECT_EQ(kindBox()->currentIndex(), -1) << "no kind name without a selection";
}
