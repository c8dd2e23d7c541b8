#include "core/Errors.h"
#include "core/Language.h"
#include "core/RomImgManager.h"
#include "core/VxObject.h"
#include "tests/support/Images.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace vx;

namespace {

std::vector<std::uint8_t> MarkedImage(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size, 0);
    const std::uint8_t mark[4] = {'N', 'E', 'S', 0x1A};
    std::copy_n(std::begin(mark), std::min<std::size_t>(4, size), bytes.begin());
    return bytes;
}

std::vector<std::uint8_t> Roundtrip(const std::vector<std::uint8_t>& image, const test::TempDir& dir)
{
    const std::string in = dir.File("in.nes"), out = dir.File("out.nes");
    test::WriteFile(in, image);
    TRomImgManager rom(test::DefaultAddresses());
    std::string reason;
    EXPECT_TRUE(rom.LoadFromFile(in, &reason)) << reason;
    rom.SaveToFile(out);
    return test::ReadBytes(out);
}

} // namespace

TEST(RomImgManager, AcceptsSizesFrom0x40010To0x100040WithTheMark)
{
    test::TempDir dir;
    struct Case { std::size_t size; bool accepted; };
    for (const Case c : {Case{0x4000F, false}, Case{0x40010, true}, Case{0x100040, true},
                         Case{0x100041, false}, Case{0, false}}) {
        test::WriteFile(dir.File("x.nes"), MarkedImage(c.size));
        TRomImgManager rom(test::DefaultAddresses());
        std::string reason;
        EXPECT_EQ(rom.LoadFromFile(dir.File("x.nes"), &reason), c.accepted) << std::hex << c.size;
        EXPECT_EQ(reason.empty(), c.accepted) << reason;
        EXPECT_EQ(rom.IsLoaded(), c.accepted);
        EXPECT_EQ(rom.ImageSize(), c.accepted ? static_cast<std::int64_t>(c.size) : -1);
    }
    auto unmarked = MarkedImage(0x40010);
    unmarked[3] = 0x1B;
    TRomImgManager rom(test::DefaultAddresses());
    EXPECT_FALSE(rom.LoadFromBytes(unmarked, "x"));
}

TEST(RomImgManager, RefusalSaysWhyAndKeepsTheOpenImage)
{
    ForceLanguage(Language::English);
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "first.nes"));
    rom.Stage(0).SetMapChip(0, 0x33);
    rom.SetCurrentStageIndex(4);

    std::string reason;
    EXPECT_FALSE(rom.LoadFromBytes(MarkedImage(100), "tiny.nes", &reason));
    EXPECT_NE(reason.find("out of range"), std::string::npos) << reason;
    EXPECT_FALSE(rom.LoadFromFile("/no/such/file.nes", &reason));
    EXPECT_NE(reason.find("/no/such/file.nes"), std::string::npos) << reason;
    auto unmarked = test::SampleBytes();
    unmarked[0] = 'M';
    EXPECT_FALSE(rom.LoadFromBytes(unmarked, "bad.nes", &reason));
    EXPECT_NE(reason.find("not an iNES file"), std::string::npos) << reason;

    EXPECT_EQ(rom.FileName(), "first.nes");
    EXPECT_EQ(rom.CurrentStageIndex(), 4);
    EXPECT_EQ(rom.Stage(0).Map()[0], 0x33);
    EXPECT_TRUE(rom.IsModified());
    ForceLanguage(std::nullopt);
}

TEST(RomImgManager, TablesOutsideTheImageAreRefusedNamingStageKeyAndAddress)
{
    ForceLanguage(Language::English);
    struct Case { const char* settings; const char* expected; };
    for (const Case c : {Case{"[LevelDataAddress]\nMap[13]=3FA00\n", "Map[13] at address 0003FA00"},
                         Case{"[LevelDataAddress]\nScroll[2]=FFFFFFF0\n", "Scroll[2] at address FFFFFFF0"},
                         Case{"[LevelDataAddress]\nPaletteAnimePalette[0]=3FFD1\n", "PaletteAnimePalette[0]"}}) {
        auto addresses = test::AddressesFrom(c.settings);
        TRomImgManager rom(*addresses);
        std::string reason;
        EXPECT_FALSE(rom.LoadFromBytes(test::SampleBytes(), "x", &reason));
        EXPECT_NE(reason.find(c.expected), std::string::npos) << reason;
        EXPECT_NE(reason.find("Stage"), std::string::npos) << reason;
        EXPECT_NE(reason.find("262160"), std::string::npos) << "the image size: " << reason;
    }
    // The last byte of the image may still belong to a table.
    auto fits = test::AddressesFrom("[LevelDataAddress]\nPaletteAnimePalette[0]=3FFD0\n");
    TRomImgManager rom(*fits);
    EXPECT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "x"));
    ForceLanguage(Language::Japanese);
    auto far = test::AddressesFrom("[LevelDataAddress]\nMap[13]=3FA00\n");
    TRomImgManager japanese(*far);
    std::string reason;
    EXPECT_FALSE(japanese.LoadFromBytes(test::SampleBytes(), "x", &reason));
    EXPECT_NE(reason.find("ステージ 0D"), std::string::npos) << reason;
    ForceLanguage(std::nullopt);
}

