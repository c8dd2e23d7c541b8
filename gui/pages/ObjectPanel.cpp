#include "gui/pages/ObjectPanel.h"

#include "core/model/RomImage.h"
#include "core/model/StageObjects.h"
#include "gui/pages/EditorUnit.h"
#include "gui/pages/ObjectPicks.h"
#include "gui/pages/Prompts.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/UpDown.h"
#include "gui/widgets/UpdatingGuard.h"
#include "rules/ObjectRules.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace vx {
namespace {

QString qText(const std::string& text) { return QString::fromStdString(text); }

} // namespace

// ---- controls ----

void ObjectPanel::build(QWidget* page)
{
    buildSwitches(page);
    buildObjectGroup(page);
}

void ObjectPanel::buildSwitches(QWidget* page)
{
    typeGroup_ =
        makeRadioGroup(page, captionOf("編集オブジェクト", "Edited Objects"), "RadioGroupObjectTypeSelect", 402,
                       captionOf("敵オブジェク"
                                 "ト(&N)",
                                 "E&nemies"),
                       captionOf("アイテムオブジェクト(&I)", "&Items"));
    typeGroup_->button(0)->setChecked(true);
    QObject::connect(typeGroup_, &QButtonGroup::idClicked, typeGroup_, [this](int item) { chooseObjectType(item); });
    orderGroup_ =
        makeRadioGroup(page, captionOf("オブジェクトの順序", "Object Order"), "RadioGroupObjectOrderType", 474,
                       captionOf("部屋単位で管"
                                 "理(&R)",
                                 "By &Room"),
                       captionOf("自由順序(&O)", "Free &Order"));
    orderGroup_->button(0)->setChecked(true);
    QObject::connect(orderGroup_, &QButtonGroup::idClicked, orderGroup_, [this](int item) { chooseOrderType(item); });
    autoSort_ = new QCheckBox(captionOf("X座標でソートを行う(&S)", "&Sort by X"), page);
    autoSort_->setObjectName(QStringLiteral("CheckBoxObjectAutoSort"));
    autoSort_->setGeometry(8, 546, 195, 20);
    autoSort_->setChecked(true);
    // Checking sorts nothing by itself: only the order arrows' state follows.
    QObject::connect(autoSort_, &QCheckBox::clicked, autoSort_, [this] {
        if (context_.rom.isLoaded())
            refresh();
    });
}

