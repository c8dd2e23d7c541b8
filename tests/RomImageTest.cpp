#include "core/model/RomImage.h"
#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/model/StageObjects.h"
#include "tests/support/Images.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace vx;

namespace {

// The refusal as the user reads it, or "" when the call succeeded.
std::string reasonOf(const Result<void>& result) { return result.ok() ? std::string() : result.error().text(); }

std::vector<std::uint8_t> markedImage(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size, 0);
    const std::uint8_t mark[4] = {'N', 'E', 'S', 0x1A};
    std::copy_n(std::begin(mark), std::min<std::size_t>(4, size), bytes.begin());
    return bytes;
}

std::vector<std::uint8_t> roundtrip(const std::vector<std::uint8_t>& image, const test::TempDir& dir)
{
    const std::string in = dir.file("in.nes"), out = dir.file("out.nes");
    test::writeFile(in, image);
    RomImage rom(test::defaultAddresses());
    std::string reason;
    EXPECT_TRUE((reason = reasonOf(rom.loadFromFile(in))).empty()) << reason;
    rom.saveToFile(out);
    return test::readBytes(out);
}

} // namespace

TEST(RomImage, AcceptsSizesFrom0x40010To0x100040WithTheMark)
{
    test::TempDir dir;
    struct Case {
        std::size_t size;
        bool accepted;
    };
    for (const Case c :
         {Case{0x4000F, false}, Case{0x40010, true}, Case{0x100040, true}, Case{0x100041, false}, Case{0, false}}) {
        test::writeFile(dir.file("x.nes"), markedImage(c.size));
        RomImage rom(test::defaultAddresses());
        std::string reason;
        EXPECT_EQ((reason = reasonOf(rom.loadFromFile(dir.file("x.nes")))).empty(), c.accepted) << std::hex << c.size;
        EXPECT_EQ(reason.empty(), c.accepted) << reason;
        EXPECT_EQ(rom.isLoaded(), c.accepted);
        EXPECT_EQ(rom.imageSize(), c.accepted ? static_cast<std::int64_t>(c.size) : -1);
    }
    auto unmarked = markedImage(0x40010);
    unmarked[3] = 0x1B;
    RomImage rom(test::defaultAddresses());
    EXPECT_FALSE(rom.loadFromBytes(unmarked, "x").ok());
}

TEST(RomImage, RefusalSaysWhyAndKeepsTheOpenImage)
{
    forceLanguage(Language::English);
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "first.nes").ok());
    rom.stage(0).setMapChip(0, 0x33);
    rom.setCurrentStageIndex(4);

    std::string reason;
    EXPECT_FALSE((reason = reasonOf(rom.loadFromBytes(markedImage(100), "tiny.nes"))).empty());
    EXPECT_NE(reason.find("out of range"), std::string::npos) << reason;
    EXPECT_FALSE((reason = reasonOf(rom.loadFromFile("/no/such/file.nes"))).empty());
    EXPECT_NE(reason.find("/no/such/file.nes"), std::string::npos) << reason;
    auto unmarked = test::sampleBytes();
    unmarked[0] = 'M';
    EXPECT_FALSE((reason = reasonOf(rom.loadFromBytes(unmarked, "bad.nes"))).empty());
    EXPECT_NE(reason.find("not an iNES file"), std::string::npos) << reason;

    EXPECT_EQ(rom.fileName(), "first.nes");
    EXPECT_EQ(rom.currentStageIndex(), 4);
    EXPECT_EQ(rom.stage(0).map()[0], 0x33);
    EXPECT_TRUE(rom.isModified());
    forceLanguage(std::nullopt);
}

