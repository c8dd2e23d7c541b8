#include "gui/widgets/HoverCell.h"

namespace vx {

HoverCell::HoverCell(std::function<bool()> active, std::function<void(int cell)> changed)
    : active_(std::move(active)), changed_(std::move(changed))
{
}

void HoverCell::moveTo(int cell)
{
    if ((active_ && !active_()) || cell == cell_)
        return;
    show(cell);
}

void HoverCell::leave()
{
    if (active_ && !active_())
        return;
    show(-1);
}

void HoverCell::show(int cell)
{
    cell_ = cell;
    if (changed_)
        changed_(cell);
}

} // namespace vx
