#include "core/AddressData.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {
TMyMemIniFile Settings(const std::string& text) { return TMyMemIniFile(TMemIniFile::FromText(text)); }
}

TEST(AddressData, MissingFileIsCompletedWithEveryDefaultInOrder)
{
    test::TempDir dir;
    const std::string path = dir.File("vexalon2editor.ini");
    TMyMemIniFile settings(path);
    TAddressData addresses(settings);
    settings.UpdateFile();

    TMyMemIniFile written(path);
    EXPECT_EQ(written.ReadSections(), (std::vector<std::string>{"LevelDataAddress", "LevelDataDefault"}));
    const auto keys = written.ReadSection("LevelDataAddress");
    ASSERT_EQ(keys.size(), 406u);
    EXPECT_EQ(keys[0], "Chip32x32[0]");
    EXPECT_EQ(keys[28], "PaletteAnimePalette[0]");
    EXPECT_EQ(keys[29], "Chip32x32[1]");
    EXPECT_EQ(keys[405], "PaletteAnimePalette[13]");
    const auto defaults = written.ReadSection("LevelDataDefault");
    ASSERT_EQ(defaults.size(), 28u);
    EXPECT_EQ(defaults[0], "Default32x32ChipEditPage[0]");
    EXPECT_EQ(defaults[1], "DefaultStartPoint[0]");
    EXPECT_EQ(defaults[27], "DefaultStartPoint[13]");

    const std::string text = test::ReadText(path);
    for (const char* line : {"\nChip32x32[0]=10\n", "\nMap[9]=4510\n", "\nBGPalette[9]=7F12\n",
                             "\nDefaultStartPoint[9]=3\n", "\nDefault32x32ChipEditPage[8]=1\n",
                             "\nPaletteAnimePalette[13]=17F32\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST(AddressData, DefaultsFollowBankAndPageRules)
{
    auto settings = Settings("");
    TAddressData addresses(settings);
    EXPECT_EQ(addresses.Address(TableKey::Map, 0), 0x0510);
    EXPECT_EQ(addresses.Address(TableKey::Map, 9), 0x4510);
    EXPECT_EQ(addresses.Address(TableKey::BGPalette, 9), 0x7F12);
    EXPECT_EQ(addresses.Address(TableKey::Chip32x32, 13), 0x14010);
    EXPECT_EQ(addresses.Address(TableKey::PatternTableSetting, 7), 0x1FC10);
    EXPECT_EQ(addresses.Address(TableKey::PatternTableSetting, 8), 0x3D10);
    EXPECT_EQ(addresses.Default32x32ChipEditPage(7), 0);
    EXPECT_EQ(addresses.Default32x32ChipEditPage(8), 1);
    EXPECT_EQ(addresses.DefaultStartPoint(0), 0);
    EXPECT_EQ(addresses.DefaultStartPoint(13), 3);
}

TEST(AddressData, UnreadableValuesTakeTheDefaultAndAreRewritten)
{
    struct Case {
        const char* line;
        std::int32_t address;
        const char* rewritten;
    };
    for (const Case& c : {Case{"Map[3]=9f10", 0x9F10, "Map[3]=9F10"},
                          Case{"Map[3]=0x9F10", 0xC510, "Map[3]=C510"},
                          Case{"Map[3]=", 0xC510, "Map[3]=C510"},
                          Case{"map[3] = 12", 0x12, "map[3]=12"}}) {
        auto settings = Settings(std::string("[LevelDataAddress]\n") + c.line + "\n");
        TAddressData addresses(settings);
        EXPECT_EQ(addresses.Address(TableKey::Map, 3), c.address) << c.line;
        EXPECT_NE(settings.GetText().find(std::string("\n") + c.rewritten + "\n"), std::string::npos)
            << c.line;
    }
}

TEST(AddressData, PageAndStartPointOutsideTheirRangesTakeTheDefault)
{
    auto settings = Settings("[LevelDataDefault]\nDefaultStartPoint[2]=7\nDefault32x32ChipEditPage[12]=2\n"
                             "DefaultStartPoint[4]=5\nDefault32x32ChipEditPage[3]=-1\n"
                             "DefaultStartPoint[10]=abc\n");
    TAddressData addresses(settings);
    EXPECT_EQ(addresses.DefaultStartPoint(2), 0);
    EXPECT_EQ(addresses.Default32x32ChipEditPage(12), 1);
    EXPECT_EQ(addresses.DefaultStartPoint(4), 5);
    EXPECT_EQ(addresses.Default32x32ChipEditPage(3), 0);
    EXPECT_EQ(addresses.DefaultStartPoint(10), 3);
    EXPECT_EQ(settings.ReadString("LevelDataDefault", "DefaultStartPoint[2]", ""), "0");
    EXPECT_EQ(settings.ReadString("LevelDataDefault", "Default32x32ChipEditPage[12]", ""), "1");
}

TEST(AddressData, UnknownKeysAndSectionsStayAndExistingKeysKeepTheirPlace)
{
    auto settings = Settings("[Mine]\nfoo=bar\n[LevelDataAddress]\nExtra=1\nMap[13]=100\n");
    TAddressData addresses(settings);
    EXPECT_EQ(addresses.Address(TableKey::Map, 13), 0x100);
    EXPECT_EQ(settings.ReadString("Mine", "foo", ""), "bar");
    const auto keys = settings.ReadSection("LevelDataAddress");
    EXPECT_EQ(keys[0], "Extra");
    EXPECT_EQ(keys[1], "Map[13]");
    EXPECT_EQ(keys[2], "Chip32x32[0]");
    EXPECT_EQ(keys.size(), 407u);
}
