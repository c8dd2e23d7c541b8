#pragma once
#include <QPoint>
#include <array>
#include <cstdint>
#include <memory>

#include "gui/pages/EditorUnit.h"
#include "gui/pages/ObjectPanel.h"
#include "gui/pages/ObjectPicks.h"
#include "gui/pages/ObjectViewMenu.h"
#include "gui/widgets/RoomViewPair.h"

class QKeyEvent;
class QLabel;

namespace vx {

class ImageView;
class ObjectDialog;
class StageObjects;
class PlacedObject;
struct WorkingSheets;

// The object page: enemies and items placed in two neighbouring rooms, selected and
// dragged with the mouse, nudged and changed in the panel (ObjectPanel), created and
// removed from the views' menu, or rewritten as text a room at a time. Every edit is a
// stage operation: one history step (a whole drag is one), the object flag marked.
class ObjectEdit : public EditorUnit {
public:
    ObjectEdit(EditorContext& context, WorkingSheets& sheets, ObjectDialog& textForm)
        : context_(context), sheets_(sheets), textForm_(textForm)
    {
    }

    void bindControls(QWidget* page) override;
    void open() override;
    void stageChanged() override;
    void refresh() override;
    void animationTick() override;
    // After undo or redo of an object edit: the lists were built anew; the views move to
    // the room the step changed.
    void objectsReplaced(int room);
    void imageClosed() override;

    int shownRoom(int view) const { return rooms_->room(view); }
    // Brings a room into one of the views, as moving an object there does.
    void showRoom(int room)
    {
        scrollObjectViewsTo(room);
        refreshObjectViews();
    }
    // Puts a room in the left view (the last room, which no left view shows, in the right).
    void showRoomAtLeft(int room)
    {
        rooms_->setLeft(room);
        refreshObjectViews();
    }
    // Edits enemies (0) or items (1), as the radio group does.
    void selectObjectType(int type) { panel_->selectObjectType(type); }
    int leftRoom() const { return rooms_->left(); }
    int currentObjectType() const { return picks_.objectType; }
    const StageObjects& editedObjects() const;
    const PlacedObject* selectedObject() const { return picks_.selected; }
    const PlacedObject* hoveredObject() const { return picks_.hovered; }
    int objectClipboard() const { return clipboard_; }

private:
    void buildViews(QWidget* page);
    void buildDisplayGroup(QWidget* page);

    // Events.
    void onRoomPressed(int view, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys,
                       const QPoint& global);
    void onRoomHovered(int view, int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys);
    void onRoomLeft(int view);
    // Tab and Shift+Tab step through the shown rooms' objects, arrows move the selected one,
    // Delete removes it, Enter opens its room's text.
    bool onViewKey(int view, QKeyEvent* event);
    // The object after (1) or before (-1) one in the shown rooms' lists; null past the ends.
    const PlacedObject* neighbourObject(const PlacedObject* from, int direction) const;
    // The menu's commands.
    void createObjectAt();
    void copyObject();
    void pasteObjectAt();
    void selectObjectAt();
    void removeObject();
    void openRoomTextDialog(int room);

    // Operations of the page.
    void drawObjectView(int view);
    void drawBothViews();
    void refreshObjectViews();
    const PlacedObject* hitTest(int view, int x, int y, bool select);
    void setObjectPosition(int px, int py);
    void scrollObjectViewsTo(int room);
    void createAtPopupPoint(std::uint8_t kind);
    // After an edit: the counts, both views and the panel again.
    void showEdited();

    EditorContext& context_;
    WorkingSheets& sheets_;
    ObjectDialog& textForm_;

    ObjectPicks picks_;
    // The right click that opened the menu: its view and point (its object is a pick).
    int popupView_ = 0;
    QPoint popupPoint_;
    // A copied kind, or -1; kept for the whole run.
    int clipboard_ = -1;

    std::unique_ptr<RoomViewPair> rooms_;
    std::unique_ptr<ObjectPanel> panel_;
    QLabel* pagesLabel_ = nullptr;
    QLabel* enemyPagesLabel_ = nullptr;
    QLabel* itemPagesLabel_ = nullptr;
    QLabel* enemyCountLabel_ = nullptr;
    QLabel* itemCountLabel_ = nullptr;
    std::unique_ptr<ObjectViewMenu> menu_;
};

} // namespace vx
