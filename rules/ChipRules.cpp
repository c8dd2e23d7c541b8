#include "rules/ChipRules.h"

#include "core/ChipEntry.h"
#include "core/ChipUsage.h"
#include "core/HexText.h"
#include "core/Language.h"
#include "rules/HitTest.h"


namespace vx {

std::optional<TChipTableHit> ChipTableHitAt(int x, int y, int width, int height, int editPage)
{
    const int column = CellAt(x, width, 16), row = CellAt(y, height, 8);
    if (column < 0 || row < 0)
        return std::nullopt;
    const int half = CellAt(x, width, 32) % 2, halfRow = CellAt(y, height, 16) % 2;
    return TChipTableHit{(editPage & 1) * 0x80 + row * 16 + column, half * 2 + halfRow};
}

int Chip16TableEntryAt(int x, int y, int width, int height, int table)
{
    const int column = CellAt(x, width, 8), row = CellAt(y, height, 8);
    if (column < 0 || row < 0)
        return -1;
    return (table & 3) * 0x40 + row * 8 + column;
}

int EditedChipQuarterAt(int x, int y, int width, int height)
{
    const int column = CellAt(x, width, 2), row = CellAt(y, height, 2);
    return column < 0 || row < 0 ? -1 : column * 2 + row;
}

std::uint8_t StepSubPalette(std::uint8_t entry, bool up)
{
    TChipEntry stepped = TChipEntry::Decode(entry);
    stepped.palette = (stepped.palette + (up ? 1 : 3)) % 4;
    return stepped.Encode();
}

std::uint8_t StepAttribute(std::uint8_t attribute, bool up)
{
    return static_cast<std::uint8_t>((attribute + (up ? 1 : 3)) & 3);
}

std::string EntryLabelText(std::uint8_t entry)
{
    return FormatHex(static_cast<std::uint32_t>(EntryChip(entry)), 2) + "(" +
           FormatHex(static_cast<std::uint32_t>(EntrySubPalette(entry)), 2) + ")";
}

std::string AttributeName(const std::vector<std::string>& names, int stage, int attribute)
{
    const std::size_t at = static_cast<std::size_t>(4 * stage + (attribute & 3));
    return stage >= 0 && at < names.size() ? names[at] : std::string("????????");
}

std::string ChipTableStatusText(int chip)
{
    return Tr("32x32チップ No:", "32x32 Tile No:") + FormatHex(static_cast<std::uint32_t>(chip & 0xFF), 2);
}

std::string Chip16StatusText(int entry)
{
    const TChipEntry quarter = TChipEntry::Decode(static_cast<std::uint8_t>(entry));
    const auto chip = static_cast<std::uint32_t>(quarter.chip), palette = static_cast<std::uint32_t>(quarter.palette);
    return IsJapanese() ? "16x16チップ No:" + FormatHex(chip, 2) + " パレット:" + FormatHex(palette, 2)
                        : "16x16 tile No:" + FormatHex(chip, 2) + " Palette:" + FormatHex(palette, 2);
}

std::string ChipPageText(int editPage) { return editPage == 1 ? "80-FF" : "00-7F"; }

std::string UnusedChipListText(std::span<const std::uint8_t> map)
{
    std::string text;
    int row = -1;
    for (int chip : UnusedChips(map)) {
        if (row >= 0 && chip / 16 != row)
            text += "\r\n";
        row = chip / 16;
        text += FormatHex(static_cast<std::uint32_t>(chip), 2) + " ";
    }
    return row < 0 ? text : text + "\r\n";
}

std::string DuplicatedChipListText(std::span<const std::uint8_t> entries, std::span<const std::uint8_t> attributes)
{
    std::string text;
    for (const std::vector<int>& group : EqualChipGroups(entries, attributes)) {
        for (std::size_t n = 0; n < group.size(); ++n)
            text += FormatHex(static_cast<std::uint32_t>(group[n]), 2) + (n + 1 < group.size() ? " " : "\r\n");
    }
    return text;
}

std::string UnusedChipListHeading()
{
    return Tr("マップに使用されていない32x32チップ番号", "Unused 32x32 Tile List");
}

std::string DuplicatedChipListHeading()
{
    return Tr("重複定義されている32x32チップ番号", "Duplicated 32x32 Tile List");
}

} // namespace vx
