#pragma once
// Three-way merge of one stage's text, value by value, for version control's merge step.
#include "core/base/Result.h"
#include "core/text/StageText.h"

#include <string>
#include <vector>

namespace vx {

// The key a merged text lists its unresolved conflicts under; the reader refuses such a text.
inline constexpr std::string_view StageTextConflictsKey = "conflicts";

struct StageTextMerge {
    StageText merged; // ours' value wherever the sides conflict
    // One line each: "stage 06 room 05 column 3 row 2: base 00, ours 07, theirs 01".
    std::vector<std::string> conflicts;
};

// A value changed on one side only takes that side's; changed on both to one value is no
// conflict. Map cells, chip entries and attributes, palette and animation bytes, pattern-table
// setting bytes, scroll entries and restart-point fields merge one by one. Objects merge room
// by room: a room whose list both sides changed differently is one conflict. Refuses texts of
// different stages.
Result<StageTextMerge> mergeStageTexts(const StageText& base, const StageText& ours, const StageText& theirs);

// Each value in which two texts of one stage differ, named as a conflict is, with both values:
// "stage 06 room 05 column 3 row 2: 00 in unpack's, 07 in the folder's" for the names given.
std::vector<std::string> stageTextDifferences(const StageText& from, const StageText& to, const std::string& fromName,
                                              const std::string& toName);

// The text of a merge: the merged stage, and its conflicts, if any, under StageTextConflictsKey.
std::string stageTextMergeToJson(const StageTextMerge& merge);

} // namespace vx
