#include "core/model/AddressData.h"
#include "core/base/Language.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>

using namespace vx;

namespace {
SettingsFile settingsFrom(const std::string& text) { return SettingsFile(IniFile::fromText(text)); }
} // namespace

TEST(AddressData, MissingFileIsCompletedWithEveryDefaultInOrder)
{
    test::TempDir dir;
    const std::string path = dir.file("vexalon2editor.ini");
    SettingsFile settings(path);
    AddressData addresses(settings);
    settings.updateFile();

    SettingsFile written(path);
    EXPECT_EQ(written.readSections(), (std::vector<std::string>{"LevelDataAddress", "LevelDataDefault"}));
    const auto keys = written.readSection("LevelDataAddress");
    ASSERT_EQ(keys.size(), 406u);
    EXPECT_EQ(keys[0], "Chip32x32[0]");
    EXPECT_EQ(keys[28], "PaletteAnimePalette[0]");
    EXPECT_EQ(keys[29], "Chip32x32[1]");
    EXPECT_EQ(keys[405], "PaletteAnimePalette[13]");
    const auto defaults = written.readSection("LevelDataDefault");
    ASSERT_EQ(defaults.size(), 28u);
    EXPECT_EQ(defaults[0], "Default32x32ChipEditPage[0]");
    EXPECT_EQ(defaults[1], "DefaultStartPoint[0]");
    EXPECT_EQ(defaults[27], "DefaultStartPoint[13]");

    const std::string text = test::readText(path);
    for (const char* line :
         {"\nChip32x32[0]=10\n", "\nMap[9]=4510\n", "\nBGPalette[9]=7F12\n", "\nDefaultStartPoint[9]=3\n",
          "\nDefault32x32ChipEditPage[8]=1\n", "\nPaletteAnimePalette[13]=17F32\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST(AddressData, DefaultsFollowBankAndPageRules)
{
    auto settings = settingsFrom("");
    AddressData addresses(settings);
    EXPECT_EQ(addresses.address(TableKey::Map, 0), 0x0510);
    EXPECT_EQ(addresses.address(TableKey::Map, 9), 0x4510);
    EXPECT_EQ(addresses.address(TableKey::BGPalette, 9), 0x7F12);
    EXPECT_EQ(addresses.address(TableKey::Chip32x32, 13), 0x14010);
    EXPECT_EQ(addresses.address(TableKey::PatternTableSetting, 7), 0x1FC10);
    EXPECT_EQ(addresses.address(TableKey::PatternTableSetting, 8), 0x3D10);
    EXPECT_EQ(addresses.default32x32ChipEditPage(7), 0);
    EXPECT_EQ(addresses.default32x32ChipEditPage(8), 1);
    EXPECT_EQ(addresses.defaultStartPoint(0), 0);
    EXPECT_EQ(addresses.defaultStartPoint(13), 3);
}

TEST(AddressData, UnreadableValuesTakeTheDefaultAreReportedAndKeepTheirLines)
{
    forceLanguage(Language::English);
    const std::string text = "; mine\n[LevelDataAddress]\nMap[3]=9f10\nMap[1]=4600 ; moved\nMap[2]=0x4600\nMap[4]=\n"
                             "[LevelDataDefault]\nDefaultStartPoint[2]=7\nDefault32x32ChipEditPage[12]=2\n"
                             "DefaultStartPoint[4]=5\nDefault32x32ChipEditPage[3]=-1\nDefaultStartPoint[10]=abc\n";
    auto settings = SettingsFile(IniFile::fromText(text, "/cfg/vexalon2editor.ini"));
    AddressData addresses(settings);
    EXPECT_EQ(addresses.address(TableKey::Map, 3), 0x9F10) << "lower case reads";
    EXPECT_EQ(addresses.address(TableKey::Map, 1), 0x4510);
    EXPECT_EQ(addresses.address(TableKey::Map, 2), 0x8510);
    EXPECT_EQ(addresses.address(TableKey::Map, 4), 0x10510);
    EXPECT_EQ(addresses.defaultStartPoint(2), 0);
    EXPECT_EQ(addresses.default32x32ChipEditPage(12), 1);
    EXPECT_EQ(addresses.defaultStartPoint(4), 5);
    EXPECT_EQ(addresses.default32x32ChipEditPage(3), 0);
    EXPECT_EQ(addresses.defaultStartPoint(10), 3);
    // Every line the user wrote stays as written; only the keys the file lacked are added.
    EXPECT_EQ(settings.getText().rfind("; mine\n[LevelDataAddress]\nMap[3]=9f10\nMap[1]=4600 ; moved\nMap[2]=0x4600\n"
                                       "Map[4]=\nChip32x32[0]=10\n",
                                       0),
              0u);
    for (const char* line : {"\nMap[3]=9f10\n", "\nMap[1]=4600 ; moved\n", "\nDefaultStartPoint[2]=7\n",
                             "\nDefault32x32ChipEditPage[3]=-1\n", "\nMap[4]=\n"})
        EXPECT_NE(settings.getText().find(line), std::string::npos) << line;
    const auto& problems = addresses.problems();
    ASSERT_EQ(problems.size(), 7u);
    EXPECT_EQ(settingsProblemText(problems[0]),
              "/cfg/vexalon2editor.ini, line 4: the value \"4600 ; moved\" of Map[1] cannot be used (only hexadecimal "
              "digits without a prefix are read); the default 4510 is in force and the line is kept as written.");
    EXPECT_EQ(problems[1].line, 5);
    EXPECT_EQ(problems[4].key, "Default32x32ChipEditPage[3]");
    EXPECT_NE(settingsProblemText(problems[3]).find("from 0 to 5"), std::string::npos);
    forceLanguage(std::nullopt);
}

TEST(AddressData, UnknownKeysAndSectionsStayAndExistingKeysKeepTheirPlace)
{
    auto settings = settingsFrom("[Mine]\nfoo=bar\n[LevelDataAddress]\nExtra=1\nMap[13]=100\n");
    AddressData addresses(settings);
    EXPECT_EQ(addresses.address(TableKey::Map, 13), 0x100);
    EXPECT_EQ(settings.readString("Mine", "foo", ""), "bar");
    const auto keys = settings.readSection("LevelDataAddress");
    EXPECT_EQ(keys[0], "Extra");
    EXPECT_EQ(keys[1], "Map[13]");
    EXPECT_EQ(keys[2], "Chip32x32[0]");
    EXPECT_EQ(keys.size(), 407u);
}

TEST(AddressData, EveryDefaultIsTheOneTheSettingsDocumentGives)
{
    // The document is what users read; a table moved in the code or there must not pass.
    std::istringstream document(test::readText(VX_DOCS_DIR "/settings-file.md"));
    int rows = 0;
    for (std::string line; std::getline(document, line);) {
        char name[64] = {}, page[8] = {};
        unsigned address = 0, length = 0;
        if (std::sscanf(line.c_str(), "| `%63[A-Za-z0-9]` | %x | %u | %7s |", name, &address, &length, page) != 4)
            continue;
        const auto key = static_cast<TableKey>(rows);
        ASSERT_LT(rows, TableKeyCount) << line;
        EXPECT_EQ(infoOf(key).name, name) << "row " << rows;
        EXPECT_EQ(defaultAddress(key, 0), static_cast<std::int32_t>(address)) << name;
        EXPECT_EQ(infoOf(key).length, static_cast<std::int32_t>(length)) << name;
        EXPECT_EQ(defaultAddress(key, 9) - defaultAddress(key, 1), std::string(page) == "page" ? 0x100 : 0) << name;
        ++rows;
    }
    EXPECT_EQ(rows, TableKeyCount);
    EXPECT_EQ(defaultAddress(TableKey::Map, 9), 0x4510);
    EXPECT_EQ(defaultAddress(TableKey::BGPalette, 9), 0x7F12);
}
