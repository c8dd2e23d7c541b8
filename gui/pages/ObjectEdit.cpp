#include "gui/pages/ObjectEdit.h"

#include "core/model/RomImage.h"
#include "core/model/StageObjects.h"
#include "gui/pages/ObjectViewMenu.h"
#include "gui/pages/Prompts.h"
#include "gui/pages/ObjectDialog.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/RoomViewPair.h"
#include "gui/widgets/UpDown.h"
#include "gui/widgets/UpdatingGuard.h"
#include "render/GraphicManager.h"
#include "render/RoomOverlay.h"
#include "render/WorkingSheets.h"
#include "rules/ObjectRules.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace vx {
namespace {

QString qText(const std::string& text) { return QString::fromStdString(text); }

} // namespace

// ---- controls ----

void ObjectEdit::bindControls(QWidget* page)
{
    buildViews(page);
    buildDisplayGroup(page);
    buildSwitches(page);
    buildPanel(page);
    menu_ = std::make_unique<ObjectViewMenu>(page, ObjectViewMenu::Commands{
                                                        .create = [this] { createObjectAt(); },
                                                        .copy = [this] { copyObject(); },
                                                        .paste = [this] { pasteObjectAt(); },
                                                        .select = [this] { selectObjectAt(); },
                                                        .remove = [this] { removeObject(); }});
}

void ObjectEdit::buildViews(QWidget* page)
{
    const auto handlers = [this](int v) {
        return ViewHandlers{
            .pressed =
                [this, v](int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
                    onRoomPressed(v, x, y, button, keys, rooms_->view(v)->mapToGlobal(QPoint(x, y)));
                },
            .moved = [this, v](int x, int y, Qt::MouseButtons buttons,
                               Qt::KeyboardModifiers keys) { onRoomHovered(v, x, y, buttons, keys); },
            .left = [this, v] { onRoomLeft(v); }};
    };
    rooms_ = std::make_unique<RoomViewPair>(page, QStringLiteral("ImgObjectEdit"), QStringLiteral("ScrollBarObjectEdit"),
                                             handlers, [this](int) {
                                                 if (context_.rom.isLoaded())
                                                     refreshObjectViews();
                                             });
    // A drag, from press to release, is one step of the history.
    for (int v = 0; v < 2; ++v)
        QObject::connect(rooms_->view(v), &ImageView::mouseReleased, rooms_->view(v), [this] {
            if (context_.rom.isLoaded())
                context_.rom.currentStage().endGesture();
        });
}

void ObjectEdit::objectsReplaced(int room)
{
    // Undo and redo build the lists anew: no pointer into the old ones may stay.
    selected_ = hovered_ = lastHovered_ = popupObject_ = nullptr;
    if (room >= 0)
        scrollObjectViewsTo(room);
    refreshObjectPanel();
    refreshObjectViews();
}

void ObjectEdit::buildDisplayGroup(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("表示情報"), page);
    group->setObjectName(QStringLiteral("GroupBox10"));
    group->setGeometry(3, 284, 200, 112);
    const auto row = [group](const char* caption, const char* name, const char* initial, int y) {
        makeCaption(caption, group, 10, y, 92);
        QLabel* value = makeValueLabel(QString::fromLatin1(name), group, 104, y, 90);
        value->setText(QString::fromUtf8(initial));
        return value;
    };
    pagesLabel_ = row("表示部屋番号:", "LblObjectEditPages", "00-01", 22);
    enemyPagesLabel_ = row("敵個数:", "LblEnemyObjectCountPages", "0-0", 40);
    itemPagesLabel_ = row("アイテム個数:", "LblItemObjectCountPages", "0-0", 58);
    enemyCountLabel_ = row("敵総数:", "LblEnemyObjectCount", "128 / 128", 76);
    itemCountLabel_ = row("アイテム総数:", "LblItemObjectCount", "32 / 32", 94);
}