TEST(RomImage, TablesOutsideTheImageAreRefusedNamingStageKeyAndAddress)
{
    forceLanguage(Language::English);
    struct Case {
        const char* settings;
        const char* expected;
    };
    for (const Case c : {Case{"[LevelDataAddress]\nMap[13]=3FA00\n", "Map[13] at address 0003FA00"},
                         Case{"[LevelDataAddress]\nScroll[2]=FFFFFFF0\n", "Scroll[2] at address FFFFFFF0"},
                         Case{"[LevelDataAddress]\nPaletteAnimePalette[0]=3FFD1\n", "PaletteAnimePalette[0]"}}) {
        auto addresses = test::addressesFrom(c.settings);
        RomImage rom(*addresses);
        std::string reason;
        EXPECT_FALSE((reason = reasonOf(rom.loadFromBytes(test::sampleBytes(), "x"))).empty());
        EXPECT_NE(reason.find(c.expected), std::string::npos) << reason;
        EXPECT_NE(reason.find("Stage"), std::string::npos) << reason;
        EXPECT_NE(reason.find("262160"), std::string::npos) << "the image size: " << reason;
    }
    // The last byte of the image may still belong to a table.
    auto fits = test::addressesFrom("[LevelDataAddress]\nPaletteAnimePalette[0]=3FFD0\n");
    RomImage rom(*fits);
    EXPECT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x").ok());
    forceLanguage(Language::Japanese);
    auto far = test::addressesFrom("[LevelDataAddress]\nMap[13]=3FA00\n");
    RomImage japanese(*far);
    std::string reason;
    EXPECT_FALSE((reason = reasonOf(japanese.loadFromBytes(test::sampleBytes(), "x"))).empty());
    EXPECT_NE(reason.find("ステージ 0D"), std::string::npos) << reason;
    forceLanguage(std::nullopt);
}

TEST(RomImage, UnchangedImagesSaveByteForByte)
{
    test::TempDir dir;
    EXPECT_EQ(roundtrip(test::sampleBytes(), dir), test::sampleBytes());
    for (std::size_t size : {std::size_t{0x40010}, std::size_t{0x100040}}) {
        const auto image = test::randomImage(size, static_cast<unsigned>(size));
        EXPECT_EQ(roundtrip(image, dir), image) << std::hex << size;
    }
    const std::filesystem::path realImages = VX_TESTDATA_DIR "/nes-test-roms";
    if (!std::filesystem::is_directory(realImages)) {
        // A clone without the shared test data beside it; CI always has it.
        if (std::getenv("CI"))
            FAIL() << "no real images at " << realImages;
        GTEST_SKIP() << "no real images at " << realImages;
    }
    int real = 0;
    for (const auto& entry : std::filesystem::directory_iterator(realImages)) {
        if (entry.path().extension() != ".nes")
            continue;
        const auto image = test::readBytes(entry.path().string());
        EXPECT_EQ(roundtrip(image, dir), image) << entry.path();
        ++real;
    }
    EXPECT_EQ(real, 3);
}

TEST(RomImage, SaveClearsFlagsKeepsHistoryAndAnUndoMarksAgain)
{
    test::TempDir dir;
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x").ok());
    EXPECT_FALSE(rom.isModified());
    rom.setCurrentStageIndex(2);
    ASSERT_TRUE(rom.currentStage().setMapChip(70, 9));
    EXPECT_TRUE(rom.isModified());
    ASSERT_TRUE(rom.saveToFile(dir.file("saved.nes")));
    EXPECT_EQ(rom.fileName(), dir.file("saved.nes"));
    EXPECT_FALSE(rom.isModified());
    ASSERT_TRUE(rom.canUndo());
    forceLanguage(Language::English);
    EXPECT_EQ(rom.undoCaption(), "Edit Map");
    forceLanguage(std::nullopt);
    EXPECT_EQ(test::readBytes(dir.file("saved.nes"))[rom.currentStage().address(TableKey::Map) + 70], 9);
    EXPECT_EQ(rom.undo(), ukMap);
    EXPECT_TRUE(rom.isModified());
    EXPECT_TRUE(rom.currentStage().editedFlags().get(efMap));
    EXPECT_TRUE(rom.canRedo());
    rom.setCurrentStageIndex(3);
    EXPECT_FALSE(rom.canRedo()) << "history is per stage";
    rom.closeImage();
    EXPECT_FALSE(rom.isModified());
    EXPECT_FALSE(rom.canUndo());
}

TEST(RomImage, FailedSaveKeepsTheFileAndEveryFlag)
{
    test::TempDir dir;
    const std::string target = dir.file("game.nes");
    test::writeFile(target, test::sampleBytes());
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromFile(target).ok());
    ASSERT_TRUE(rom.stage(1).setScrollData(3, 0x55));

    // A folder standing where the file should go cannot be replaced, even by root.
    const std::string blocked = dir.file("blocked.nes");
    std::filesystem::create_directory(blocked);
    EXPECT_THROW(rom.saveToFile(blocked), UserError);
    EXPECT_TRUE(rom.isModified());
    EXPECT_TRUE(rom.stage(1).editedFlags().get(efScroll));
    EXPECT_EQ(rom.fileName(), target);

    if (::geteuid() != 0) { // root writes into read-only folders
        ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
        EXPECT_THROW(rom.saveToFile(target), UserError);
        EXPECT_EQ(test::readBytes(target), test::sampleBytes());
        EXPECT_TRUE(rom.isModified());
        ASSERT_EQ(::chmod(dir.path().c_str(), 0700), 0);
    }
    rom.saveToFile(target);
    EXPECT_FALSE(rom.isModified());
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "the file keeps its permissions";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 2)
        << "no temporary file left";
}

