#include "core/model/ChipUsage.h"

#include <algorithm>
#include <array>

namespace vx {
namespace {

constexpr int Chips = 256;

} // namespace

std::vector<int> unusedChips(std::span<const std::uint8_t> map)
{
    std::array<bool, Chips> used{};
    for (std::uint8_t chip : map)
        used[chip] = true;
    std::vector<int> unused;
    for (int chip = 0; chip < Chips; ++chip)
        if (!used[static_cast<std::size_t>(chip)])
            unused.push_back(chip);
    return unused;
}

std::vector<std::vector<int>> equalChipGroups(std::span<const std::uint8_t> entries,
                                              std::span<const std::uint8_t> attributes)
{
    const auto byteOf = [](std::span<const std::uint8_t> table, std::size_t at) -> std::uint64_t {
        return at < table.size() ? table[at] : 0;
    };
    // A chip's eight bytes as one key, so equal chips sort next to each other.
    std::array<std::uint64_t, Chips> keys{};
    for (std::size_t c = 0; c < Chips; ++c)
        for (std::size_t k = 0; k < 4; ++k)
            keys[c] |= (byteOf(entries, 4 * c + k) << (8 * k)) | (byteOf(attributes, 4 * c + k) << (8 * k + 32));
    std::array<int, Chips> order{};
    for (int c = 0; c < Chips; ++c)
        order[static_cast<std::size_t>(c)] = c;
    const auto keyOf = [&](int chip) { return keys[static_cast<std::size_t>(chip)]; };
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return keyOf(a) != keyOf(b) ? keyOf(a) < keyOf(b) : a < b; });
    std::vector<std::vector<int>> groups;
    for (auto first = order.begin(); first != order.end();) {
        const auto end = std::find_if(first, order.end(), [&](int c) { return keyOf(c) != keyOf(*first); });
        if (end - first > 1)
            groups.emplace_back(first, end);
        first = end;
    }
    std::sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a.back() < b.back(); });
    return groups;
}

} // namespace vx
