#include "gui/pages/ObjectEdit.h"

#include "core/RomImgManager.h"
#include "core/VxObject.h"
#include "gui/pages/ObjectViewMenu.h"
#include "gui/pages/Prompts.h"
#include "gui/pages/VxObjectEditForm.h"
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

QString Text(const std::string& text) { return QString::fromStdString(text); }

} // namespace

// ---- controls ----

void TObjectEdit::BindControls(QWidget* page)
{
    BuildViews(page);
    BuildDisplayGroup(page);
    BuildSwitches(page);
    BuildPanel(page);
    menu_ = std::make_unique<TObjectViewMenu>(page, TObjectViewMenu::TCommands{
                                                        .create = [this] { MenuItemPUCreateObjectClick(); },
                                                        .copy = [this] { MenuItemPUCopyObjectClick(); },
                                                        .paste = [this] { MenuItemPUPasteObjectClick(); },
                                                        .select = [this] { MenuItemPUSelectObjectClick(); },
                                                        .remove = [this] { MenuItemPURemoveObjectClick(); }});
}

void TObjectEdit::BuildViews(QWidget* page)
{
    const auto handlers = [this](int v) {
        return TViewHandlers{
            .pressed =
                [this, v](int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
                    ImgObjectEditXMouseDown(v, x, y, button, keys, rooms_->View(v)->mapToGlobal(QPoint(x, y)));
                },
            .moved = [this, v](int x, int y, Qt::MouseButtons buttons,
                               Qt::KeyboardModifiers keys) { ImgObjectEditXMouseMove(v, x, y, buttons, keys); },
            .left = [this, v] { ImgObjectEditXMouseLeave(v); }};
    };
    rooms_ = std::make_unique<TRoomViewPair>(page, QStringLiteral("ImgObjectEdit"), QStringLiteral("ScrollBarObjectEdit"),
                                             handlers, [this](int) {
                                                 if (context_.rom.IsLoaded())
                                                     RefreshObjectViews();
                                             });
    // A drag, from press to release, is one step of the history.
    for (int v = 0; v < 2; ++v)
        QObject::connect(rooms_->View(v), &TImageView::mouseReleased, rooms_->View(v), [this] {
            if (context_.rom.IsLoaded())
                context_.rom.CurrentStage().EndGesture();
        });
}

void TObjectEdit::ObjectsReplaced(int room)
{
    // Undo and redo build the lists anew: no pointer into the old ones may stay.
    selected_ = hovered_ = lastHovered_ = popupObject_ = nullptr;
    if (room >= 0)
        ScrollObjectViewsTo(room);
    RefreshObjectPanel();
    RefreshObjectViews();
}

void TObjectEdit::BuildDisplayGroup(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("表示情報"), page);
    group->setObjectName(QStringLiteral("GroupBox10"));
    group->setGeometry(3, 284, 200, 112);
    const auto row = [group](const char* caption, const char* name, const char* initial, int y) {
        MakeCaption(caption, group, 10, y, 92);
        QLabel* value = MakeValueLabel(QString::fromLatin1(name), group, 104, y, 90);
        value->setText(QString::fromUtf8(initial));
        return value;
    };
    pagesLabel_ = row("表示部屋番号:", "LblObjectEditPages", "00-01", 22);
    enemyPagesLabel_ = row("敵個数:", "LblEnemyObjectCountPages", "0-0", 40);
    itemPagesLabel_ = row("アイテム個数:", "LblItemObjectCountPages", "0-0", 58);
    enemyCountLabel_ = row("敵総数:", "LblEnemyObjectCount", "128 / 128", 76);
    itemCountLabel_ = row("アイテム総数:", "LblItemObjectCount", "32 / 32", 94);
}

