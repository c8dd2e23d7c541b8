#pragma once
#include <QDialog>
#include <QImage>
#include <memory>
#include <utility>

#include "render/IndexedBitmap.h"

class QTimer;

namespace vx {

struct EditorContext;
class GraphicManager;
class PageNavigator;
class RomImage;
struct WorkingSheets;

// The current stage's 44 rooms at once, as the stage picture draws them (numbers, restart
// points, path marks, rooms no walk reaches shaded), reduced by a whole number to fit the
// window. It follows every edit within a frame; a frame marks the rooms the page shows, and
// a click on a room shows it in the page's left view (the map page for pages without rooms).
class StageOverviewWindow : public QDialog {
    Q_OBJECT
public:
    // It draws from the pages' sheets of 32x32 chips.
    StageOverviewWindow(PageNavigator& pages, const EditorContext& context, const WorkingSheets& sheets);

    void showInFront();

    // Draws the picture anew from the stage now (at most once a frame when asked often).
    void redrawSoon();
    void redraw();
    // The reduction: 1 shows the picture at full size, 2 at half, and so on.
    int reduction() const { return reduction_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showRoomOnPage(int room);

    PageNavigator& pages_;
    RomImage& rom_;
    GraphicManager& graphics_;
    const WorkingSheets& sheets_;
    std::unique_ptr<IndexedBitmap> picture_;
    QImage shown_;
    int reduction_ = 4;
    std::pair<int, int> marked_{-1, -1};
    QTimer* redrawTimer_ = nullptr;
    QTimer* followTimer_ = nullptr;
};

} // namespace vx
