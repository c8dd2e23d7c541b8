#pragma once
#include <QPoint>
#include <array>
#include <memory>
#include <cstdint>

#include "gui/pages/EditorUnit.h"
#include "gui/pages/ObjectViewMenu.h"
#include "gui/widgets/RoomViewPair.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;

namespace vx {

class ImageView;
class ObjectDialog;
class UpDown;
class StageObjects;
class PlacedObject;
struct WorkingSheets;

// The object page: enemies and items placed in two neighbouring rooms, selected and
// dragged with the mouse, nudged and changed in the panel, created and removed from the
// views' menu, or rewritten as text a room at a time. Edits go straight into the stage's
// object lists: no history, the object flag marked.
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

    // Brings a room into one of the views, as moving an object there does.
    void showRoom(int room) { scrollObjectViewsTo(room); refreshObjectViews(); }
    // Edits enemies (0) or items (1), as the radio group does.
    void selectObjectType(int type);
    int leftRoom() const { return rooms_->left(); }
    int currentObjectType() const { return objectType_; }
    StageObjects& editedObjects() const;
    PlacedObject* selectedObject() const { return selected_; }
    PlacedObject* hoveredObject() const { return hovered_; }
    int objectClipboard() const { return clipboard_; }

private:
    void buildViews(QWidget* page);
    void buildDisplayGroup(QWidget* page);
    void buildSwitches(QWidget* page);
    void buildPanel(QWidget* page);

    // Events.
    void onRoomPressed(int view, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys,
                                 const QPoint& global);
    void onRoomHovered(int view, int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys);
    void onRoomLeft(int view);
    void stepObjectX(int direction);
    void stepObjectY(int direction);
    void stepObjectRoom(int direction);
    void moveInOrder(int direction);
    void stepSelectedObject(int direction);
    void onKindChosen(int index);
    void removeSelectedObject();
    void chooseObjectType(int item);
    void chooseOrderType(int item);
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
    void refreshObjectPanel();
    PlacedObject* hitTest(int view, int x, int y, bool select);
    void setObjectPosition(int px, int py);
    void scrollObjectViewsTo(int room);
    void createAtPopupPoint(std::uint8_t kind);
    void showOrderType();
    // Clears every reference to an object about to be destroyed.
    void forget(const PlacedObject* object);
    void sortRoomIfAuto(int room);
    void markEdited();
    int shownRoom(int view) const { return rooms_->room(view); }

    EditorContext& context_;
    WorkingSheets& sheets_;
    ObjectDialog& textForm_;
    bool updating_ = false;

    int objectType_ = 0;
    PlacedObject* selected_ = nullptr;
    PlacedObject* hovered_ = nullptr;
    PlacedObject* lastHovered_ = nullptr;
    // The right click that opened the menu: its view, point and object.
    int popupView_ = 0;
    QPoint popupPoint_;
    PlacedObject* popupObject_ = nullptr;
    // A copied kind, or -1; kept for the whole run.
    int clipboard_ = -1;

    std::unique_ptr<RoomViewPair> rooms_;
    QLabel* indexLabel_ = nullptr;
    QLabel* roomLabel_ = nullptr;
    QLabel* xLabel_ = nullptr;
    QLabel* yLabel_ = nullptr;
    UpDown* selectArrows_ = nullptr;
    UpDown* orderArrows_ = nullptr;
    UpDown* roomArrows_ = nullptr;
    UpDown* xArrows_ = nullptr;
    UpDown* yArrows_ = nullptr;
    QComboBox* kindCombo_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QLabel* pagesLabel_ = nullptr;
    QLabel* enemyPagesLabel_ = nullptr;
    QLabel* itemPagesLabel_ = nullptr;
    QLabel* enemyCountLabel_ = nullptr;
    QLabel* itemCountLabel_ = nullptr;
    QButtonGroup* typeGroup_ = nullptr;
    QButtonGroup* orderGroup_ = nullptr;
    QCheckBox* autoSort_ = nullptr;
    std::unique_ptr<ObjectViewMenu> menu_;
};

} // namespace vx