TEST(RomImgManager, UnchangedImagesSaveByteForByte)
{
    test::TempDir dir;
    EXPECT_EQ(Roundtrip(test::SampleBytes(), dir), test::SampleBytes());
    for (std::size_t size : {std::size_t{0x40010}, std::size_t{0x100040}}) {
        const auto image = test::RandomImage(size, static_cast<unsigned>(size));
        EXPECT_EQ(Roundtrip(image, dir), image) << std::hex << size;
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
        const auto image = test::ReadBytes(entry.path().string());
        EXPECT_EQ(Roundtrip(image, dir), image) << entry.path();
        ++real;
    }
    EXPECT_EQ(real, 3);
}

TEST(RomImgManager, SaveClearsFlagsKeepsHistoryAndAnUndoMarksAgain)
{
    test::TempDir dir;
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "x"));
    EXPECT_FALSE(rom.IsModified());
    rom.SetCurrentStageIndex(2);
    ASSERT_TRUE(rom.CurrentStage().SetMapChip(70, 9));
    EXPECT_TRUE(rom.IsModified());
    ASSERT_TRUE(rom.SaveToFile(dir.File("saved.nes")));
    EXPECT_EQ(rom.FileName(), dir.File("saved.nes"));
    EXPECT_FALSE(rom.IsModified());
    ASSERT_TRUE(rom.CanUndo());
    ForceLanguage(Language::English);
    EXPECT_EQ(rom.UndoCaption(), "Edit Map");
    ForceLanguage(std::nullopt);
    EXPECT_EQ(test::ReadBytes(dir.File("saved.nes"))[rom.CurrentStage().Address(TableKey::Map) + 70], 9);
    EXPECT_EQ(rom.Undo(), ukMap);
    EXPECT_TRUE(rom.IsModified());
    EXPECT_TRUE(rom.CurrentStage().EditedFlags().Get(efMap));
    EXPECT_TRUE(rom.CanRedo());
    rom.SetCurrentStageIndex(3);
    EXPECT_FALSE(rom.CanRedo()) << "history is per stage";
    rom.CloseImage();
    EXPECT_FALSE(rom.IsModified());
    EXPECT_FALSE(rom.CanUndo());
}

TEST(RomImgManager, FailedSaveKeepsTheFileAndEveryFlag)
{
    test::TempDir dir;
    const std::string target = dir.File("game.nes");
    test::WriteFile(target, test::SampleBytes());
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromFile(target));
    ASSERT_TRUE(rom.Stage(1).SetScrollData(3, 0x55));

    // A folder standing where the file should go cannot be replaced, even by root.
    const std::string blocked = dir.File("blocked.nes");
    std::filesystem::create_directory(blocked);
    EXPECT_THROW(rom.SaveToFile(blocked), VxError);
    EXPECT_TRUE(rom.IsModified());
    EXPECT_TRUE(rom.Stage(1).EditedFlags().Get(efScroll));
    EXPECT_EQ(rom.FileName(), target);

    if (::geteuid() != 0) { // root writes into read-only folders
        ASSERT_EQ(::chmod(dir.Path().c_str(), 0500), 0);
        EXPECT_THROW(rom.SaveToFile(target), VxError);
        EXPECT_EQ(test::ReadBytes(target), test::SampleBytes());
        EXPECT_TRUE(rom.IsModified());
        ASSERT_EQ(::chmod(dir.Path().c_str(), 0700), 0);
    }
    rom.SaveToFile(target);
    EXPECT_FALSE(rom.IsModified());
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "the file keeps its permissions";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()), 2) << "no temporary file left";
}

