#pragma once

class QTabWidget;

namespace vx {

// The pages of the page control, in order.
enum Page {
    pgMapEdit,
    pg32x32ChipEdit,
    pgPaletteEdit,
    pgObjectEdit,
    pgMidPointEdit,
    pgScrollEdit,
    pgTileEdit,
    pgSpriteBankEdit,
    PageCount
};

// One empty page for each of the above, named as the controls' tests know them, with its
// caption; the sprite bank page stands in the control without a tab.
void addPageTabs(QTabWidget& pages);

} // namespace vx
