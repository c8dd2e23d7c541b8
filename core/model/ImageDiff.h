#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/model/AddressData.h"
#include "core/model/RestartPoint.h"

namespace vx {

// What the comparison of two images decodes, each from the tables at one set of addresses,
// in the order a stage's differences are listed (the editor's pages), then the rest.
enum class DiffPart : std::uint8_t {
    Map,
    BackgroundPalette,
    SpritePalette,
    AnimationFrameCount,
    AnimationFrameTimer,
    AnimationColours,
    PatternTable,
    Chips,
    Enemies,
    Items,
    RestartPoints,
    Scroll,
    Header,       // the iNES header, 16 bytes
    OutsideBytes, // bytes of no stage's table
};
constexpr int StagePartCount = 12; // Map .. Scroll

enum class DiffKind : std::uint8_t {
    Value,            // one value of the part changed: before -> after
    PartPastEnd,      // the part reaches past the shorter image's end and is not compared
    ObjectChanged,    // objectBefore -> objectAfter
    ObjectAdded,      // objectAfter, at the end of the list
    ObjectRemoved,    // objectBefore, from the end of the list
    BytesPastObjects, // count bytes of the four tables past both lists' end marks
    ByteRange,        // outside bytes first..last, count of them differ
};

// Which value of a chip quarter: the 16x16 chip, its sub-palette, its terrain attribute.
enum ChipField : int {
    cfChip = 0,
    cfSubPalette = 1,
    cfAttribute = 2
};
// The restart point's nine values are RestartPointField's, in the page's order; the map
// addresses are words.
bool restartPointFieldIsWord(int field);

struct ObjectValue {
    std::uint8_t room = 0, x = 0, y = 0, kind = 0;
    bool operator==(const ObjectValue&) const = default;
};

// One difference; the place fields a part does not use stay -1.
struct Difference {
    DiffPart part = DiffPart::Map;
    DiffKind kind = DiffKind::Value;
    std::uint16_t stages = 0;   // bit s: stage s reads the table there; 0 for header and outside bytes
    int room = -1, column = -1; // map cell, column as the map page shows a room
    int row = -1;               // map cell row, or animation row 0-3
    // Chip, palette or animation entry, pattern byte, scroll entry, object, restart point,
    // header byte.
    int index = -1;
    int quarter = -1; // 0-3: top left, bottom left, top right, bottom right
    int field = -1;   // ChipField, or the restart point's value 0-8
    std::uint32_t before = 0, after = 0;
    ObjectValue objectBefore{}, objectAfter{};
    std::int64_t first = 0, last = 0, count = 0; // ByteRange; count also for BytesPastObjects
};

struct ImageDiff {
    std::int64_t beforeSize = 0, afterSize = 0;
    std::vector<Difference> differences;
    bool imagesDiffer() const { return beforeSize != afterSize || !differences.empty(); }
};

// Outside bytes at most this far apart are told as one range.
constexpr std::int64_t OutsideRangeGap = 16;

// Compares two images over the length both hold, table by table at the addresses in force:
// a part several stages read at the same addresses once, naming them all, in the order of
// its lowest stage; then the header and the bytes of no table as ranges. With onlyStage
// (0-13), only the parts that stage reads, and neither header nor outside bytes.
ImageDiff diffImages(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after,
                     const AddressData& addresses, int onlyStage = -1);

// The stages of a Difference::stages mask, ascending.
std::vector<int> stagesOf(std::uint16_t stages);

} // namespace vx
