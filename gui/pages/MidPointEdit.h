#pragma once
#include <array>

#include "gui/pages/EditorUnit.h"
#include "rules/MidPointRules.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace vx {

class TImageView;
class TMidPoint;
class TUpDown;
struct TWorkingSheets;

// The restart-point page: one of the stage's six points at a time, its start room with the
// landing marker, and its nine fields as hex boxes. Edits go straight into the records: no
// history, the mid-point flag marked.
class TMidPointEdit : public TEditorUnit {
public:
    TMidPointEdit(TEditorContext& context, TWorkingSheets& sheets) : context_(context), sheets_(sheets) {}

    void BindControls(QWidget* page) override;
    void Open() override;
    void StageChanged() override;
    void Refresh() override;
    void AnimationTick() override;

    // Shows one of the six points, as picking it in the selector does.
    void SelectPoint(int point);

private:
    void BuildDataGroup(QWidget* page);

    void ComboBoxMidPointSelectChange(int index);
    void ScrollBarMidPointStartRoomScroll(int position);
    void UpDownMidPointStartYChangingEx(int direction);
    void EditMidPointDataChange(int field);
    void BtnMidPointRecalcClick();
    void BtnMidPointAllRecalcClick();

    TMidPoint& Point() const;
    void Draw();
    void FillBoxes();
    void ShowStartRoomBar();
    void MarkEdited();

    TEditorContext& context_;
    TWorkingSheets& sheets_;
    bool updating_ = false;
    int selected_ = 0;

    TImageView* view_ = nullptr;
    QScrollBar* roomBar_ = nullptr;
    QLabel* roomLabel_ = nullptr;
    QLabel* yLabel_ = nullptr;
    QComboBox* pointCombo_ = nullptr;
    TUpDown* yArrows_ = nullptr;
    std::array<QLineEdit*, MidPointFieldCount> boxes_{};
    QPushButton* recalcButton_ = nullptr;
    QPushButton* allRecalcButton_ = nullptr;
};

} // namespace vx
