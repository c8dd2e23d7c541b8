#pragma once
#include <QDialog>
#include <vector>

#include "core/model/StageCheck.h"

class QCheckBox;
class QLabel;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace vx {

struct EditorContext;
class PageNavigator;
class RomImage;

// The stage check beside the editor: the findings of the current stage, or of all 14, each
// with its severity, place and text, sortable by any column, notes hidden on request; a
// double click (or Enter) leads to what it names. The list follows the image while the
// window is shown: it is checked again when the window is shown or activated, on a stage
// change (which selects the first row), undo and redo, and shortly after each edit. It goes
// away with the image, as its menu item does.
class StageCheckWindow : public QDialog {
    Q_OBJECT
public:
    StageCheckWindow(PageNavigator& pages, const EditorContext& context);

    // Shown, or checked again when it was, and brought to the front.
    void showInFront();

    // Checks again; the list is rebuilt only when the findings changed, so the selected
    // finding and the scroll position stay while the user works through them.
    void recheck() { refresh(Selection::Keep); }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum class Selection {
        Keep,    // the finding the user stood on, where it is still found
        FirstRow // a new list: its top row
    };
    void refresh(Selection selection);
    // Lists these findings, in place of the ones listed.
    void relist(std::vector<Finding> found, Selection selection);
    void selectFirstRow();
    void showCaptions();
    void showStage();
    void fillFindings();
    // The finding a row shows, or null for none.
    const Finding* findingAt(QTreeWidgetItem* item) const;
    void activated(QTreeWidgetItem* item);

    PageNavigator& pages_;
    RomImage& rom_;
    std::vector<Finding> findings_;
    QLabel* stage_ = nullptr;
    QCheckBox* all_ = nullptr;
    QCheckBox* hideNotes_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    // Gathers a run of edits (a drag, typing) into one check.
    QTimer* editTimer_ = nullptr;
};

} // namespace vx