void TObjectEdit::BuildSwitches(QWidget* page)
{
    typeGroup_ = MakeRadioGroup(page, "編集オブジェクト", "RadioGroupObjectTypeSelect", 402, "敵オブジェクト",
                            "アイテムオブジェクト");
    typeGroup_->button(0)->setChecked(true);
    QObject::connect(typeGroup_, &QButtonGroup::idClicked, typeGroup_,
                     [this](int item) { RadioGroupObjectTypeSelectClick(item); });
    orderGroup_ = MakeRadioGroup(page, "オブジェクトの順序", "RadioGroupObjectOrderType", 474, "部屋単位で管理", "自由順序");
    orderGroup_->button(0)->setChecked(true);
    QObject::connect(orderGroup_, &QButtonGroup::idClicked, orderGroup_,
                     [this](int item) { RadioGroupObjectOrderTypeClick(item); });
    autoSort_ = new QCheckBox(QString::fromUtf8("X座標でソートを行う"), page);
    autoSort_->setObjectName(QStringLiteral("CheckBoxObjectAutoSort"));
    autoSort_->setGeometry(8, 546, 195, 20);
    autoSort_->setChecked(true);
    // Checking sorts nothing by itself: only the order arrows' state follows.
    QObject::connect(autoSort_, &QCheckBox::clicked, autoSort_, [this] {
        if (context_.rom.IsLoaded())
            RefreshObjectPanel();
    });
}

void TObjectEdit::BuildPanel(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("編集対象オブジェクト"), page);
    group->setObjectName(QStringLiteral("GroupBoxEditedObject"));
    group->setGeometry(210, 284, 352, 184);
    const auto arrows = [group](const char* name, int x, int y, Qt::Orientation orientation) {
        auto* made = new TUpDown(group, orientation);
        made->setObjectName(QString::fromLatin1(name));
        made->setGeometry(x, y, orientation == Qt::Horizontal ? 40 : 20, orientation == Qt::Horizontal ? 20 : 32);
        return made;
    };
    MakeCaption("編集対象オブジェクトの変更", group, 12, 24, 170);
    selectArrows_ = arrows("UpDownEditedObjectSelect", 184, 22, Qt::Horizontal);
    const auto row = [group](const char* caption, const char* name, int y) {
        MakeCaption(caption, group, 12, y, 72);
        QLabel* value = MakeValueLabel(QString::fromLatin1(name), group, 86, y, 32);
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
    QObject::connect(selectArrows_, &TUpDown::stepRequested, selectArrows_,
                     [this](int direction) { UpDownEditedObjectSelectChangingEx(direction); });
    QObject::connect(orderArrows_, &TUpDown::stepRequested, orderArrows_,
                     [this](int direction) { UpDownObjectOrderChangingEx(direction); });
    QObject::connect(roomArrows_, &TUpDown::stepRequested, roomArrows_,
                     [this](int direction) { UpDownObjectRoomChangingEx(direction); });
    QObject::connect(xArrows_, &TUpDown::stepRequested, xArrows_, [this](int direction) { UpDownObjectXChangingEx(direction); });
    QObject::connect(yArrows_, &TUpDown::stepRequested, yArrows_, [this](int direction) { UpDownObjectYChangingEx(direction); });

    MakeCaption("種類:", group, 184, 56, 60);
    kindCombo_ = new QComboBox(group);
    kindCombo_->setObjectName(QStringLiteral("ComboBoxObjectKindEdit"));
    kindCombo_->setGeometry(184, 76, 156, 22);
    kindCombo_->setMaxVisibleItems(12);
    kindCombo_->setStyleSheet(QStringLiteral("combobox-popup: 0;")); // a list of 12 rows, not a screenful
    for (const std::string& name : context_.objectNames) // index = kind
        kindCombo_->addItem(Text(name));
    QObject::connect(kindCombo_, &QComboBox::currentIndexChanged, kindCombo_,
                     [this](int index) { ComboBoxObjectKindEditChange(index); });
    removeButton_ = new QPushButton(QString::fromUtf8("削除"), group);
    removeButton_->setObjectName(QStringLiteral("BtnRemoveObject"));
    removeButton_->setGeometry(184, 136, 75, 25);
    QObject::connect(removeButton_, &QPushButton::clicked, removeButton_, [this] { BtnRemoveObjectClick(); });
}

