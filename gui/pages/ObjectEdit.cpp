#include "gui/pages/ObjectEdit.h"

#include "core/model/RomImage.h"
#include "core/model/StageObjects.h"
#include "gui/pages/ObjectDialog.h"
#include "gui/pages/Prompts.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"
#include "render/GraphicManager.h"
#include "render/RoomOverlay.h"
#include "render/WorkingSheets.h"
#include "rules/ObjectRules.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <vector>

namespace vx {
namespace {

QString qText(const std::string& text) { return QString::fromStdString(text); }

} // namespace

// ---- controls ----

void ObjectEdit::bindControls(QWidget* page)
{
    buildViews(page);
    buildDisplayGroup(page);
    panel_ = std::make_unique<ObjectPanel>(context_, picks_,
                                           ObjectPanel::Views{.redraw = [this] { drawBothViews(); },
                                                              .show =
                                                                  [this](int room) {
                                                                      if (room >= 0)
                                                                          scrollObjectViewsTo(room);
                                                                      refreshObjectViews();
                                                                  }});
    panel_->build(page);
    menu_ = std::make_unique<ObjectViewMenu>(page,
                                             ObjectViewMenu::Commands{.create = [this] { createObjectAt(); },
                                                                      .copy = [this] { copyObject(); },
                                                                      .paste = [this] { pasteObjectAt(); },
                                                                      .select = [this] { selectObjectAt(); },
                                                                      .remove = [this] { removeObject(); }});
}

void ObjectEdit::buildViews(QWidget* page)
{
    const auto handlers = [this](int v) {
        return ViewHandlers{.pressed =
                                [this, v](int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
                                    onRoomPressed(v, x, y, button, keys, rooms_->view(v)->globalPosition(x, y));
                                },
                            .moved = [this, v](int x, int y, Qt::MouseButtons buttons,
                                               Qt::KeyboardModifiers keys) { onRoomHovered(v, x, y, buttons, keys); },
                            .left = [this, v] { onRoomLeft(v); }};
    };
    rooms_ = std::make_unique<RoomViewPair>(page, QStringLiteral("ImgObjectEdit"),
                                            QStringLiteral("ScrollBarObjectEdit"), handlers, [this](int) {
                                                if (context_.rom.isLoaded())
                                                    refreshObjectViews();
                                            });
    // A drag, from press to release, is one step of the history.
    for (int v = 0; v < 2; ++v) {
        ImageView* view = rooms_->view(v);
        QObject::connect(view, &ImageView::mouseReleased, view, [this] {
            if (context_.rom.isLoaded())
                context_.rom.currentStage().endGesture();
        });
        // The whole room is the cursor's one cell: the keys act on the selected object.
        view->setCellGrid(QSize(256, 256), 1, 1);
        view->takeKey = [this, v](QKeyEvent* event) { return onViewKey(v, event); };
        view->describeCell = [this](QPoint) {
            const PlacedObject* selected = context_.rom.isLoaded() ? picks_.selected : nullptr;
            return selected
                ? qText(objectHintText(editedObjects().orderIndexOf(selected), *selected, context_.objectNames))
                : QString();
        };
    }
}

bool ObjectEdit::onViewKey(int view, QKeyEvent* event)
{
    if (!context_.rom.isLoaded() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    StageData& stage = context_.rom.currentStage();
    const int key = event->key();
    const int step = event->modifiers().testFlag(Qt::ShiftModifier) ? 8 : 1;
    const QPoint arrow = key == Qt::Key_Left ? QPoint(-step, 0)
        : key == Qt::Key_Right               ? QPoint(step, 0)
        : key == Qt::Key_Up                  ? QPoint(0, -step)
        : key == Qt::Key_Down                ? QPoint(0, step)
                                             : QPoint();
    if (event->type() == QEvent::KeyRelease) {
        // A run of presses, the key's repeats included, is one step.
        if (!arrow.isNull() && !event->isAutoRepeat())
            stage.endGesture();
        return !arrow.isNull();
    }
    const PlacedObject* selected = picks_.selected;
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        const PlacedObject* next = neighbourObject(selected, key == Qt::Key_Tab ? 1 : -1);
        if (!next)
            return false; // past the last object the focus moves on
        picks_.selected = next;
        panel_->refresh();
        drawBothViews();
        rooms_->view(view)->describeCursor();
        return true;
    }
    if (!arrow.isNull() && selected) {
        if (!event->isAutoRepeat())
            stage.beginGesture();
        setObjectPosition(selected->x + arrow.x(), selected->y + arrow.y());
        rooms_->view(view)->describeCursor();
        return true;
    }
    if (key == Qt::Key_Delete && selected) {
        picks_.popupObject = selected;
        removeObject();
        rooms_->view(view)->describeCursor();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        openRoomTextDialog(selected ? selected->room : shownRoom(view));
        return true;
    }
    return !arrow.isNull(); // no selection: the arrows do nothing
}

const PlacedObject* ObjectEdit::neighbourObject(const PlacedObject* from, int direction) const
{
    // The shown rooms' objects in list order, left room first.
    std::vector<const PlacedObject*> order;
    for (int v = 0; v < 2; ++v) {
        const int room = shownRoom(v);
        if (v == 1 && room == shownRoom(0))
            break;
        const RoomObjectList& list = editedObjects().lists(room);
        for (int i = 0; i < list.count(); ++i)
            order.push_back(list.items(i));
    }
    const auto at = std::ranges::find(order, from);
    if (at == order.end())
        return order.empty() ? nullptr : direction > 0 ? order.front() : order.back();
    const auto index = (at - order.begin()) + direction;
    return index < 0 || index >= std::ssize(order) ? nullptr : order[static_cast<std::size_t>(index)];
}

void ObjectEdit::objectsReplaced(int room)
{
    // Undo and redo build the lists anew: no pointer into the old ones may stay.
    picks_.clear();
    if (room >= 0)
        scrollObjectViewsTo(room);
    panel_->refresh();
    refreshObjectViews();
}

void ObjectEdit::buildDisplayGroup(QWidget* page)
{
    auto* group = new QGroupBox(captionOf("表示情報", "Display Info"), page);
    group->setObjectName(QStringLiteral("GroupBox10"));
    group->setGeometry(3, 284, 200, 112);
    const auto row = [group](const QString& caption, const char* name, const char* initial, int y) {
        makeCaption(caption, group, 10, y, 92);
        QLabel* value = makeValueLabel(QString::fromLatin1(name), group, 104, y, 90);
        value->setText(QString::fromUtf8(initial));
        return value;
    };
    pagesLabel_ = row(captionOf("表示部屋番号:", "Rooms:"), "LblObjectEditPages", "00-01", 22);
    enemyPagesLabel_ = row(captionOf("敵個数:", "Enemies:"), "LblEnemyObjectCountPages", "0-0", 40);
    itemPagesLabel_ = row(captionOf("アイテム個数:", "Items:"), "LblItemObjectCountPages", "0-0", 58);
    enemyCountLabel_ = row(captionOf("敵総数:", "Enemy Total:"), "LblEnemyObjectCount", "128 / 128", 76);
    itemCountLabel_ = row(captionOf("アイテム総数:", "Item Total:"), "LblItemObjectCount", "32 / 32", 94);
}

// ---- entry points ----

const StageObjects& ObjectEdit::editedObjects() const { return picks_.editedObjects(context_.rom.currentStage()); }

void ObjectEdit::open()
{
    rooms_->giveBitmaps(context_.graphics);
    stageChanged();
}

void ObjectEdit::stageChanged()
{
    const StageData& stage = context_.rom.currentStage();
    rooms_->setLeft(firstLeftRoom(stage.restartPoints(stage.defaultStartPoint()).startRoom()));
    picks_.objectType = 0;
    panel_->showEditedList();
    picks_.clear();
    panel_->refresh();
    refreshObjectViews();
}

void ObjectEdit::imageClosed() { picks_.clear(); }

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

// ---- drawing ----

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
    drawRoomObjects(graphics, *bitmap, stage, room, picks_.objectType == 0);
    if (picks_.selected && picks_.selected->room == room)
        graphics.drawObjectFrame(*bitmap, *picks_.selected, 24);
    if (picks_.hovered && picks_.hovered->room == room)
        graphics.drawObjectFrame(*bitmap, *picks_.hovered, 32);
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
    for (int v = 0; v < 2; ++v)
        rooms_->nameView(v, captionOf("オブジェクト", "Objects"), shownRoom(v));
    const StageData& stage = context_.rom.currentStage();
    setLabelText(pagesLabel_, qText(shownRoomsText(rooms_->left())));
    setLabelText(enemyPagesLabel_, qText(roomCountsText(stage.enemyObjects(), rooms_->left())));
    setLabelText(itemPagesLabel_, qText(roomCountsText(stage.itemObjects(), rooms_->left())));
    setLabelText(enemyCountLabel_, qText(totalCountText(stage.enemyObjects(), EnemyCapacity)));
    setLabelText(itemCountLabel_, qText(totalCountText(stage.itemObjects(), ItemCapacity)));
}

