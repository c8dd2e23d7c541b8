#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/model/ChipEntry.h"

namespace vx {

// A chip entry byte's sub-palette and 16x16 chip.
constexpr int entrySubPalette(std::uint8_t entry) { return ChipEntry::decode(entry).palette; }
constexpr int entryChip(std::uint8_t entry) { return ChipEntry::decode(entry).chip; }

// The chip table (16 x 8 chips of the page, each of four quarters) under (x, y).
struct ChipTableHit {
    int chip;    // 00..FF, on the page shown
    int quarter; // 0 top-left, 1 bottom-left, 2 top-right, 3 bottom-right
};
std::optional<ChipTableHit> chipTableHitAt(int x, int y, int width, int height, int editPage);
// The entry (sub-palette `table` over 16x16 chip) under (x, y) of a 16x16 chip table; -1 outside.
int chip16TableEntryAt(int x, int y, int width, int height, int table);
// The quarter of the edited 32x32 chip view under (x, y); -1 outside.
int editedChipQuarterAt(int x, int y, int width, int height);

// Clicks on a quarter's labels: left steps up, right steps down, with wrap-around.
std::uint8_t stepSubPalette(std::uint8_t entry, bool up);
std::uint8_t stepAttribute(std::uint8_t attribute, bool up);

// "1A(02)": chip number, then sub-palette in parentheses.
std::string entryLabelText(std::uint8_t entry);
// The name of a stage's attribute 0..3; "????????" where the list has none.
std::string attributeName(const std::vector<std::string>& names, int stage, int attribute);

// Status bar texts for the hovered chip and 16x16 entry, in the user's language.
std::string chipTableStatusText(int chip);
std::string chip16StatusText(int entry);
// The page label: "00-7F" or "80-FF".
std::string chipPageText(int editPage);

// Chips that no room of the map uses: per row of 16 numbers that has any, one line of
// them ("03 0A \r\n"). Empty when every chip is used.
std::string unusedChipListText(std::span<const std::uint8_t> map);
// Groups of chips with equal entries and attributes: one line per group, under its
// highest number, in ascending order ("10 20 30\r\n").
std::string duplicatedChipListText(std::span<const std::uint8_t> entries, std::span<const std::uint8_t> attributes);

// Headings of the information window for the two lists, in the user's language.
std::string unusedChipListHeading();
std::string duplicatedChipListHeading();

} // namespace vx
