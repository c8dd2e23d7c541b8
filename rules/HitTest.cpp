#include "rules/HitTest.h"

namespace vx {

int cellAt(int position, int size, int cells)
{
    if (size <= 0 || cells <= 0 || position < 0 || position >= size)
        return -1;
    const int cell = static_cast<int>(position / (static_cast<double>(size) / cells));
    return cell < cells ? cell : cells - 1;
}

} // namespace vx
