#include "core/text/Recovery.h"
#include "core/files/DiskStamp.h"
#include "core/model/RomImage.h"
#include "tests/support/Images.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(Recovery, TheEditedTablesComeBackOverTheFileAsItIsNowAndNothingElse)
{
    RomImage edited(test::defaultAddresses());
    ASSERT_TRUE(edited.loadFromBytes(test::sampleBytes(), "/x/game.nes").ok());
    ASSERT_TRUE(edited.stage(0).setMapChip(3, 0x77)); // shared with stage 08
    ASSERT_TRUE(edited.stage(2).setPaletteColor(1, 0x21));
    ASSERT_TRUE(edited.stage(5).setRestartPointField(0, mfStartY, 0x42));
    const Result<RecoveryRecord> decoded = decodeRecovery(encodeRecovery(recoveryRecordOf(edited)));
    ASSERT_TRUE(decoded.ok());
    const RecoveryRecord& record = decoded.value();
    EXPECT_EQ(record.imagePath, "/x/game.nes");
    EXPECT_EQ(record.editedFlags[0], 1u << efMap);

    // Meanwhile another program changed a table nobody edited here.
    auto disk = test::sampleBytes();
    disk[0x4510 + 9] ^= 0xFF;
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(disk, "/x/game.nes").ok());
    EXPECT_TRUE(applyRecovery(rom, record).ok());
    EXPECT_EQ(rom.stage(0).map()[3], 0x77);
    EXPECT_EQ(rom.stage(8).map()[3], 0x77);
    EXPECT_EQ(rom.stage(2).bgPalette()[1], 0x21);
    EXPECT_EQ(rom.stage(5).restartPoints(0).startY, 0x42);
    EXPECT_TRUE(rom.stage(5).editedFlags().get(efMidPoint));
    EXPECT_FALSE(rom.stage(1).editedFlags().any());
    auto expected = edited.editedImage();
    expected[0x4510 + 9] = disk[0x4510 + 9];
    EXPECT_EQ(rom.editedImage(), expected) << "the other program's byte stays";
    EXPECT_NE(rom.undo(), -1);
    EXPECT_EQ(rom.stage(0).map()[3], test::sampleBytes()[0x510 + 3]) << "recovered edits are undoable";
}

TEST(Recovery, ADamagedOrForeignRecordIsNeverTrusted)
{
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "/x/game.nes").ok());
    rom.stage(0).setMapChip(3, 0x77);
    const auto good = encodeRecovery(recoveryRecordOf(rom));
    auto flipped = good;
    flipped[good.size() / 2] ^= 1;
    const std::vector<std::vector<std::uint8_t>> bad = {{},
                                                        std::vector<std::uint8_t>(good.begin(), good.begin() + 100),
                                                        flipped,
                                                        std::vector<std::uint8_t>(good.begin(), good.end() - 1),
                                                        std::vector<std::uint8_t>(5000, 'x')};
    for (const auto& bytes : bad) {
        const Result<RecoveryRecord> decoded = decodeRecovery(bytes);
        ASSERT_FALSE(decoded.ok()) << bytes.size();
        EXPECT_FALSE(decoded.error().message.empty());
    }
    Result<RecoveryRecord> record = decodeRecovery(good);
    ASSERT_TRUE(record.ok());
    record.value().editedImage.resize(0x80010);
    EXPECT_FALSE(applyRecovery(rom, record.value()).ok()) << "an image of another length";
    EXPECT_EQ(recoveryFileOf("/s", "/x/game.nes"), recoveryFileOf("/s", "/x/game.nes"));
    EXPECT_NE(recoveryFileOf("/s", "/x/game.nes"), recoveryFileOf("/s", "/x/other.nes"));
}

TEST(Recovery, EveryTableARecordNamesComesBackAndARecordNamesTheFileAsRead)
{
    // One byte of every table a save writes, changed in the record's image for stage 03.
    constexpr int stage = 3;
    const AddressData& addresses = test::defaultAddresses();
    auto edited = test::sampleBytes();
    std::vector<TableKey> keys;
    for (int k = 0; k < TableKeyCount; ++k) {
        const auto key = static_cast<TableKey>(k);
        // The setting is never written; another room would reorder the list.
        if (key == TableKey::PatternTableSetting || key == TableKey::EnemyObjectRoom || key == TableKey::ItemObjectRoom)
            continue;
        // A quarter's attribute bits lie beside its chip's.
        edited[static_cast<std::size_t>(addresses.address(key, stage))] ^= key == TableKey::Chip32x32 ? 0x41 : 1;
        keys.push_back(key);
    }
    RecoveryRecord record{"/x/game.nes", 0x40010, 0x1234, 99, {}, edited};
    record.editedFlags[stage] = (1u << efTiles) - 1;
    const Result<RecoveryRecord> decoded = decodeRecovery(encodeRecovery(record));
    ASSERT_TRUE(decoded.ok());
    RomImage rom(addresses);
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "/x/game.nes").ok());
    ASSERT_TRUE(applyRecovery(rom, decoded.value()).ok());
    for (const TableKey key : keys) {
        const auto at = static_cast<std::size_t>(addresses.address(key, stage));
        EXPECT_EQ(rom.editedImage()[at], edited[at]) << infoOf(key).name;
    }

    // A record of the open image names the file as it was read.
    test::TempDir dir;
    test::writeFile(dir.file("game.nes"), test::sampleBytes());
    ASSERT_TRUE(rom.loadFromFile(dir.file("game.nes")).ok());
    const RecoveryRecord now = recoveryRecordOf(rom);
    EXPECT_EQ(now.fileSize, static_cast<std::int64_t>(test::sampleBytes().size()));
    EXPECT_EQ(now.fileHash, hashOfBytes(test::sampleBytes()));
}
