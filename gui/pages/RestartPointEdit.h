#pragma once
#include <array>

#include "gui/pages/EditorUnit.h"
#include "rules/RestartPointRules.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace vx {

class ImageView;
class RestartPoint;
class StageData;
class UpDown;
struct WorkingSheets;

// The restart-point page: one of the stage's six points at a time, its start room with the
// landing marker, and its nine fields as hex boxes. Every edit is a stage operation: one
// history step, the restart point flag marked.
class RestartPointEdit : public EditorUnit {
public:
    RestartPointEdit(EditorContext& context, WorkingSheets& sheets) : context_(context), sheets_(sheets) {}

    void bindControls(QWidget* page) override;
    void open() override;
    void stageChanged() override;
    void refresh() override;
    void animationTick() override;

    // Shows one of the six points, as picking it in the selector does.
    void selectPoint(int point);
    int selectedPoint() const { return selected_; }

private:
    void buildDataGroup(QWidget* page);

    void onPointChosen(int index);
    void onStartRoomBarMoved(int position);
    void onStartYStepped(int direction);
    void onFieldTyped(int field);
    void recalculatePoint();
    void recalculateAllPoints();

    const RestartPoint& currentPoint() const;
    StageData& stage() const;
    void draw();
    void fillBoxes();
    void showStartRoomBar();

    EditorContext& context_;
    WorkingSheets& sheets_;
    bool updating_ = false;
    int selected_ = 0;

    ImageView* view_ = nullptr;
    QScrollBar* roomBar_ = nullptr;
    QLabel* roomLabel_ = nullptr;
    QLabel* yLabel_ = nullptr;
    QComboBox* pointCombo_ = nullptr;
    UpDown* yArrows_ = nullptr;
    std::array<QLineEdit*, RestartPointFieldCount> boxes_{};
    QPushButton* recalcButton_ = nullptr;
    QPushButton* allRecalcButton_ = nullptr;
};

} // namespace vx