TEST(RomImage, ReloadTakesNewBytesButKeepsEditsAndRefusesAnotherLength)
{
    test::TempDir dir;
    const std::string path = dir.file("game.nes");
    auto image = test::sampleBytes();
    test::writeFile(path, image);
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromFile(path).ok());
    ASSERT_TRUE(rom.stage(0).setMapChip(0, 0x44));

    image[0x30000] = 0x5A; // another tool changed the tiles
    test::writeFile(path, image);
    ASSERT_TRUE(rom.reloadFromFile().ok());
    EXPECT_EQ(rom.imageBytes()[0x30000], 0x5A);
    EXPECT_EQ(rom.stage(0).map()[0], 0x44);
    EXPECT_TRUE(rom.isModified());

    image.resize(0x50010);
    test::writeFile(path, image);
    std::string reason;
    EXPECT_FALSE((reason = reasonOf(rom.reloadFromFile())).empty());
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(rom.imageSize(), 0x40010);
    EXPECT_EQ(rom.imageBytes().size(), 0x40010u);
}

TEST(RomImage, RandomEditsUndoneToTheEndSaveTheOriginalBytes)
{
    test::TempDir dir;
    // Stage 5 shares its tables with stage 13; stage 2 stands alone.
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x").ok());
    std::mt19937 random(7);
    const int stages[] = {5, 13, 2};
    std::vector<int> log; // the stage of each edit that changed something
    for (int step = 0; step < 3000; ++step) {
        const int n = stages[random() % 3];
        StageData& stage = rom.stage(n);
        const int undoDepth = stage.undoStack().count();
        const auto value = static_cast<std::uint8_t>(random());
        const int position = static_cast<int>(random() % 4096);
        switch (random() % 10) {
        case 0: stage.setPaletteColor(position % 32, value & 0x3F); break;
        case 1: stage.setPaletteAnimeFrameCount(value % 5); break;
        case 2: stage.setPaletteAnimeFrameTimer(value); break;
        case 3: stage.setPaletteAnimeColor(position % 64, value & 0x3F); break;
        case 4: stage.setChipEntry(position % 1024, value); break;
        case 5: stage.setChipAttribute(position % 1024, value & 3); break;
        case 6: {
            std::array<std::uint8_t, 8> chip{value, 1, 2, 3, 0, 1, 2, static_cast<std::uint8_t>(value & 3)};
            stage.setChip((position % 256) * 4, chip);
            break;
        }
        case 7: stage.setMapChip(position % MapSize, value); break;
        case 8: {
            std::array<std::uint8_t, RoomSize> room{};
            room.fill(value);
            stage.setMapRoom((position % RoomCount) * RoomSize, room, value % 2 ? ukMapPaste : ukMapGrid);
            break;
        }
        default: stage.setScrollData(position % 32, value); break;
        }
        if (stage.undoStack().count() > undoDepth)
            log.push_back(n);
    }
    rom.saveToFile(dir.file("edited.nes"));
    const auto edited = test::readBytes(dir.file("edited.nes"));
    ASSERT_NE(edited, test::sampleBytes());

    // Shared tables make the order matter: undo in the reverse order of the edits, redo
    // in their order.
    for (auto n = log.rbegin(); n != log.rend(); ++n)
        ASSERT_GE(rom.stage(*n).undo(), 0);
    rom.saveToFile(dir.file("undone.nes"));
    EXPECT_EQ(test::readBytes(dir.file("undone.nes")), test::sampleBytes());
    for (int n : log)
        ASSERT_GE(rom.stage(n).redo(), 0);
    rom.saveToFile(dir.file("redone.nes"));
    EXPECT_EQ(test::readBytes(dir.file("redone.nes")), edited);
    for (int n : stages)
        EXPECT_EQ(rom.stage(n).redoStack().count(), 0);
}