void ObjectEdit::buildSwitches(QWidget* page)
{
    typeGroup_ = makeRadioGroup(page, "編集オブジェクト", "RadioGroupObjectTypeSelect", 402, "敵オブジェクト",
                            "アイテムオブジェクト");
    typeGroup_->button(0)->setChecked(true);
    QObject::connect(typeGroup_, &QButtonGroup::idClicked, typeGroup_,
                     [this](int item) { chooseObjectType(item); });
    orderGroup_ = makeRadioGroup(page, "オブジェクトの順序", "RadioGroupObjectOrderType", 474, "部屋単位で管理", "自由順序");
    orderGroup_->button(0)->setChecked(true);
    QObject::connect(orderGroup_, &QButtonGroup::idClicked, orderGroup_,
                     [this](int item) { chooseOrderType(item); });
    autoSort_ = new QCheckBox(QString::fromUtf8("X座標でソートを行う"), page);
    autoSort_->setObjectName(QStringLiteral("CheckBoxObjectAutoSort"));
    autoSort_->setGeometry(8, 546, 195, 20);
    autoSort_->setChecked(true);
    // Checking sorts nothing by itself: only the order arrows' state follows.
    QObject::connect(autoSort_, &QCheckBox::clicked, autoSort_, [this] {
        if (context_.rom.isLoaded())
            refreshObjectPanel();
    });
}

void ObjectEdit::buildPanel(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("編集対象オブジェクト"), page);
    group->setObjectName(QStringLiteral("GroupBoxEditedObject"));
    group->setGeometry(210, 284, 352, 184);
    const auto arrows = [group](const char* name, int x, int y, Qt::Orientation orientation) {
        auto* made = new UpDown(group, orientation);
        made->setObjectName(QString::fromLatin1(name));
        made->setGeometry(x, y, orientation == Qt::Horizontal ? 40 : 20, orientation == Qt::Horizontal ? 20 : 32);
        return made;
    };
    makeCaption("編集対象オブジェクトの変更", group, 12, 24, 170);
    selectArrows_ = arrows("UpDownEditedObjectSelect", 184, 22, Qt::Horizontal);
    const auto row = [group](const char* caption, const char* name, int y) {
        makeCaption(caption, group, 12, y, 72);
        QLabel* value = makeValueLabel(QString::fromLatin1(name), group, 86, y, 32);
        value->setText(QStringLiteral("--"));
        return value;
    };
    indexLabel_ = row("設置番号:", "LblObjectIndex", 56);
    orderArrows_ = arrows("UpDownObjectOrder", 122, 54, Qt::Horizontal);
    roomLabel_ = row("部屋番号:", "LblObjectRoom", 84);
    roomArrows_ = arrows("UpDownObjectRoom", 122, 82, Qt::Horizontal);
    xLabel_ = row("X座標:", "LblObjectX", 112);
    xArrows_ = arrows("UpDownObjectX", 122, 110, Qt::Horizontal);
    yLabel_ = row("Y座標:", "LblObjectY", 140);
    yArrows_ = arrows("UpDownObjectY", 122, 132, Qt::Vertical);
    QObject::connect(selectArrows_, &UpDown::stepRequested, selectArrows_,
                     [this](int direction) { stepSelectedObject(direction); });
    QObject::connect(orderArrows_, &UpDown::stepRequested, orderArrows_,
                     [this](int direction) { moveInOrder(direction); });
    QObject::connect(roomArrows_, &UpDown::stepRequested, roomArrows_,
                     [this](int direction) { stepObjectRoom(direction); });
    QObject::connect(xArrows_, &UpDown::stepRequested, xArrows_, [this](int direction) { stepObjectX(direction); });
    QObject::connect(yArrows_, &UpDown::stepRequested, yArrows_, [this](int direction) { stepObjectY(direction); });

    makeCaption("種類:", group, 184, 56, 60);
    kindCombo_ = new QComboBox(group);
    kindCombo_->setObjectName(QStringLiteral("ComboBoxObjectKindEdit"));
    kindCombo_->setGeometry(184, 76, 156, 22);
    kindCombo_->setMaxVisibleItems(12);
    kindCombo_->setStyleSheet(QStringLiteral("combobox-popup: 0;")); // a list of 12 rows, not a screenful
    for (const std::string& name : context_.objectNames) // index = kind
        kindCombo_->addItem(qText(name));
    QObject::connect(kindCombo_, &QComboBox::currentIndexChanged, kindCombo_,
                     [this](int index) { onKindChosen(index); });
    removeButton_ = new QPushButton(QString::fromUtf8("削除"), group);
    removeButton_->setObjectName(QStringLiteral("BtnRemoveObject"));
    removeButton_->setGeometry(184, 136, 75, 25);
    QObject::connect(removeButton_, &QPushButton::clicked, removeButton_, [this] { removeSelectedObject(); });
}

