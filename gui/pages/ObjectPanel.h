#pragma once
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace vx {

struct EditorContext;
struct ObjectPicks;
class StageObjects;
class UpDown;

// The object page's controls beside its views: the switches for the edited list, its
// order type and the sorting by X, and the selected object's group, whose arrows step its
// room, position and place in the order, whose list sets its kind and whose button
// removes it. Edits are stage operations, as the views' edits are.
class ObjectPanel {
public:
    // What the panel asks of the views after a change.
    struct Views {
        // Both views drawn again, showing the same rooms.
        std::function<void()> redraw;
        // The views moved to show a room (-1: where they are), drawn and counted again.
        std::function<void(int room)> show;
    };
    ObjectPanel(EditorContext& context, ObjectPicks& picks, Views views)
        : context_(context), picks_(picks), views_(std::move(views))
    {
    }

    void build(QWidget* page);
    // Shows the selected object; dashes and disabled controls without one.
    void refresh();
    // Shows the edited list's type and order type, as after a stage change.
    void showEditedList();
    // Edits enemies (0) or items (1), as a click on the radio group does.
    void selectObjectType(int type);
    // Whether an edit re-sorts the object's room by X (the check box).
    bool sortsByX() const;

private:
    void buildSwitches(QWidget* page);
    void buildObjectGroup(QWidget* page);

    void stepObjectX(int direction);
    void stepObjectY(int direction);
    void stepObjectRoom(int direction);
    void moveInOrder(int direction);
    void stepSelectedObject(int direction);
    void onKindChosen(int index);
    void removeSelectedObject();
    void chooseObjectType(int item);
    void chooseOrderType(int item);

    void showOrderType();
    const StageObjects& editedObjects() const;
    // Moves the selected object to a room and point as one step; whether it moved.
    bool moveSelected(int room, int x, int y);

    EditorContext& context_;
    ObjectPicks& picks_;
    Views views_;
    bool updating_ = false;

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
    QButtonGroup* typeGroup_ = nullptr;
    QButtonGroup* orderGroup_ = nullptr;
    QCheckBox* autoSort_ = nullptr;
};

} // namespace vx