// ---- entry points ----

TVxObjectManager& TObjectEdit::EditedObjects() const
{
    const TStageData& stage = context_.rom.CurrentStage();
    return objectType_ == 0 ? stage.EnemyObjects() : stage.ItemObjects();
}

void TObjectEdit::Open()
{
    rooms_->GiveBitmaps(context_.graphics);
    StageChanged();
}

void TObjectEdit::StageChanged()
{
    const TStageData& stage = context_.rom.CurrentStage();
    rooms_->SetLeft(FirstLeftRoom(stage.MidPoints(stage.DefaultStartPoint()).StartRoom()));
    objectType_ = 0;
    {
        const TUpdatingGuard updating(updating_);
        typeGroup_->button(0)->setChecked(true);
    }
    ShowOrderType();
    selected_ = hovered_ = lastHovered_ = popupObject_ = nullptr;
    RefreshObjectPanel();
    RefreshObjectViews();
}

void TObjectEdit::ImageClosed() { selected_ = hovered_ = lastHovered_ = popupObject_ = nullptr; }

void TObjectEdit::Refresh()
{
    sheets_.Rebuild(context_.graphics, context_.rom.CurrentStage().Chip32x32());
    DrawBothViews();
}

void TObjectEdit::AnimationTick()
{
    sheets_.ApplyPalette(context_.graphics);
    DrawBothViews();
}

// ---- drawing and panel ----

void TObjectEdit::DrawObjectView(int view)
{
    TImageView* control = rooms_->View(view);
    TNkDIB* bitmap = control->Bitmap();
    if (!bitmap || !sheets_.Ready())
        return;
    const int room = ShownRoom(view);
    const TStageData& stage = context_.rom.CurrentStage();
    const TGraphicManager& graphics = context_.graphics;
    graphics.DrawRoom(*bitmap, *sheets_.chip32Sheet, stage.MapRoom(room));
    DrawRoomObjects(graphics, *bitmap, stage, room, objectType_ == 0);
    if (selected_ && selected_->Room == room)
        graphics.DrawObjectFrame(*bitmap, *selected_, 24);
    if (hovered_ && hovered_->Room == room)
        graphics.DrawObjectFrame(*bitmap, *hovered_, 32);
    control->Redraw();
}

void TObjectEdit::DrawBothViews()
{
    DrawObjectView(0);
    DrawObjectView(1);
}

void TObjectEdit::RefreshObjectViews()
{
    DrawBothViews();
    const TStageData& stage = context_.rom.CurrentStage();
    SetLabelText(pagesLabel_, Text(ShownRoomsText(rooms_->Left())));
    SetLabelText(enemyPagesLabel_, Text(RoomCountsText(stage.EnemyObjects(), rooms_->Left())));
    SetLabelText(itemPagesLabel_, Text(RoomCountsText(stage.ItemObjects(), rooms_->Left())));
    SetLabelText(enemyCountLabel_, Text(TotalCountText(stage.EnemyObjects(), EnemyCapacity)));
    SetLabelText(itemCountLabel_, Text(TotalCountText(stage.ItemObjects(), ItemCapacity)));
}

void TObjectEdit::RefreshObjectPanel()
{
    const bool any = selected_ != nullptr;
    SetLabelText(indexLabel_, any ? Hex2Text(static_cast<unsigned>(EditedObjects().OrderIndexOf(selected_)))
                                  : QStringLiteral("--"));
    SetLabelText(roomLabel_, any ? Hex2Text(selected_->Room) : QStringLiteral("--"));
    SetLabelText(xLabel_, any ? Hex2Text(selected_->X) : QStringLiteral("--"));
    SetLabelText(yLabel_, any ? Hex2Text(selected_->Y) : QStringLiteral("--"));
    for (QWidget* control : std::initializer_list<QWidget*>{roomArrows_, xArrows_, yArrows_, selectArrows_, kindCombo_,
                                                           removeButton_})
        control->setEnabled(any);
    orderArrows_->setEnabled(any && (EditedObjects().OrderType == otFree || !autoSort_->isChecked()));
    const TUpdatingGuard updating(updating_);
    kindCombo_->setCurrentIndex(any ? selected_->Kind : -1); // no kind name without an object
}