TEST(RomImgManager, ReloadTakesNewBytesButKeepsEditsAndRefusesAnotherLength)
{
    test::TempDir dir;
    const std::string path = dir.File("game.nes");
    auto image = test::SampleBytes();
    test::WriteFile(path, image);
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromFile(path));
    ASSERT_TRUE(rom.Stage(0).SetMapChip(0, 0x44));

    image[0x30000] = 0x5A; // another tool changed the tiles
    test::WriteFile(path, image);
    ASSERT_TRUE(rom.ReloadFromFile());
    EXPECT_EQ(rom.ImageBytes()[0x30000], 0x5A);
    EXPECT_EQ(rom.Stage(0).Map()[0], 0x44);
    EXPECT_TRUE(rom.IsModified());

    image.resize(0x50010);
    test::WriteFile(path, image);
    std::string reason;
    EXPECT_FALSE(rom.ReloadFromFile(&reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(rom.ImageSize(), 0x40010);
    EXPECT_EQ(rom.ImageBytes().size(), 0x40010u);
}

TEST(RomImgManager, RandomEditsUndoneToTheEndSaveTheOriginalBytes)
{
    test::TempDir dir;
    // Stage 5 shares its tables with stage 13; stage 2 stands alone.
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "x"));
    std::mt19937 random(7);
    const int stages[] = {5, 13, 2};
    std::vector<int> log; // the stage of each edit that changed something
    for (int step = 0; step < 3000; ++step) {
        const int n = stages[random() % 3];
        TStageData& stage = rom.Stage(n);
        const int undoDepth = stage.UndoStack().Count();
        const auto value = static_cast<std::uint8_t>(random());
        const int position = static_cast<int>(random() % 4096);
        switch (random() % 10) {
        case 0: stage.SetPaletteColor(position % 32, value & 0x3F); break;
        case 1: stage.SetPaletteAnimeFrameCount(value % 5); break;
        case 2: stage.SetPaletteAnimeFrameTimer(value); break;
        case 3: stage.SetPaletteAnimeColor(position % 64, value & 0x3F); break;
        case 4: stage.SetChipEntry(position % 1024, value); break;
        case 5: stage.SetChipAttribute(position % 1024, value & 3); break;
        case 6: {
            std::array<std::uint8_t, 8> chip{value, 1, 2, 3, 0, 1, 2, static_cast<std::uint8_t>(value & 3)};
            stage.SetChip((position % 256) * 4, chip);
            break;
        }
        case 7: stage.SetMapChip(position % MapSize, value); break;
        case 8: {
            std::array<std::uint8_t, RoomSize> room{};
            room.fill(value);
            stage.SetMapRoom((position % RoomCount) * RoomSize, room, value % 2 ? ukMapPaste : ukMapGrid);
            break;
        }
        default: stage.SetScrollData(position % 32, value); break;
        }
        if (stage.UndoStack().Count() > undoDepth)
            log.push_back(n);
    }
    rom.SaveToFile(dir.File("edited.nes"));
    const auto edited = test::ReadBytes(dir.File("edited.nes"));
    ASSERT_NE(edited, test::SampleBytes());

    // Shared tables make the order matter: undo in the reverse order of the edits, redo
    // in their order.
    for (auto n = log.rbegin(); n != log.rend(); ++n)
        ASSERT_GE(rom.Stage(*n).Undo(), 0);
    rom.SaveToFile(dir.File("undone.nes"));
    EXPECT_EQ(test::ReadBytes(dir.File("undone.nes")), test::SampleBytes());
    for (int n : log)
        ASSERT_GE(rom.Stage(n).Redo(), 0);
    rom.SaveToFile(dir.File("redone.nes"));
    EXPECT_EQ(test::ReadBytes(dir.File("redone.nes")), edited);
    for (int n : stages)
        EXPECT_EQ(rom.Stage(n).RedoStack().Count(), 0);
}

