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

class ImageView;
struct WorkingSheets;

// The scroll page: the 32 scroll entries in words, the selected one's fields, and two rooms
// with the path's arrows drawn over them.
class ScrollEdit : public EditorUnit {
public:
    ScrollEdit(EditorContext& context, WorkingSheets& sheets) : context_(context), sheets_(sheets) {}

    void bindControls(QWidget* page) override;
    void open() override;
    void stageChanged() override;
    void refresh() override;
    void animationTick() override;

    // Selects an entry's line and brings the views to its rooms, as a click on it does.
    void selectLine(int line);
    int viewRoom(int view) const { return rooms_->room(view); }
    // Puts a room in the left view, the next one beside it.
    void showRoom(int room);
    const ScrollPath& path() const { return path_; }

private:
    void buildDataGroup(QWidget* page);

    void onEntrySelected(int line);
    void onEntryChosen();
    void onDirectionToggled();
    void onEntryTyped();

    // The path walk and the 32 lines; no line is selected afterwards.
    void rebuildList();
    // Shows the selected line's entry in the fields (line 0 when none is selected).
    void showSelectedEntry();
    // After an edit: list, the same line, both views, the fields.
    void afterEdit();
    void edit(std::uint8_t entry);
    void drawView(int view);
    void drawViews();
    int selectedLine() const;

    EditorContext& context_;
    WorkingSheets& sheets_;
    bool updating_ = false;
    ScrollPath path_;

    std::unique_ptr<RoomViewPair> rooms_;
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