void TObjectEdit::ShowOrderType()
{
    const TOrderType order = EditedObjects().OrderType;
    {
        const TUpdatingGuard updating(updating_);
        orderGroup_->button(order == otFree ? 1 : 0)->setChecked(true);
    }
    autoSort_->setEnabled(order == otByRoom);
}

TVxObjectNode* TObjectEdit::HitTest(int view, int x, int y, bool select)
{
    const TImageView* control = rooms_->View(view);
    TVxObjectNode* found = HitTestObject(EditedObjects().Lists(ShownRoom(view)), ObjectCoordinate(x, control->width()),
                                         ObjectCoordinate(y, control->height()));
    if (select) {
        selected_ = found;
        RefreshObjectPanel();
        DrawBothViews();
    }
    return found;
}

void TObjectEdit::ScrollObjectViewsTo(int room) { rooms_->SetLeft(LeftRoomShowing(rooms_->Left(), room)); }

void TObjectEdit::Forget(const TVxObjectNode* object)
{
    for (TVxObjectNode** reference : {&selected_, &hovered_, &lastHovered_, &popupObject_})
        if (*reference == object)
            *reference = nullptr;
}

void TObjectEdit::SortRoomIfAuto(int room)
{
    if (autoSort_->isChecked())
        EditedObjects().Lists(room).SortByX();
}

void TObjectEdit::MarkEdited() { context_.rom.CurrentStage().MarkEdited(efObject); }

void TObjectEdit::SetObjectPosition(int px, int py)
{
    if (!selected_)
        return;
    px = std::clamp(px, 0, 255);
    py = std::clamp(py, 0, 255);
    if (px == selected_->X && py == selected_->Y)
        return;
    selected_->X = static_cast<std::uint8_t>(px);
    selected_->Y = static_cast<std::uint8_t>(py);
    SortRoomIfAuto(selected_->Room);
    MarkEdited();
    DrawBothViews();
    RefreshObjectPanel();
}

// ---- mouse ----

void TObjectEdit::ImgObjectEditXMouseDown(int view, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys,
                                          const QPoint& global)
{
    if (!context_.rom.IsLoaded())
        return;
    if (button == Qt::LeftButton) {
        context_.rom.CurrentStage().BeginGesture();
        if (!HitTest(view, x, y, true) && keys.testFlag(Qt::ShiftModifier))
            OpenRoomTextDialog(ShownRoom(view));
    } else if (button == Qt::RightButton) {
        lastHovered_ = hovered_;
        hovered_ = HitTest(view, x, y, false);
        popupView_ = view;
        popupPoint_ = QPoint(x, y);
        popupObject_ = hovered_;
        menu_->Popup(ObjectMenuState(popupObject_, clipboard_), global);
    }
}

void TObjectEdit::ImgObjectEditXMouseMove(int view, int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys)
{
    if (!context_.rom.IsLoaded())
        return;
    TImageView* control = rooms_->View(view);
    if (hovered_ && hovered_ == selected_ && buttons.testFlag(Qt::LeftButton)) {
        control->setToolTip(QString()); // no hint while dragging
        const auto to = DragPosition(ObjectCoordinate(x, control->width()), ObjectCoordinate(y, control->height()),
                                     keys.testFlag(Qt::ControlModifier), keys.testFlag(Qt::ShiftModifier));
        if (to)
            SetObjectPosition(to->x, to->y);
        return;
    }
    lastHovered_ = hovered_;
    hovered_ = HitTest(view, x, y, false);
    control->setToolTip(hovered_ ? Text(ObjectHintText(EditedObjects().OrderIndexOf(hovered_), *hovered_,
                                                       context_.objectNames))
                                 : QString());
    if (hovered_ != lastHovered_)
        DrawObjectView(view);
}