const PlacedObject* ObjectEdit::hitTest(int view, int x, int y, bool select)
{
    const ImageView* control = rooms_->view(view);
    const PlacedObject* found =
        hitTestObject(editedObjects().lists(shownRoom(view)), objectCoordinate(x, control->unzoomedWidth()),
                      objectCoordinate(y, control->unzoomedHeight()));
    if (select) {
        picks_.selected = found;
        panel_->refresh();
        drawBothViews();
    }
    return found;
}

void ObjectEdit::scrollObjectViewsTo(int room) { rooms_->setLeft(leftRoomShowing(rooms_->left(), room)); }

void ObjectEdit::showEdited()
{
    refreshObjectViews();
    panel_->refresh();
}

void ObjectEdit::setObjectPosition(int px, int py)
{
    const PlacedObject* selected = picks_.selected;
    if (!selected ||
        !context_.rom.currentStage().moveObject(editedObjects(), selected, selected->room, std::clamp(px, 0, 255),
                                                std::clamp(py, 0, 255), panel_->sortsByX()))
        return;
    drawBothViews();
    panel_->refresh();
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
        picks_.lastHovered = picks_.hovered;
        picks_.hovered = hitTest(view, x, y, false);
        popupView_ = view;
        popupPoint_ = QPoint(x, y);
        picks_.popupObject = picks_.hovered;
        menu_->popup(objectMenuState(picks_.popupObject, clipboard_), global);
    }
}

