#pragma once
#include <functional>

namespace vx {

// The cell of a view under the pointer, whose frame the page draws. Moves within the
// remembered cell change nothing, so the view and the status bar are redrawn only when
// the pointer reaches another cell or no cell. A cell is any number the page picks for
// what the frame shows; -1 is none.
class HoverCell {
public:
    HoverCell() = default;
    // `active` says whether the view reacts at all; `changed` draws the frame of the cell
    // now hovered (-1: none) and reports it.
    HoverCell(std::function<bool()> active, std::function<void(int cell)> changed);

    int cell() const { return cell_; }
    // The pointer is over `cell`, or over no cell (-1).
    void moveTo(int cell);
    // The pointer left the view: the page is told even when no cell was hovered.
    void leave();
    // Marks a cell as the pointer does, and tells the page even when it is the same one.
    void show(int cell);
    // Drops the cell silently, for a page that redraws anyway.
    void forget() { cell_ = -1; }

private:
    std::function<bool()> active_;
    std::function<void(int)> changed_;
    int cell_ = -1;
};

} // namespace vx
