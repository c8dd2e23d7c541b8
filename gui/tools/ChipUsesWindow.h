#pragma once
#include <QDialog>
#include <vector>

#include "core/model/ChipSearch.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QTimer;

namespace vx {

struct EditorContext;
class PageNavigator;
class Prompts;
class RomImage;

// Where a chip is used, beside the editor: every map cell holding it in the current stage
// or in all stages (a shared map once, with its stages), with the count. A double click
// (or Enter) shows the room on the map page with the cell framed; while the window is
// shown the map page frames every cell of the chip. Below, the chip can be replaced by
// another in the same stages, after a question that says how much changes.
class ChipUsesWindow : public QDialog {
    Q_OBJECT
public:
    ChipUsesWindow(PageNavigator& pages, const EditorContext& context);

    // Shows the window on a chip; with `replace` the focus goes to the replacement's box.
    void showChip(int chip, bool replace);
    // Lists the uses again, as they are now.
    void search();
    int chip() const;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void activated(QListWidgetItem* item);
    void replace();

    PageNavigator& pages_;
    RomImage& rom_;
    Prompts& prompts_;
    std::vector<ChipUse> uses_;
    QLineEdit* chipBox_ = nullptr;
    QRadioButton* allStages_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* count_ = nullptr;
    QLineEdit* replacementBox_ = nullptr;
    QPushButton* replaceButton_ = nullptr;
    QTimer* editTimer_ = nullptr;
};

} // namespace vx