// ---- entry points ----

StageObjects& ObjectEdit::editedObjects() const
{
    const StageData& stage = context_.rom.currentStage();
    return objectType_ == 0 ? stage.enemyObjects() : stage.itemObjects();
}

void ObjectEdit::open()
{
    rooms_->giveBitmaps(context_.graphics);
    stageChanged();
}

void ObjectEdit::stageChanged()
{
    const StageData& stage = context_.rom.currentStage();
    rooms_->setLeft(firstLeftRoom(stage.midPoints(stage.defaultStartPoint()).startRoom()));
    objectType_ = 0;
    {
        const UpdatingGuard updating(updating_);
        typeGroup_->button(0)->setChecked(true);
    }
    showOrderType();
    selected_ = hovered_ = lastHovered_ = popupObject_ = nullptr;
    refreshObjectPanel();
    refreshObjectViews();
}

void ObjectEdit::imageClosed() { selected_ = hovered_ = lastHovered_ = popupObject_ = nullptr; }

void ObjectEdit::refresh()
{
    sheets_.rebuild(context_.graphics, context_.rom.currentStage().chip32x32());
    drawBothViews();
}

void ObjectEdit::animationTick()
{
    sheets_.applyPalette(context_.graphics);
    drawBothViews();
}

// ---- drawing and panel ----

void ObjectEdit::drawObjectView(int view)
{
    ImageView* control = rooms_->view(view);
    IndexedBitmap* bitmap = control->bitmap();
    if (!bitmap || !sheets_.ready())
        return;
    const int room = shownRoom(view);
    const StageData& stage = context_.rom.currentStage();
    const GraphicManager& graphics = context_.graphics;
    graphics.drawRoom(*bitmap, *sheets_.chip32Sheet, stage.mapRoom(room));
    drawRoomObjects(graphics, *bitmap, stage, room, objectType_ == 0);
    if (selected_ && selected_->room == room)
        graphics.drawObjectFrame(*bitmap, *selected_, 24);
    if (hovered_ && hovered_->room == room)
        graphics.drawObjectFrame(*bitmap, *hovered_, 32);
    control->redraw();
}

void ObjectEdit::drawBothViews()
{
    drawObjectView(0);
    drawObjectView(1);
}

void ObjectEdit::refreshObjectViews()
{
    drawBothViews();
    const StageData& stage = context_.rom.currentStage();
    setLabelText(pagesLabel_, qText(shownRoomsText(rooms_->left())));
    setLabelText(enemyPagesLabel_, qText(roomCountsText(stage.enemyObjects(), rooms_->left())));
    setLabelText(itemPagesLabel_, qText(roomCountsText(stage.itemObjects(), rooms_->left())));
    setLabelText(enemyCountLabel_, qText(totalCountText(stage.enemyObjects(), EnemyCapacity)));
    setLabelText(itemCountLabel_, qText(totalCountText(stage.itemObjects(), ItemCapacity)));
}