TEST(RomImage, EditedImageHoldsUnsavedEditsAndLeavesTheOpenImageAlone)
{
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "sample.nes").ok());
    ASSERT_TRUE(rom.stage(2).setMapChip(5, 0x77));
    ASSERT_TRUE(rom.stage(2).addObject(rom.stage(2).enemyObjects(), {3, 9, 9, 0x42}, false));
    const std::vector<std::uint8_t> edited = rom.editedImage();
    const std::size_t map = static_cast<std::size_t>(rom.stage(2).address(TableKey::Map)) + 5;
    EXPECT_EQ(edited[map], 0x77);
    EXPECT_NE(edited, test::sampleBytes());
    EXPECT_EQ(rom.imageBytes(), test::sampleBytes()) << "the open image is not written";
    EXPECT_TRUE(rom.isModified()) << "the flags stay";

    // What a save then writes is the same image.
    test::TempDir dir;
    rom.saveToFile(dir.file("saved.nes"));
    EXPECT_EQ(test::readBytes(dir.file("saved.nes")), edited);
}

TEST(RomImage, NoTableMayLieInTheHeaderAndNoWriterWritesWhatWouldNotOpen)
{
    forceLanguage(Language::English);
    auto addresses = test::addressesFrom("[LevelDataAddress]\nBGPalette[0]=0\n");
    RomImage rom(*addresses);
    std::string reason;
    EXPECT_FALSE((reason = reasonOf(rom.loadFromBytes(test::sampleBytes(), "x"))).empty());
    EXPECT_NE(reason.find("BGPalette[0] at address 00000000 (length 10) lies in the 16-byte iNES header"),
              std::string::npos)
        << reason;
    test::TempDir dir;
    for (const auto& bytes : {markedImage(100), std::vector<std::uint8_t>(0x40010, 0)}) {
        EXPECT_THROW(writeImageFile(dir.file("out.nes"), bytes), UserError);
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.nes")));
    }
    forceLanguage(std::nullopt);
}

TEST(RomImage, AnotherProgramsChangeIsMergedWithTheEditsOrSaidWhyNot)
{
    test::TempDir dir;
    const std::string path = dir.file("game.nes");
    test::writeFile(path, test::sampleBytes());
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromFile(path).ok());
    EXPECT_FALSE(rom.changeOnDisk());
    ASSERT_TRUE(rom.stage(0).setMapChip(3, 0x77));
    // An assembler rewrites code, another editor a cell of stage 01's map.
    auto other = test::sampleBytes();
    other[0x4510 + 5] ^= 0xFF;
    other[0x3FF00] ^= 0x01;
    test::writeFile(path, other);
    auto change = rom.changeOnDisk();
    ASSERT_TRUE(change);
    EXPECT_EQ(change->noMerge, "");
    rom.mergeIntoFile(*change);
    auto expected = other;
    expected[0x510 + 3] = 0x77;
    EXPECT_EQ(test::readBytes(path), expected);
    EXPECT_EQ(rom.stage(1).map()[5], other[0x4510 + 5]) << "the stages read the merged bytes";
    EXPECT_FALSE(rom.isModified());
    EXPECT_FALSE(rom.changeOnDisk());
    EXPECT_EQ(rom.undo(), ukMap) << "the history survives the merge";
    EXPECT_TRUE(rom.differsFromFile());

    // Another length cannot be merged, and says so; the file stays.
    auto longer = other;
    longer.resize(0x80010);
    test::writeFile(path, longer);
    change = rom.changeOnDisk();
    ASSERT_TRUE(change);
    EXPECT_NE(change->noMerge.find("0x80010"), std::string::npos) << change->noMerge;
    EXPECT_THROW(rom.mergeIntoFile(*change), UserError);
    EXPECT_EQ(test::readBytes(path), longer);
    // Taking it in (no unsaved edits in the caller's eyes) reads the new image whole.
    EXPECT_TRUE(rom.takeDiskChange(*change).ok());
    EXPECT_EQ(rom.imageSize(), 0x80010);
    EXPECT_FALSE(rom.changeOnDiskIfTouched());
}

TEST(RomImage, AFailedSaveLeavesTheComparisonWithTheFileAsItWas)
{
    test::TempDir dir;
    const std::string path = dir.file("game.nes");
    test::writeFile(path, test::sampleBytes());
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromFile(path).ok());
    ASSERT_TRUE(rom.stage(0).setMapChip(3, 0x77));
    ::chmod(path.c_str(), 0444);
    EXPECT_THROW(rom.saveToFile(path), UserError);
    EXPECT_TRUE(rom.isModified());
    rom.undo();
    EXPECT_FALSE(rom.differsFromFile()) << "back to what the file holds";
    rom.redo();
    EXPECT_TRUE(rom.differsFromFile());
}