void ObjectEdit::onRoomHovered(int view, int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys)
{
    if (!context_.rom.isLoaded())
        return;
    ImageView* control = rooms_->view(view);
    if (picks_.hovered && picks_.hovered == picks_.selected && buttons.testFlag(Qt::LeftButton)) {
        control->setToolTip(QString()); // no hint while dragging
        const auto to =
            dragPosition(objectCoordinate(x, control->unzoomedWidth()), objectCoordinate(y, control->unzoomedHeight()),
                         keys.testFlag(Qt::ControlModifier), keys.testFlag(Qt::ShiftModifier));
        if (to)
            setObjectPosition(to->x, to->y);
        return;
    }
    picks_.lastHovered = picks_.hovered;
    picks_.hovered = hitTest(view, x, y, false);
    const PlacedObject* hovered = picks_.hovered;
    control->setToolTip(
        hovered ? qText(objectHintText(editedObjects().orderIndexOf(hovered), *hovered, context_.objectNames))
                : QString());
    if (picks_.hovered != picks_.lastHovered)
        drawObjectView(view);
}

void ObjectEdit::onRoomLeft(int view)
{
    // Beyond the rules of the page: the hover frame goes with the pointer.
    if (!context_.rom.isLoaded() || !picks_.hovered || picks_.hovered->room != shownRoom(view))
        return;
    picks_.lastHovered = picks_.hovered;
    picks_.hovered = nullptr;
    drawObjectView(view);
}

// ---- the views' menu ----

void ObjectEdit::createAtPopupPoint(std::uint8_t kind)
{
    const ImageView* control = rooms_->view(popupView_);
    const int room = shownRoom(popupView_);
    const int px = std::clamp(objectCoordinate(popupPoint_.x(), control->unzoomedWidth()), 0, 255);
    const int py = std::clamp(objectCoordinate(popupPoint_.y(), control->unzoomedHeight()), 0, 255);
    const ObjectPlacement placed{static_cast<std::uint8_t>(room), static_cast<std::uint8_t>(px),
                                 static_cast<std::uint8_t>(py), kind};
    if (!context_.rom.currentStage().addObject(editedObjects(), placed, panel_->sortsByX())) {
        context_.prompts.showMessage(qText(cannotCreateObjectText()));
        return;
    }
    showEdited();
}

void ObjectEdit::createObjectAt()
{
    if (context_.rom.isLoaded() && !picks_.popupObject)
        createAtPopupPoint(0x00);
}

void ObjectEdit::pasteObjectAt()
{
    if (context_.rom.isLoaded() && !picks_.popupObject && clipboard_ >= 0)
        createAtPopupPoint(static_cast<std::uint8_t>(clipboard_ & 0xFF));
}

void ObjectEdit::copyObject()
{
    if (context_.rom.isLoaded() && picks_.popupObject)
        clipboard_ = picks_.popupObject->kind;
}

void ObjectEdit::selectObjectAt()
{
    if (!context_.rom.isLoaded() || !picks_.popupObject)
        return;
    picks_.selected = picks_.popupObject;
    panel_->refresh();
    drawBothViews();
}

void ObjectEdit::removeObject()
{
    if (!context_.rom.isLoaded() || !picks_.popupObject)
        return;
    const PlacedObject* removed = picks_.popupObject;
    picks_.forget(removed);
    picks_.hovered = nullptr;
    context_.rom.currentStage().removeObject(editedObjects(), removed);
    showEdited();
}

void ObjectEdit::openRoomTextDialog(int room)
{
    const StageObjects& objects = editedObjects();
    const RoomObjectList& list = objects.lists(room);
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
    for (int i = 0; i < list.count(); ++i)
        picks_.forget(list.items(i));
    std::vector<ObjectPlacement> placed;
    for (const ObjectLine& line : lines)
        placed.push_back({static_cast<std::uint8_t>(room), line.x, line.y, line.kind});
    context_.rom.currentStage().setRoomObjects(objects, room, placed);
    showEdited();
}

} // namespace vx
