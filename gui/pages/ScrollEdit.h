#pragma once
#include <memory>

#include "gui/pages/EditorUnit.h"
#include "gui/widgets/RoomViewPair.h"
#include "rules/ScrollRules.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QScrollBar;

namespace vx {

class TImageView;
struct TWorkingSheets;

// The scroll page: the 32 scroll entries in words, the selected one's fields, and two rooms
// with the path's arrows drawn over them.
class TScrollEdit : public TEditorUnit {
public:
    TScrollEdit(TEditorContext& context, TWorkingSheets& sheets) : context_(context), sheets_(sheets) {}

    void BindControls(QWidget* page) override;
    void Open() override;
    void StageChanged() override;
    void Refresh() override;
    void AnimationTick() override;

    // Selects an entry's line and brings the views to its rooms, as a click on it does.
    void SelectLine(int line);
    int ViewRoom(int view) const { return rooms_->Room(view); }
    const TScrollPath& Path() const { return path_; }

private:
    void BuildDataGroup(QWidget* page);

    void LBScrollDataClick(int line);
    void CBScrollHorizonChange();
    void CheckDirectionClick();
    void EditScrollDataChange();

    // The path walk and the 32 lines; no line is selected afterwards.
    void RebuildList();
    // Shows the selected line's entry in the fields (line 0 when none is selected).
    void ShowSelectedEntry();
    // After an edit: list, the same line, both views, the fields.
    void AfterEdit();
    void Edit(std::uint8_t entry);
    void DrawView(int view);
    void DrawViews();
    int SelectedLine() const;

    TEditorContext& context_;
    TWorkingSheets& sheets_;
    bool updating_ = false;
    TScrollPath path_;

    std::unique_ptr<TRoomViewPair> rooms_;
    QLabel* pagesLabel_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* indexLabel_ = nullptr;
    QLabel* leftLabel_ = nullptr;
    QLabel* rightLabel_ = nullptr;
    QComboBox* countCombo_ = nullptr;
    QCheckBox* right_ = nullptr;
    QCheckBox* down_ = nullptr;
    QCheckBox* up_ = nullptr;
    QLineEdit* directBox_ = nullptr;
};

} // namespace vx