void ObjectPanel::buildObjectGroup(QWidget* page)
{
    auto* group = new QGroupBox(captionOf("編集対象オブジェクト", "Edited Object"), page);
    group->setObjectName(QStringLiteral("GroupBoxEditedObject"));
    group->setGeometry(210, 284, 352, 184);
    const auto arrows = [group](const char* name, int x, int y, Qt::Orientation orientation) {
        auto* made = new UpDown(group, orientation);
        made->setObjectName(QString::fromLatin1(name));
        made->setGeometry(x, y, orientation == Qt::Horizontal ? 40 : 20, orientation == Qt::Horizontal ? 20 : 32);
        return made;
    };
    makeCaption(captionOf("編集対象オブジェクトの変更", "Change Edited Object"), group, 12, 24, 170);
    selectArrows_ = arrows("UpDownEditedObjectSelect", 184, 22, Qt::Horizontal);
    const auto row = [group](const QString& caption, const char* name, int y) {
        makeCaption(caption, group, 12, y, 72);
        QLabel* value = makeValueLabel(QString::fromLatin1(name), group, 86, y, 32);
        value->setText(QStringLiteral("--"));
        return value;
    };
    indexLabel_ = row(captionOf("設置番号:", "Order:"), "LblObjectIndex", 56);
    orderArrows_ = arrows("UpDownObjectOrder", 122, 54, Qt::Horizontal);
    roomLabel_ = row(captionOf("部屋番号:", "Room:"), "LblObjectRoom", 84);
    roomArrows_ = arrows("UpDownObjectRoom", 122, 82, Qt::Horizontal);
    xLabel_ = row(captionOf("X座標:", "X:"), "LblObjectX", 112);
    xArrows_ = arrows("UpDownObjectX", 122, 110, Qt::Horizontal);
    yLabel_ = row(captionOf("Y座標:", "Y:"), "LblObjectY", 140);
    yArrows_ = arrows("UpDownObjectY", 122, 132, Qt::Vertical);
    QObject::connect(selectArrows_, &UpDown::stepRequested, selectArrows_,
                     [this](int direction) { stepSelectedObject(direction); });
    QObject::connect(orderArrows_, &UpDown::stepRequested, orderArrows_,
                     [this](int direction) { moveInOrder(direction); });
    QObject::connect(roomArrows_, &UpDown::stepRequested, roomArrows_,
                     [this](int direction) { stepObjectRoom(direction); });
    QObject::connect(xArrows_, &UpDown::stepRequested, xArrows_, [this](int direction) { stepObjectX(direction); });
    QObject::connect(yArrows_, &UpDown::stepRequested, yArrows_, [this](int direction) { stepObjectY(direction); });

    makeCaption(captionOf("種類:", "Kind:"), group, 184, 56, 60);
    kindCombo_ = new QComboBox(group);
    kindCombo_->setObjectName(QStringLiteral("ComboBoxObjectKindEdit"));
    kindCombo_->setGeometry(184, 76, 156, 22);
    kindCombo_->setMaxVisibleItems(12);
    kindCombo_->setStyleSheet(QStringLiteral("combobox-popup: 0;")); // a list of 12 rows, not a screenful
    for (const std::string& name : context_.objectNames)             // index = kind
        kindCombo_->addItem(qText(name));
    QObject::connect(kindCombo_, &QComboBox::currentIndexChanged, kindCombo_,
                     [this](int index) { onKindChosen(index); });
    removeButton_ = new QPushButton(captionOf("削除(&D)", "&Delete"), group);
    removeButton_->setObjectName(QStringLiteral("BtnRemoveObject"));
    removeButton_->setGeometry(184, 136, 75, 25);
    QObject::connect(removeButton_, &QPushButton::clicked, removeButton_, [this] { removeSelectedObject(); });
}

// ---- shown state ----

const StageObjects& ObjectPanel::editedObjects() const { return picks_.editedObjects(context_.rom.currentStage()); }

void ObjectPanel::refresh()
{
    const bool any = picks_.selected != nullptr;
    setLabelText(indexLabel_,
                 any ? hex2Text(static_cast<unsigned>(editedObjects().orderIndexOf(picks_.selected)))
                     : QStringLiteral("--"));
    setLabelText(roomLabel_, any ? hex2Text(picks_.selected->room) : QStringLiteral("--"));
    setLabelText(xLabel_, any ? hex2Text(picks_.selected->x) : QStringLiteral("--"));
    setLabelText(yLabel_, any ? hex2Text(picks_.selected->y) : QStringLiteral("--"));
    for (QWidget* control :
         std::initializer_list<QWidget*>{roomArrows_, xArrows_, yArrows_, selectArrows_, kindCombo_, removeButton_})
        control->setEnabled(any);
    orderArrows_->setEnabled(any && (editedObjects().orderType == otFree || !autoSort_->isChecked()));
    const UpdatingGuard updating(updating_);
    kindCombo_->setCurrentIndex(any ? picks_.selected->kind : -1); // no kind name without an object
}

void ObjectPanel::showOrderType()
{
    const OrderType order = editedObjects().orderType;
    {
        const UpdatingGuard updating(updating_);
        orderGroup_->button(order == otFree ? 1 : 0)->setChecked(true);
    }
    autoSort_->setEnabled(order == otByRoom);
}

void ObjectPanel::showEditedList()
{
    {
        const UpdatingGuard updating(updating_);
        typeGroup_->button(picks_.objectType)->setChecked(true);
    }
    showOrderType();
}

bool ObjectPanel::sortsByX() const { return autoSort_->isChecked(); }