void ObjectEdit::refreshObjectPanel()
{
    const bool any = selected_ != nullptr;
    setLabelText(indexLabel_, any ? hex2Text(static_cast<unsigned>(editedObjects().orderIndexOf(selected_)))
                                  : QStringLiteral("--"));
    setLabelText(roomLabel_, any ? hex2Text(selected_->room) : QStringLiteral("--"));
    setLabelText(xLabel_, any ? hex2Text(selected_->x) : QStringLiteral("--"));
    setLabelText(yLabel_, any ? hex2Text(selected_->y) : QStringLiteral("--"));
    for (QWidget* control : std::initializer_list<QWidget*>{roomArrows_, xArrows_, yArrows_, selectArrows_, kindCombo_,
                                                           removeButton_})
        control->setEnabled(any);
    orderArrows_->setEnabled(any && (editedObjects().orderType == otFree || !autoSort_->isChecked()));
    const UpdatingGuard updating(updating_);
    kindCombo_->setCurrentIndex(any ? selected_->kind : -1); // no kind name without an object
}

void ObjectEdit::showOrderType()
{
    const OrderType order = editedObjects().orderType;
    {
        const UpdatingGuard updating(updating_);
        orderGroup_->button(order == otFree ? 1 : 0)->setChecked(true);
    }
    autoSort_->setEnabled(order == otByRoom);
}

PlacedObject* ObjectEdit::hitTest(int view, int x, int y, bool select)
{
    const ImageView* control = rooms_->view(view);
    PlacedObject* found = hitTestObject(editedObjects().lists(shownRoom(view)), objectCoordinate(x, control->width()),
                                         objectCoordinate(y, control->height()));
    if (select) {
        selected_ = found;
        refreshObjectPanel();
        drawBothViews();
    }
    return found;
}

void ObjectEdit::scrollObjectViewsTo(int room) { rooms_->setLeft(leftRoomShowing(rooms_->left(), room)); }

void ObjectEdit::forget(const PlacedObject* object)
{
    for (PlacedObject** reference : {&selected_, &hovered_, &lastHovered_, &popupObject_})
        if (*reference == object)
            *reference = nullptr;
}

void ObjectEdit::sortRoomIfAuto(int room)
{
    if (autoSort_->isChecked())
        editedObjects().lists(room).sortByX();
}

void ObjectEdit::markEdited() { context_.rom.currentStage().markEdited(efObject); }

void ObjectEdit::setObjectPosition(int px, int py)
{
    if (!selected_)
        return;
    px = std::clamp(px, 0, 255);
    py = std::clamp(py, 0, 255);
    if (px == selected_->x && py == selected_->y)
        return;
    selected_->x = static_cast<std::uint8_t>(px);
    selected_->y = static_cast<std::uint8_t>(py);
    sortRoomIfAuto(selected_->room);
    markEdited();
    drawBothViews();
    refreshObjectPanel();
}

// ---- mouse ----

void ObjectEdit::onRoomPressed(int view, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys,
                                          const QPoint& global)
{
    if (!context_.rom.isLoaded())
        return;
    if (button == Qt::LeftButton) {
        context_.rom.currentStage().beginGesture();
        if (!hitTest(view, x, y, true) && keys.testFlag(Qt::ShiftModifier))
            openRoomTextDialog(shownRoom(view));
    } else if (button == Qt::RightButton) {
        lastHovered_ = hovered_;
        hovered_ = hitTest(view, x, y, false);
        popupView_ = view;
        popupPoint_ = QPoint(x, y);
        popupObject_ = hovered_;
        menu_->popup(objectMenuState(popupObject_, clipboard_), global);
    }
}

void ObjectEdit::onRoomHovered(int view, int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys)
{
    if (!context_.rom.isLoaded())
        return;
    ImageView* control = rooms_->view(view);
    if (hovered_ && hovered_ == selected_ && buttons.testFlag(Qt::LeftButton)) {
        control->setToolTip(QString()); // no hint while dragging
        const auto to = dragPosition(objectCoordinate(x, control->width()), objectCoordinate(y, control->height()),
                                     keys.testFlag(Qt::ControlModifier), keys.testFlag(Qt::ShiftModifier));
        if (to)
            setObjectPosition(to->x, to->y);
        return;
    }
    lastHovered_ = hovered_;
    hovered_ = hitTest(view, x, y, false);
    control->setToolTip(hovered_ ? qText(objectHintText(editedObjects().orderIndexOf(hovered_), *hovered_,
                                                       context_.objectNames))
                                 : QString());
    if (hovered_ != lastHovered_)
        drawObjectView(view);
}

