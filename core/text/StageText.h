#pragma once
#include "core/base/Result.h"
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/RestartPoint.h"
#include "core/model/StageData.h"
#include "core/model/StageObjects.h"

namespace vx {

class RomImage;

// A stage as text: one JSON file per stage, described in docs/stage-text.md.
inline constexpr std::string_view StageTextFormat = "vexalon2-stage";
// Version 2 numbers each room and writes each object on one line; version 3 may name, for a
// table several stages share, the file that holds it. Versions 1 and 2 are still read, and a
// text that names no other file is still written as version 2.
inline constexpr int StageTextVersion = 3;
inline constexpr int OldestStageTextVersion = 1;
inline constexpr int WholeTablesVersion = 2;

using StageTextObject = ObjectPlacement;

// Every table of one stage, in the model's own form (map bytes column x 8 + row, chip
// entries with the sub-palette in bits 6-7), so comparing with the model is direct.
struct StageText {
    std::string fileName; // where it was read from, for refusals; not part of the stage
    int stage = 0;
    // Per SharedGroup, the stages that share that table, this one included, ascending.
    std::array<std::vector<int>, SharedGroups.size()> shared;
    // Per SharedGroup, whether the table is left to the file of the lowest stage sharing it:
    // this text then holds it empty, sets nothing of it and names that file.
    std::array<bool, SharedGroups.size()> heldElsewhere{};
    // Whether the 32 palette entries are left to the stage's palette file (paletteFileName),
    // as a project keeps a palette that differs from its base's; the text then holds them as 0.
    bool palettesElsewhere = false;
    std::array<std::uint8_t, 16> bgPalette{};
    std::array<std::uint8_t, 16> spritePalette{};
    std::uint8_t frameCount = 0;
    std::uint8_t frameTimer = 0;
    std::array<std::uint8_t, 64> animationColours{};
    std::array<std::uint8_t, 256> patternTableSetting{};
    std::array<std::uint8_t, ScrollSize> scroll{};
    std::array<RestartPointBytes, RestartPointCount> restartPoints{};
    std::vector<StageTextObject> enemies;
    std::vector<StageTextObject> items;
    std::array<std::uint8_t, MapSize> map{};
    std::array<std::uint8_t, ChipEntryCount> chipEntries{};
    std::array<std::uint8_t, ChipEntryCount> chipAttributes{};

    // Equal tables; the file name does not count.
    bool sameStage(const StageText& other) const;
};

// The stage as the model holds it now, unsaved edits included.
StageText stageTextOf(const RomImage& rom, int stage);
// "stage-03.json": the name a folder of stage texts gives each stage's file.
std::string stageTextFileName(int stage);
// "palettes/stage-03.gpl": where a project keeps a stage's palette that a text leaves to it.
std::string paletteFileName(int stage);
// Leaves each table this stage shares with a lower stage to that stage's file, so a folder of
// texts holds every table once and an edit of it shows in one file.
void holdSharedTablesOnce(StageText& text);
// Empties each table the text leaves to another file, the palettes too.
void emptyTablesHeldElsewhere(StageText& text);
// The JSON text of a stage: keys in a fixed order, two-space indent.
std::string stageTextToJson(const StageText& text);
std::string stageToText(const RomImage& rom, int stage);

// Reads and checks one stage text; nothing is taken from a text with any fault.
// A refusal names the file and where in it as a JSON pointer ("/rooms/12/rows/3"; empty for the
// whole text).
Result<StageText> readStageText(std::string_view text, const std::string& fileName);

// Applies the stages to the open image through the model's edits, so only the tables
// that differ are marked edited and a save writes back exactly those. Refuses, applying
// nothing, when two texts name one stage or disagree on a table their stages share, when
// a text's sharing differs from the image's, when it changes the pattern-table setting
// (which a save never writes) or holds more objects than a list does. What a file changes
// in one stage is one history step of that stage, of this kind. A shared table is taken
// from the file that changes it; two files that change it differently are refused.
Result<void> applyStageTexts(RomImage& rom, const std::vector<StageText>& texts, UndoKind kind = ukStageText);

} // namespace vx