bool ObjectPanel::moveSelected(int room, int x, int y)
{
    return context_.rom.currentStage().moveObject(editedObjects(), picks_.selected, room, x, y, sortsByX());
}

// ---- the selected object ----

void ObjectPanel::stepObjectX(int direction)
{
    if (!context_.rom.isLoaded() || !picks_.selected)
        return;
    const int x = stepWithin(picks_.selected->x, direction > 0 ? 1 : -1, 0, 255);
    if (!moveSelected(picks_.selected->room, x, picks_.selected->y))
        return;
    views_.redraw();
    refresh();
}

void ObjectPanel::stepObjectY(int direction)
{
    if (!context_.rom.isLoaded() || !picks_.selected)
        return;
    // The up arrow moves the object up the screen.
    const int y = stepWithin(picks_.selected->y, direction > 0 ? -1 : 1, 0, 255);
    // Y leaves the room's order alone: only X sorts it.
    if (!context_.rom.currentStage().moveObject(editedObjects(), picks_.selected, picks_.selected->room,
                                                picks_.selected->x, y, false))
        return;
    views_.redraw();
    refresh();
}

void ObjectPanel::stepObjectRoom(int direction)
{
    if (!context_.rom.isLoaded() || !picks_.selected)
        return;
    const int room = stepWithin(picks_.selected->room, direction > 0 ? 1 : -1, 0, RoomCount - 1);
    if (!moveSelected(room, picks_.selected->x, picks_.selected->y))
        return;
    views_.show(room);
    refresh();
}

void ObjectPanel::moveInOrder(int direction)
{
    if (!context_.rom.isLoaded() || !picks_.selected)
        return;
    if (!context_.rom.currentStage().moveObjectInOrder(editedObjects(), picks_.selected, direction > 0))
        return;
    views_.redraw();
    refresh();
}

void ObjectPanel::stepSelectedObject(int direction)
{
    if (!context_.rom.isLoaded() || !picks_.selected)
        return;
    const StageObjects& objects = editedObjects();
    const PlacedObject* next =
        direction > 0 ? objects.nextObject(picks_.selected) : objects.prevObject(picks_.selected);
    if (!next)
        return;
    picks_.selected = next;
    views_.show(next->room);
    refresh();
}

void ObjectPanel::onKindChosen(int index)
{
    if (updating_ || !context_.rom.isLoaded() || !picks_.selected || index < 0 || index > 0xFF ||
        index == picks_.selected->kind)
        return;
    context_.rom.currentStage().setObjectKind(editedObjects(), picks_.selected, static_cast<std::uint8_t>(index));
    views_.redraw();
}

void ObjectPanel::removeSelectedObject()
{
    if (!context_.rom.isLoaded() || !picks_.selected)
        return;
    const StageObjects& objects = editedObjects();
    const PlacedObject* removed = picks_.selected;
    const PlacedObject* next = objects.nextObject(removed);
    picks_.forget(removed);
    context_.rom.currentStage().removeObject(objects, removed);
    picks_.selected = next;
    views_.show(next ? next->room : -1);
    refresh();
}

// ---- the edited list ----

void ObjectPanel::chooseObjectType(int item)
{
    if (updating_ || !context_.rom.isLoaded() || item == picks_.objectType)
        return;
    picks_.objectType = item;
    showOrderType();
    picks_.clear();
    refresh();
    views_.show(-1);
}

void ObjectPanel::selectObjectType(int type) { typeGroup_->button(type & 1)->click(); }

void ObjectPanel::chooseOrderType(int item)
{
    if (updating_ || !context_.rom.isLoaded())
        return;
    const StageObjects& objects = editedObjects();
    const OrderType chosen = item == 1 ? otFree : otByRoom;
    if (chosen == objects.orderType)
        return;
    if (!context_.prompts.askYesNo(qText(orderTypeQuestion()))) {
        showOrderType(); // the group shows the order in force again
        return;
    }
    context_.rom.currentStage().setObjectOrderType(objects, chosen);
    showOrderType();
    refresh();
    views_.show(-1);
}

} // namespace vx