TEST(RomImgManager, EditedImageHoldsUnsavedEditsAndLeavesTheOpenImageAlone)
{
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "sample.nes"));
    ASSERT_TRUE(rom.Stage(2).SetMapChip(5, 0x77));
    ASSERT_TRUE(rom.Stage(2).EnemyObjects().AddObject(3, 9, 9, 0x42));
    rom.Stage(2).MarkEdited(efObject);
    const std::vector<std::uint8_t> edited = rom.EditedImage();
    const std::size_t map = static_cast<std::size_t>(rom.Stage(2).Address(TableKey::Map)) + 5;
    EXPECT_EQ(edited[map], 0x77);
    EXPECT_NE(edited, test::SampleBytes());
    EXPECT_EQ(rom.ImageBytes(), test::SampleBytes()) << "the open image is not written";
    EXPECT_TRUE(rom.IsModified()) << "the flags stay";

    // What a save then writes is the same image.
    test::TempDir dir;
    rom.SaveToFile(dir.File("saved.nes"));
    EXPECT_EQ(test::ReadBytes(dir.File("saved.nes")), edited);
}

TEST(RomImgManager, NoTableMayLieInTheHeaderAndNoWriterWritesWhatWouldNotOpen)
{
    ForceLanguage(Language::English);
    auto addresses = test::AddressesFrom("[LevelDataAddress]\nBGPalette[0]=0\n");
    TRomImgManager rom(*addresses);
    std::string reason;
    EXPECT_FALSE(rom.LoadFromBytes(test::SampleBytes(), "x", &reason));
    EXPECT_NE(reason.find("BGPalette[0] at address 00000000 (length 10) lies in the 16-byte iNES header"),
              std::string::npos) << reason;
    test::TempDir dir;
    for (const auto& bytes : {MarkedImage(100), std::vector<std::uint8_t>(0x40010, 0)}) {
        EXPECT_THROW(WriteImageFile(dir.File("out.nes"), bytes), VxError);
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.nes")));
    }
    ForceLanguage(std::nullopt);
}

TEST(RomImgManager, AnotherProgramsChangeIsMergedWithTheEditsOrSaidWhyNot)
{
    test::TempDir dir;
    const std::string path = dir.File("game.nes");
    test::WriteFile(path, test::SampleBytes());
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromFile(path));
    EXPECT_FALSE(rom.ChangeOnDisk());
    ASSERT_TRUE(rom.Stage(0).SetMapChip(3, 0x77));
    // An assembler rewrites code, another editor a cell of stage 01's map.
    auto other = test::SampleBytes();
    other[0x4510 + 5] ^= 0xFF;
    other[0x3FF00] ^= 0x01;
    test::WriteFile(path, other);
    auto change = rom.ChangeOnDisk();
    ASSERT_TRUE(change);
    EXPECT_EQ(change->noMerge, "");
    rom.MergeIntoFile(*change);
    auto expected = other;
    expected[0x510 + 3] = 0x77;
    EXPECT_EQ(test::ReadBytes(path), expected);
    EXPECT_EQ(rom.Stage(1).Map()[5], other[0x4510 + 5]) << "the stages read the merged bytes";
    EXPECT_FALSE(rom.IsModified());
    EXPECT_FALSE(rom.ChangeOnDisk());
    EXPECT_EQ(rom.Undo(), ukMap) << "the history survives the merge";
    EXPECT_TRUE(rom.DiffersFromFile());

    // Another length cannot be merged, and says so; the file stays.
    auto longer = other;
    longer.resize(0x80010);
    test::WriteFile(path, longer);
    change = rom.ChangeOnDisk();
    ASSERT_TRUE(change);
    EXPECT_NE(change->noMerge.find("0x80010"), std::string::npos) << change->noMerge;
    EXPECT_THROW(rom.MergeIntoFile(*change), VxError);
    EXPECT_EQ(test::ReadBytes(path), longer);
    // Taking it in (no unsaved edits in the caller's eyes) reads the new image whole.
    EXPECT_TRUE(rom.TakeDiskChange(*change));
    EXPECT_EQ(rom.ImageSize(), 0x80010);
    EXPECT_FALSE(rom.ChangeOnDiskIfTouched());
}

TEST(RomImgManager, AFailedSaveLeavesTheComparisonWithTheFileAsItWas)
{
    test::TempDir dir;
    const std::string path = dir.File("game.nes");
    test::WriteFile(path, test::SampleBytes());
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromFile(path));
    ASSERT_TRUE(rom.Stage(0).SetMapChip(3, 0x77));
    ::chmod(path.c_str(), 0444);
    EXPECT_THROW(rom.SaveToFile(path), VxError);
    EXPECT_TRUE(rom.IsModified());
    rom.Undo();
    EXPECT_FALSE(rom.DiffersFromFile()) << "back to what the file holds";
    rom.Redo();
    EXPECT_TRUE(rom.DiffersFromFile());
}
