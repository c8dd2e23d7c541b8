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

class TImageView;
class TObjectEditForm;
class TUpDown;
class TVxObjectManager;
class TVxObjectNode;
struct TWorkingSheets;

// The object page: enemies and items placed in two neighbouring rooms, selected and
// dragged with the mouse, nudged and changed in the panel, created and removed from the
// views' menu, or rewritten as text a room at a time. Edits go straight into the stage's
// object lists: no history, the object flag marked.
class TObjectEdit : public TEditorUnit {
public:
    TObjectEdit(TEditorContext& context, TWorkingSheets& sheets, TObjectEditForm& textForm)
        : context_(context), sheets_(sheets), textForm_(textForm)
    {
    }

    void BindControls(QWidget* page) override;
    void Open() override;
    void StageChanged() override;
    void Refresh() override;
    void AnimationTick() override;
    // After undo or redo of an object edit: the lists were built anew; the views move to
    // the room the step changed.
    void ObjectsReplaced(int room);
    void ImageClosed() override;

    // Brings a room into one of the views, as moving an object there does.
    void ShowRoom(int room) { ScrollObjectViewsTo(room); RefreshObjectViews(); }
    // Edits enemies (0) or items (1), as the radio group does.
    void SelectObjectType(int type);
    int LeftRoom() const { return rooms_->Left(); }
    int CurrentObjectType() const { return objectType_; }
    TVxObjectManager& EditedObjects() const;
    TVxObjectNode* SelectedObject() const { return selected_; }
    TVxObjectNode* HoveredObject() const { return hovered_; }
    int ObjectClipboard() const { return clipboard_; }

private:
    void BuildViews(QWidget* page);
    void BuildDisplayGroup(QWidget* page);
    void BuildSwitches(QWidget* page);
    void BuildPanel(QWidget* page);

    // Events.
    void ImgObjectEditXMouseDown(int view, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys,
                                 const QPoint& global);
    void ImgObjectEditXMouseMove(int view, int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys);
    void ImgObjectEditXMouseLeave(int view);
    void UpDownObjectXChangingEx(int direction);
    void UpDownObjectYChangingEx(int direction);
    void UpDownObjectRoomChangingEx(int direction);
    void UpDownObjectOrderChangingEx(int direction);
    void UpDownEditedObjectSelectChangingEx(int direction);
    void ComboBoxObjectKindEditChange(int index);
    void BtnRemoveObjectClick();
    void RadioGroupObjectTypeSelectClick(int item);
    void RadioGroupObjectOrderTypeClick(int item);
    // The menu's commands.
    void MenuItemPUCreateObjectClick();
    void MenuItemPUCopyObjectClick();
    void MenuItemPUPasteObjectClick();
    void MenuItemPUSelectObjectClick();
    void MenuItemPURemoveObjectClick();
    void OpenRoomTextDialog(int room);

    // Operations of the page.
    void DrawObjectView(int view);
    void DrawBothViews();
    void RefreshObjectViews();
    void RefreshObjectPanel();
    TVxObjectNode* HitTest(int view, int x, int y, bool select);
    void SetObjectPosition(int px, int py);
    void ScrollObjectViewsTo(int room);
    void CreateAtPopupPoint(std::uint8_t kind);
    void ShowOrderType();
    // Clears every reference to an object about to be destroyed.
    void Forget(const TVxObjectNode* object);
    void SortRoomIfAuto(int room);
    void MarkEdited();
    int ShownRoom(int view) const { return rooms_->Room(view); }

    TEditorContext& context_;
    TWorkingSheets& sheets_;
    TObjectEditForm& textForm_;
    bool updating_ = false;

    int objectType_ = 0;
    TVxObjectNode* selected_ = nullptr;
    TVxObjectNode* hovered_ = nullptr;
    TVxObjectNode* lastHovered_ = nullptr;
    // The right click that opened the menu: its view, point and object.
    int popupView_ = 0;
    QPoint popupPoint_;
    TVxObjectNode* popupObject_ = nullptr;
    // A copied kind, or -1; kept for the whole run.
    int clipboard_ = -1;

    std::unique_ptr<TRoomViewPair> rooms_;
    QLabel* indexLabel_ = nullptr;
    QLabel* roomLabel_ = nullptr;
    QLabel* xLabel_ = nullptr;
    QLabel* yLabel_ = nullptr;
    TUpDown* selectArrows_ = nullptr;
    TUpDown* orderArrows_ = nullptr;
    TUpDown* roomArrows_ = nullptr;
    TUpDown* xArrows_ = nullptr;
    TUpDown* yArrows_ = nullptr;
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
    std::unique_ptr<TObjectViewMenu> menu_;
};

} // namespace vx