void ObjectEdit::onRoomLeft(int view)
{
    // Beyond the rules of the page: the hover frame goes with the pointer.
    if (!context_.rom.isLoaded() || !hovered_ || hovered_->room != shownRoom(view))
        return;
    lastHovered_ = hovered_;
    hovered_ = nullptr;
    drawObjectView(view);
}

// ---- panel ----

void ObjectEdit::stepObjectX(int direction)
{
    if (!context_.rom.isLoaded() || !selected_)
        return;
    const int x = stepWithin(selected_->x, direction > 0 ? 1 : -1, 0, 255);
    if (x == selected_->x)
        return;
    selected_->x = static_cast<std::uint8_t>(x);
    sortRoomIfAuto(selected_->room);
    markEdited();
    drawBothViews();
    refreshObjectPanel();
}

void ObjectEdit::stepObjectY(int direction)
{
    if (!context_.rom.isLoaded() || !selected_)
        return;
    // The up arrow moves the object up the screen.
    const int y = stepWithin(selected_->y, direction > 0 ? -1 : 1, 0, 255);
    if (y == selected_->y)
        return;
    selected_->y = static_cast<std::uint8_t>(y);
    markEdited();
    drawBothViews();
    refreshObjectPanel();
}

void ObjectEdit::stepObjectRoom(int direction)
{
    if (!context_.rom.isLoaded() || !selected_)
        return;
    const int room = stepWithin(selected_->room, direction > 0 ? 1 : -1, 0, RoomCount - 1);
    if (room == selected_->room)
        return;
    editedObjects().moveToRoom(selected_, static_cast<std::uint8_t>(room));
    sortRoomIfAuto(room);
    scrollObjectViewsTo(room);
    markEdited();
    refreshObjectViews();
    refreshObjectPanel();
}

void ObjectEdit::moveInOrder(int direction)
{
    if (!context_.rom.isLoaded() || !selected_)
        return;
    StageObjects& objects = editedObjects();
    if (!(direction > 0 ? objects.moveLater(selected_) : objects.moveEarlier(selected_)))
        return;
    markEdited();
    drawBothViews();
    refreshObjectPanel();
}

void ObjectEdit::stepSelectedObject(int direction)
{
    if (!context_.rom.isLoaded() || !selected_)
        return;
    const StageObjects& objects = editedObjects();
    PlacedObject* next = direction > 0 ? objects.nextObject(selected_) : objects.prevObject(selected_);
    if (!next)
        return;
    selected_ = next;
    scrollObjectViewsTo(next->room);
    refreshObjectViews();
    refreshObjectPanel();
}

void ObjectEdit::onKindChosen(int index)
{
    if (updating_ || !context_.rom.isLoaded() || !selected_ || index < 0 || index > 0xFF || index == selected_->kind)
        return;
    selected_->kind = static_cast<std::uint8_t>(index);
    markEdited();
    drawBothViews();
}

void ObjectEdit::removeSelectedObject()
{
    if (!context_.rom.isLoaded() || !selected_)
        return;
    StageObjects& objects = editedObjects();
    PlacedObject* removed = selected_;
    PlacedObject* next = objects.nextObject(removed);
    forget(removed);
    objects.removeObject(removed);
    selected_ = next;
    markEdited();
    if (next)
        scrollObjectViewsTo(next->room);
    refreshObjectViews();
    refreshObjectPanel();
}

// ---- switches ----