void TObjectEdit::ImgObjectEditXMouseLeave(int view)
{
    // Beyond the rules of the page: the hover frame goes with the pointer.
    if (!context_.rom.IsLoaded() || !hovered_ || hovered_->Room != ShownRoom(view))
        return;
    lastHovered_ = hovered_;
    hovered_ = nullptr;
    DrawObjectView(view);
}

// ---- panel ----

void TObjectEdit::UpDownObjectXChangingEx(int direction)
{
    if (!context_.rom.IsLoaded() || !selected_)
        return;
    const int x = StepWithin(selected_->X, direction > 0 ? 1 : -1, 0, 255);
    if (x == selected_->X)
        return;
    selected_->X = static_cast<std::uint8_t>(x);
    SortRoomIfAuto(selected_->Room);
    MarkEdited();
    DrawBothViews();
    RefreshObjectPanel();
}

void TObjectEdit::UpDownObjectYChangingEx(int direction)
{
    if (!context_.rom.IsLoaded() || !selected_)
        return;
    // The up arrow moves the object up the screen.
    const int y = StepWithin(selected_->Y, direction > 0 ? -1 : 1, 0, 255);
    if (y == selected_->Y)
        return;
    selected_->Y = static_cast<std::uint8_t>(y);
    MarkEdited();
    DrawBothViews();
    RefreshObjectPanel();
}

void TObjectEdit::UpDownObjectRoomChangingEx(int direction)
{
    if (!context_.rom.IsLoaded() || !selected_)
        return;
    const int room = StepWithin(selected_->Room, direction > 0 ? 1 : -1, 0, RoomCount - 1);
    if (room == selected_->Room)
        return;
    EditedObjects().MoveToRoom(selected_, static_cast<std::uint8_t>(room));
    SortRoomIfAuto(room);
    ScrollObjectViewsTo(room);
    MarkEdited();
    RefreshObjectViews();
    RefreshObjectPanel();
}

void TObjectEdit::UpDownObjectOrderChangingEx(int direction)
{
    if (!context_.rom.IsLoaded() || !selected_)
        return;
    TVxObjectManager& objects = EditedObjects();
    if (!(direction > 0 ? objects.MoveLater(selected_) : objects.MoveEarlier(selected_)))
        return;
    MarkEdited();
    DrawBothViews();
    RefreshObjectPanel();
}

void TObjectEdit::UpDownEditedObjectSelectChangingEx(int direction)
{
    if (!context_.rom.IsLoaded() || !selected_)
        return;
    const TVxObjectManager& objects = EditedObjects();
    TVxObjectNode* next = direction > 0 ? objects.NextObject(selected_) : objects.PrevObject(selected_);
    if (!next)
        return;
    selected_ = next;
    ScrollObjectViewsTo(next->Room);
    RefreshObjectViews();
    RefreshObjectPanel();
}

void TObjectEdit::ComboBoxObjectKindEditChange(int index)
{
    if (updating_ || !context_.rom.IsLoaded() || !selected_ || index < 0 || index > 0xFF || index == selected_->Kind)
        return;
    selected_->Kind = static_cast<std::uint8_t>(index);
    MarkEdited();
    DrawBothViews();
}

void TObjectEdit::BtnRemoveObjectClick()
{
    if (!context_.rom.IsLoaded() || !selected_)
        return;
    TVxObjectManager& objects = EditedObjects();
    TVxObjectNode* removed = selected_;
    TVxObjectNode* next = objects.NextObject(removed);
    Forget(removed);
    objects.RemoveObject(removed);
    selected_ = next;
    MarkEdited();
    if (next)
        ScrollObjectViewsTo(next->Room);
    RefreshObjectViews();
    RefreshObjectPanel();
}

// ---- switches ----

void TObjectEdit::RadioGroupObjectTypeSelectClick(int item)
{
    if (updating_ || !context_.rom.IsLoaded() || item == objectType_)
        return;
    objectType_ = item;
    ShowOrderType();
    selected_ = hovered_ = lastHovered_ = popupObject_ = nullptr;
    RefreshObjectPanel();
    RefreshObjectViews();
}

