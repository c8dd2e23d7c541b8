#include "core/Recovery.h"
#include "core/RomImgManager.h"
#include "tests/support/Images.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(Recovery, TheEditedTablesComeBackOverTheFileAsItIsNowAndNothingElse)
{
    TRomImgManager edited(test::DefaultAddresses());
    ASSERT_TRUE(edited.LoadFromBytes(test::SampleBytes(), "/x/game.nes"));
    ASSERT_TRUE(edited.Stage(0).SetMapChip(3, 0x77));  // shared with stage 08
    ASSERT_TRUE(edited.Stage(2).SetPaletteColor(1, 0x21));
    edited.Stage(5).MidPoints(0).StartY = 0x42;
    edited.Stage(5).MarkEdited(efMidPoint);
    const auto record = DecodeRecovery(EncodeRecovery(RecoveryRecordOf(edited)), nullptr);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->imagePath, "/x/game.nes");
    EXPECT_EQ(record->editedFlags[0], 1u << efMap);

    // Meanwhile another program changed a table nobody edited here.
    auto disk = test::SampleBytes();
    disk[0x4510 + 9] ^= 0xFF;
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromBytes(disk, "/x/game.nes"));
    EXPECT_EQ(ApplyRecovery(rom, *record), std::nullopt);
    EXPECT_EQ(rom.Stage(0).Map()[3], 0x77);
    EXPECT_EQ(rom.Stage(8).Map()[3], 0x77);
    EXPECT_EQ(rom.Stage(2).BGPalette()[1], 0x21);
    EXPECT_EQ(rom.Stage(5).MidPoints(0).StartY, 0x42);
    EXPECT_TRUE(rom.Stage(5).EditedFlags().Get(efMidPoint));
    EXPECT_FALSE(rom.Stage(1).EditedFlags().Any());
    auto expected = edited.EditedImage();
    expected[0x4510 + 9] = disk[0x4510 + 9];
    EXPECT_EQ(rom.EditedImage(), expected) << "the other program's byte stays";
    EXPECT_NE(rom.Undo(), -1);
    EXPECT_EQ(rom.Stage(0).Map()[3], test::SampleBytes()[0x510 + 3]) << "recovered edits are undoable";
}

TEST(Recovery, ADamagedOrForeignRecordIsNeverTrusted)
{
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "/x/game.nes"));
    rom.Stage(0).SetMapChip(3, 0x77);
    const auto good = EncodeRecovery(RecoveryRecordOf(rom));
    auto flipped = good;
    flipped[good.size() / 2] ^= 1;
    const std::vector<std::vector<std::uint8_t>> bad = {
        {}, std::vector<std::uint8_t>(good.begin(), good.begin() + 100), flipped,
        std::vector<std::uint8_t>(good.begin(), good.end() - 1), std::vector<std::uint8_t>(5000, 'x')};
    for (const auto& bytes : bad) {
        std::string reason;
        EXPECT_FALSE(DecodeRecovery(bytes, &reason)) << bytes.size();
        EXPECT_FALSE(reason.empty());
    }
    auto record = DecodeRecovery(good, nullptr);
    ASSERT_TRUE(record);
    record->editedImage.resize(0x80010);
    EXPECT_TRUE(ApplyRecovery(rom, *record).has_value()) << "an image of another length";
    EXPECT_EQ(RecoveryFileOf("/s", "/x/game.nes"), RecoveryFileOf("/s", "/x/game.nes"));
    EXPECT_NE(RecoveryFileOf("/s", "/x/game.nes"), RecoveryFileOf("/s", "/x/other.nes"));
}