void ObjectEdit::chooseObjectType(int item)
{
    if (updating_ || !context_.rom.isLoaded() || item == objectType_)
        return;
    objectType_ = item;
    showOrderType();
    selected_ = hovered_ = lastHovered_ = popupObject_ = nullptr;
    refreshObjectPanel();
    refreshObjectViews();
}

void ObjectEdit::selectObjectType(int type) { typeGroup_->button(type & 1)->click(); }

void ObjectEdit::chooseOrderType(int item)
{
    if (updating_ || !context_.rom.isLoaded())
        return;
    StageObjects& objects = editedObjects();
    const OrderType chosen = item == 1 ? otFree : otByRoom;
    if (chosen == objects.orderType)
        return;
    if (!context_.prompts.askYesNo(qText(orderTypeQuestion()))) {
        showOrderType(); // the group shows the order in force again
        return;
    }
    objects.setOrderType(chosen);
    showOrderType();
    markEdited();
    refreshObjectPanel();
    refreshObjectViews();
}

// ---- the views' menu ----

void ObjectEdit::createAtPopupPoint(std::uint8_t kind)
{
    const ImageView* control = rooms_->view(popupView_);
    const int room = shownRoom(popupView_);
    const int px = std::clamp(objectCoordinate(popupPoint_.x(), control->width()), 0, 255);
    const int py = std::clamp(objectCoordinate(popupPoint_.y(), control->height()), 0, 255);
    if (!editedObjects().addObject(static_cast<std::uint8_t>(room), static_cast<std::uint8_t>(px),
                                   static_cast<std::uint8_t>(py), kind)) {
        context_.prompts.showMessage(qText(cannotCreateObjectText()));
        return;
    }
    sortRoomIfAuto(room);
    markEdited();
    refreshObjectViews();
    refreshObjectPanel();
}

void ObjectEdit::createObjectAt()
{
    if (context_.rom.isLoaded() && !popupObject_)
        createAtPopupPoint(0x00);
}

void ObjectEdit::pasteObjectAt()
{
    if (context_.rom.isLoaded() && !popupObject_ && clipboard_ >= 0)
        createAtPopupPoint(static_cast<std::uint8_t>(clipboard_ & 0xFF));
}

void ObjectEdit::copyObject()
{
    if (context_.rom.isLoaded() && popupObject_)
        clipboard_ = popupObject_->kind;
}

void ObjectEdit::selectObjectAt()
{
    if (!context_.rom.isLoaded() || !popupObject_)
        return;
    selected_ = popupObject_;
    refreshObjectPanel();
    drawBothViews();
}

void ObjectEdit::removeObject()
{
    if (!context_.rom.isLoaded() || !popupObject_)
        return;
    PlacedObject* removed = popupObject_;
    forget(removed);
    hovered_ = nullptr;
    editedObjects().removeObject(removed);
    markEdited();
    refreshObjectViews();
    refreshObjectPanel();
}

void ObjectEdit::openRoomTextDialog(int room)
{
    StageObjects& objects = editedObjects();
    RoomObjectList& list = objects.lists(room);
    std::vector<ObjectLine> lines;
    // All or nothing: a text that would not fit keeps the dialog open and the room untouched.
    const auto check = [&](const QString& text) -> std::optional<QString> {
        lines = parseRoomObjectsText(text.toStdString());
        if (roomObjectsFit(objects, room, lines.size()))
            return std::nullopt;
        return qText(roomObjectsDoNotFitText(static_cast<int>(lines.size()), roomObjectsLimit(objects, room)));
    };
    if (!textForm_.editText(qText(roomTextCaption(room)), qText(roomObjectsText(list)), check))
        return;
    while (!list.empty()) {
        PlacedObject* last = list.last();
        forget(last);
        objects.removeObject(last);
    }
    markEdited();
    for (const ObjectLine& line : lines)
        objects.addObject(static_cast<std::uint8_t>(room), line.x, line.y, line.kind);
    refreshObjectViews();
    refreshObjectPanel();
}

} // namespace vx
