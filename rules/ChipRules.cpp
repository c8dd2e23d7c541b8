#include "rules/ChipRules.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/ChipEntry.h"
#include "core/model/ChipUsage.h"
#include "rules/HitTest.h"

namespace vx {

std::optional<ChipTableHit> chipTableHitAt(int x, int y, int width, int height, int editPage)
{
    const int column = cellAt(x, width, 16), row = cellAt(y, height, 8);
    if (column < 0 || row < 0)
        return std::nullopt;
    const int half = cellAt(x, width, 32) % 2, halfRow = cellAt(y, height, 16) % 2;
    return ChipTableHit{(editPage & 1) * 0x80 + row * 16 + column, half * 2 + halfRow};
}

int chip16TableEntryAt(int x, int y, int width, int height, int table)
{
    const int column = cellAt(x, width, 8), row = cellAt(y, height, 8);
    if (column < 0 || row < 0)
        return -1;
    return (table & 3) * 0x40 + row * 8 + column;
}

int editedChipQuarterAt(int x, int y, int width, int height)
{
    const int column = cellAt(x, width, 2), row = cellAt(y, height, 2);
    return column < 0 || row < 0 ? -1 : column * 2 + row;
}

std::uint8_t stepSubPalette(std::uint8_t entry, bool up)
{
    ChipEntry stepped = ChipEntry::decode(entry);
    stepped.palette = (stepped.palette + (up ? 1 : 3)) % 4;
    return stepped.encode();
}

std::uint8_t stepAttribute(std::uint8_t attribute, bool up)
{
    return static_cast<std::uint8_t>((attribute + (up ? 1 : 3)) & 3);
}

std::string entryLabelText(std::uint8_t entry)
{
    return formatHex(static_cast<std::uint32_t>(entryChip(entry)), 2) + "(" +
        formatHex(static_cast<std::uint32_t>(entrySubPalette(entry)), 2) + ")";
}

std::string attributeName(const std::vector<std::string>& names, int stage, int attribute)
{
    const std::size_t at = static_cast<std::size_t>(4 * stage + (attribute & 3));
    return stage >= 0 && at < names.size() ? names[at] : std::string("????????");
}

std::string chipTableStatusText(int chip)
{
    return localized("32x32チップ No:", "32x32 Tile No:") + formatHex(static_cast<std::uint32_t>(chip & 0xFF), 2);
}

std::string chip16StatusText(int entry)
{
    const ChipEntry quarter = ChipEntry::decode(static_cast<std::uint8_t>(entry));
    const auto chip = static_cast<std::uint32_t>(quarter.chip), palette = static_cast<std::uint32_t>(quarter.palette);
    return isJapanese() ? "16x16チップ No:" + formatHex(chip, 2) + " パレット:" + formatHex(palette, 2)
                        : "16x16 tile No:" + formatHex(chip, 2) + " Palette:" + formatHex(palette, 2);
}

std::string chipPageText(int editPage) { return editPage == 1 ? "80-FF" : "00-7F"; }

std::string unusedChipListText(std::span<const std::uint8_t> map)
{
    std::string text;
    int row = -1;
    for (int chip : unusedChips(map)) {
        if (row >= 0 && chip / 16 != row)
            text += "\r\n";
        row = chip / 16;
        text += formatHex(static_cast<std::uint32_t>(chip), 2) + " ";
    }
    return row < 0 ? text : text + "\r\n";
}

std::string duplicatedChipListText(std::span<const std::uint8_t> entries, std::span<const std::uint8_t> attributes)
{
    std::string text;
    for (const std::vector<int>& group : equalChipGroups(entries, attributes)) {
        for (std::size_t n = 0; n < group.size(); ++n)
            text += formatHex(static_cast<std::uint32_t>(group[n]), 2) + (n + 1 < group.size() ? " " : "\r\n");
    }
    return text;
}

std::string unusedChipListHeading()
{
    return localized("マップに使用されていない32x32チップ番号", "Unused 32x32 Tile List");
}

std::string duplicatedChipListHeading()
{
    return localized("重複定義されている32x32チップ番号", "Duplicated 32x32 Tile List");
}

} // namespace vx