void TObjectEdit::SelectObjectType(int type) { typeGroup_->button(type & 1)->click(); }

void TObjectEdit::RadioGroupObjectOrderTypeClick(int item)
{
    if (updating_ || !context_.rom.IsLoaded())
        return;
    TVxObjectManager& objects = EditedObjects();
    const TOrderType chosen = item == 1 ? otFree : otByRoom;
    if (chosen == objects.OrderType)
        return;
    if (!context_.prompts.AskYesNo(Text(OrderTypeQuestion()))) {
        ShowOrderType(); // the group shows the order in force again
        return;
    }
    objects.SetOrderType(chosen);
    ShowOrderType();
    MarkEdited();
    RefreshObjectPanel();
    RefreshObjectViews();
}

// ---- the views' menu ----

void TObjectEdit::CreateAtPopupPoint(std::uint8_t kind)
{
    const TImageView* control = rooms_->View(popupView_);
    const int room = ShownRoom(popupView_);
    const int px = std::clamp(ObjectCoordinate(popupPoint_.x(), control->width()), 0, 255);
    const int py = std::clamp(ObjectCoordinate(popupPoint_.y(), control->height()), 0, 255);
    if (!EditedObjects().AddObject(static_cast<std::uint8_t>(room), static_cast<std::uint8_t>(px),
                                   static_cast<std::uint8_t>(py), kind)) {
        context_.prompts.ShowMessage(Text(CannotCreateObjectText()));
        return;
    }
    SortRoomIfAuto(room);
    MarkEdited();
    RefreshObjectViews();
    RefreshObjectPanel();
}

void TObjectEdit::MenuItemPUCreateObjectClick()
{
    if (context_.rom.IsLoaded() && !popupObject_)
        CreateAtPopupPoint(0x00);
}

void TObjectEdit::MenuItemPUPasteObjectClick()
{
    if (context_.rom.IsLoaded() && !popupObject_ && clipboard_ >= 0)
        CreateAtPopupPoint(static_cast<std::uint8_t>(clipboard_ & 0xFF));
}

void TObjectEdit::MenuItemPUCopyObjectClick()
{
    if (context_.rom.IsLoaded() && popupObject_)
        clipboard_ = popupObject_->Kind;
}

void TObjectEdit::MenuItemPUSelectObjectClick()
{
    if (!context_.rom.IsLoaded() || !popupObject_)
        return;
    selected_ = popupObject_;
    RefreshObjectPanel();
    DrawBothViews();
}

void TObjectEdit::MenuItemPURemoveObjectClick()
{
    if (!context_.rom.IsLoaded() || !popupObject_)
        return;
    TVxObjectNode* removed = popupObject_;
    Forget(removed);
    hovered_ = nullptr;
    EditedObjects().RemoveObject(removed);
    MarkEdited();
    RefreshObjectViews();
    RefreshObjectPanel();
}

void TObjectEdit::OpenRoomTextDialog(int room)
{
    TVxObjectManager& objects = EditedObjects();
    TVxObjectList& list = objects.Lists(room);
    std::vector<TObjectLine> lines;
    // All or nothing: a text that would not fit keeps the dialog open and the room untouched.
    const auto check = [&](const QString& text) -> std::optional<QString> {
        lines = ParseRoomObjectsText(text.toStdString());
        if (RoomObjectsFit(objects, room, lines.size()))
            return std::nullopt;
        return Text(RoomObjectsDoNotFitText(static_cast<int>(lines.size()), RoomObjectsLimit(objects, room)));
    };
    if (!textForm_.EditText(Text(RoomTextCaption(room)), Text(RoomObjectsText(list)), check))
        return;
    while (!list.Empty()) {
        TVxObjectNode* last = list.Last();
        Forget(last);
        objects.RemoveObject(last);
    }
    MarkEdited();
    for (const TObjectLine& line : lines)
        objects.AddObject(static_cast<std::uint8_t>(room), line.x, line.y, line.kind);
    RefreshObjectViews();
    RefreshObjectPanel();
}

} // namespace vx
