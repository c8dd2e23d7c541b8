#include "core/model/ChipSearch.h"
#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "core/model/SharedStages.h"
#include "tests/support/Images.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vx;

TEST(ChipSearch, UsesMatchABruteForceCountAndASharedMapIsListedAndReplacedOnce)
{
    forceLanguage(Language::English);
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x.nes").ok());
    const int chip = rom.stage(0).map()[3];
    int expected = 0;
    for (int n = 0; n < StageCount; ++n)
        if (shareSource(rom.addresses(), SharedGroup::Map, n) < 0)
            expected += static_cast<int>(std::count(rom.stage(n).map().begin(), rom.stage(n).map().end(), chip));
    const std::vector<ChipUse> all = chipUses(rom, chip, -1);
    EXPECT_EQ(static_cast<int>(all.size()), expected);
    EXPECT_EQ(all.front().stages, (std::vector<int>{0, 8})) << "the sample's stages 00 and 08 share a map";
    EXPECT_EQ(chipUses(rom, chip, 8).size(), chipUses(rom, chip, 0).size());

    rom.setCurrentStageIndex(8);
    const Result<UseCount> replaced = replaceChip(rom, chip, 0xEE, -1);
    ASSERT_TRUE(replaced.ok());
    EXPECT_EQ(replaced.value().cells, expected);
    EXPECT_TRUE(chipUses(rom, chip, -1).empty());
    EXPECT_EQ(rom.stage(0).undoStack().count(), 0) << "the shared map's step is the current stage's";
    EXPECT_EQ(rom.stage(8).undoStack().count(), 1);
    EXPECT_EQ(rom.undoCaption(), "Edit Map");
    rom.undo();
    EXPECT_EQ(rom.stage(0).map()[3], chip);

    EXPECT_EQ(replaceChip(rom, chip, chip, 0).error().message,
              "Chip " + formatHex(static_cast<std::uint32_t>(chip), 2) +
                  " cannot be replaced by itself. Nothing was changed.");
    int unused = 0;
    while (!chipUses(rom, unused, -1).empty())
        ++unused;
    EXPECT_FALSE(replaceChip(rom, unused, 0x01, -1).ok()) << "no cell holds it";
    EXPECT_EQ(rom.stage(8).undoStack().count(), 0);
    forceLanguage(std::nullopt);
}
