#include "core/files/IniFile.h"
#include "core/base/Errors.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vx;

TEST(IniFile, KeepsFileOrderAndAppendsNewKeysAtTheEndOfTheirSection)
{
    auto ini = IniFile::fromText("[B]\nz=1\na=2\n[A]\nk=v\n");
    ini.writeString("B", "new", "3");
    ini.writeString("C", "x", "y");
    ini.writeString("A", "k", "changed");
    EXPECT_EQ(ini.getText(), "[B]\nz=1\na=2\nnew=3\n[A]\nk=changed\n[C]\nx=y\n");
}

TEST(IniFile, KeepsWhatTheUserWroteAndChangesOnlyTheValuesWritten)
{
    // BOM, mixed line ends (CR CR LF is one), comments, blank lines, odd spacing, a trailing comment, no final one.
    const std::string text = "\xEF\xBB\xBF; head\r\n\n[S]\r\n  ; note\r\r\n key  =  some value \n"
                             "same = 1\r\nMap[1]=4600 ; moved\r\n\r\n; next\r[T]\r\nk=v";
    auto ini = IniFile::fromText(text);
    EXPECT_EQ(ini.readString("S", "key", "?"), "some value");
    EXPECT_EQ(ini.getText(), text) << "nothing written: every byte stays";
    EXPECT_EQ(ini.lineOf("S", "map[1]"), 7);
    ini.writeString("S", "same", "1");
    ini.writeString("S", "key", "new");
    ini.writeString("S", "added", "2");
    ini.writeString("U", "x", "y");
    EXPECT_EQ(ini.getText(),
              "\xEF\xBB\xBF; head\r\n\n[S]\r\n  ; note\r\r\n key  =  new\nsame = 1\r\n"
              "Map[1]=4600 ; moved\r\nadded=2\r\n\r\n; next\r[T]\r\nk=v\r\n[U]\r\nx=y");
    EXPECT_EQ(ini.lineOf("S", "added"), 0);
    auto mostlyDoubled = IniFile::fromText("[S]\r\r\nk=1\nj=2\r\r\n");
    mostlyDoubled.writeString("S", "n", "3");
    EXPECT_EQ(mostlyDoubled.getText(), "[S]\r\r\nk=1\nj=2\r\r\nn=3\r\r\n") << "new lines end as most lines do";
}

TEST(IniFile, MatchesSectionAndKeyNamesWithoutCase)
{
    auto ini = IniFile::fromText("[LevelDataAddress]\nMAP[3]=1\n");
    EXPECT_EQ(ini.readString("leveldataaddress", "map[3]", ""), "1");
    ini.writeString("LEVELDATAADDRESS", "Map[3]", "2");
    EXPECT_EQ(ini.getText(), "[LevelDataAddress]\nMAP[3]=2\n");
}

TEST(IniFile, ReadsOddInputWithoutLosingWhatItDoesNotKnow)
{
    const std::string text = std::string("\xEF\xBB\xBF") +
        "orphan=1\r\n[S]\r\nk=first\r\nk=second\r\n"
        "[broken\r\nnoequals\r\n" +
        std::string(100000, 'x') + "=long\r" + std::string("bin\0ary=1\n", 10);
    auto ini = IniFile::fromText(text);
    EXPECT_EQ(ini.readSections(), std::vector<std::string>{"S"}) << "the orphan line is in no section";
    EXPECT_EQ(ini.readString("S", "k", ""), "first") << "the first of duplicate keys wins";
    EXPECT_EQ(ini.readString("S", std::string(100000, 'x'), ""), "long");
    EXPECT_EQ(ini.readString("S", std::string("bin\0ary", 7), ""), "1");
    EXPECT_FALSE(ini.valueExists("S", "noequals"));
    // A section line without "]" and a line without "=" stay in the file as they were.
    const std::string written = ini.getText();
    EXPECT_NE(written.find("\r\n[broken\r\n"), std::string::npos);
    EXPECT_NE(written.find("\r\nnoequals\r\n"), std::string::npos);
    EXPECT_EQ(written.find("orphan=1"), 3u) << "a line before any section stays, after the BOM";
}

TEST(IniFile, IntegersAreDecimalAndFallBackToTheDefault)
{
    auto ini = IniFile::fromText("[S]\na=12\nb=\nc=x1\nd=-3\n");
    EXPECT_EQ(ini.readInteger("S", "a", 7), 12);
    EXPECT_EQ(ini.readInteger("S", "b", 7), 7);
    EXPECT_EQ(ini.readInteger("S", "c", 7), 7);
    EXPECT_EQ(ini.readInteger("S", "d", 7), -3);
    EXPECT_EQ(ini.readInteger("S", "missing", 7), 7);
}

TEST(IniFile, HexReadsFallBackOnAnythingButPlainDigits)
{
    auto ini = SettingsFile(IniFile::fromText("[S]\na=9f10\nb=0x9F10\nc=\nd=$10\ne=FFFFFFFF\n"));
    EXPECT_EQ(ini.readHex("S", "a", 5), 0x9F10);
    EXPECT_EQ(ini.readHex("S", "b", 5), 5);
    EXPECT_EQ(ini.readHex("S", "c", 5), 5);
    EXPECT_EQ(ini.readHex("S", "d", 5), 5);
    EXPECT_EQ(ini.readHex("S", "e", 5), -1);
    EXPECT_EQ(ini.readHex("S", "missing", 0x3C10), 0x3C10);
    ini.writeHex("S", "a", 0x9F10);
    ini.writeHex("S", "z", 0);
    ini.writeHex("S", "e", -1);
    EXPECT_EQ(ini.readString("S", "a", ""), "9F10");
    EXPECT_EQ(ini.readString("S", "z", ""), "0");
    EXPECT_EQ(ini.readString("S", "e", ""), "FFFFFFFF");
}

TEST(IniFile, UpdateFileWritesWhatWasReadAndChanged)
{
    test::TempDir dir;
    const std::string path = dir.file("vexalon2editor.ini");
    test::writeFile(path, "[S]\r\nkey = 1\r\n");
    IniFile ini(path);
    ini.writeString("S", "other", "2");
    ini.updateFile();
    EXPECT_EQ(test::readText(path), "[S]\r\nkey = 1\r\nother=2\r\n");
    IniFile again(path);
    EXPECT_EQ(again.readString("S", "other", ""), "2");
}

TEST(IniFile, MissingFileReadsAsEmpty)
{
    test::TempDir dir;
    IniFile missing(dir.file("absent.ini"));
    EXPECT_TRUE(missing.readSections().empty());
}

TEST(IniFile, FailedUpdateThrowsAndLeavesNoTemporaryFile)
{
    test::TempDir dir;
    // A folder where the file should be: the final rename cannot replace it, even as root.
    const std::string path = dir.file("settings.ini");
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    auto ini = IniFile::fromText("[S]\nk=1\n", path);
    EXPECT_THROW(ini.updateFile(), UserError);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);

    auto nowhere = IniFile::fromText("[S]\nk=1\n", dir.file("no/such/folder.ini"));
    EXPECT_THROW(nowhere.updateFile(), UserError);
}
