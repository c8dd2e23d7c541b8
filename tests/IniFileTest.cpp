#include "core/Errors.h"
#include "core/MyIniFiles.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vx;

TEST(IniFile, KeepsFileOrderAndAppendsNewKeysAtTheEndOfTheirSection)
{
    auto ini = TMemIniFile::FromText("[B]\nz=1\na=2\n[A]\nk=v\n");
    ini.WriteString("B", "new", "3");
    ini.WriteString("C", "x", "y");
    ini.WriteString("A", "k", "changed");
    EXPECT_EQ(ini.GetText(), "[B]\nz=1\na=2\nnew=3\n[A]\nk=changed\n[C]\nx=y\n");
}

TEST(IniFile, KeepsWhatTheUserWroteAndChangesOnlyTheValuesWritten)
{
    // BOM, CR LF, comments, blank lines, odd spacing, a trailing comment, no final line break.
    const std::string text = "\xEF\xBB\xBF; head\r\n\r\n[S]\r\n  ; note\r\n key  =  some value \r\n"
                             "same = 1\r\nMap[1]=4600 ; moved\r\n\r\n; next\r\n[T]\r\nk=v";
    auto ini = TMemIniFile::FromText(text);
    EXPECT_EQ(ini.ReadString("S", "key", "?"), "some value");
    EXPECT_EQ(ini.GetText(), text) << "nothing written: every byte stays";
    EXPECT_EQ(ini.LineOf("S", "map[1]"), 7);
    ini.WriteString("S", "same", "1");
    ini.WriteString("S", "key", "new");
    ini.WriteString("S", "added", "2");
    ini.WriteString("U", "x", "y");
    EXPECT_EQ(ini.GetText(), "\xEF\xBB\xBF; head\r\n\r\n[S]\r\n  ; note\r\n key  =  new\r\nsame = 1\r\n"
                             "Map[1]=4600 ; moved\r\nadded=2\r\n\r\n; next\r\n[T]\r\nk=v\r\n[U]\r\nx=y");
    EXPECT_EQ(ini.LineOf("S", "added"), 0);
}

TEST(IniFile, MatchesSectionAndKeyNamesWithoutCase)
{
    auto ini = TMemIniFile::FromText("[LevelDataAddress]\nMAP[3]=1\n");
    EXPECT_EQ(ini.ReadString("leveldataaddress", "map[3]", ""), "1");
    ini.WriteString("LEVELDATAADDRESS", "Map[3]", "2");
    EXPECT_EQ(ini.GetText(), "[LevelDataAddress]\nMAP[3]=2\n");
}

TEST(IniFile, ReadsOddInputWithoutLosingWhatItDoesNotKnow)
{
    const std::string text = std::string("\xEF\xBB\xBF") + "orphan=1\r\n[S]\r\nk=first\r\nk=second\r\n"
                             "[broken\r\nnoequals\r\n" + std::string(100000, 'x') + "=long\r" +
                             std::string("bin\0ary=1\n", 10);
    auto ini = TMemIniFile::FromText(text);
    EXPECT_EQ(ini.ReadSections(), std::vector<std::string>{"S"}) << "the orphan line is in no section";
    EXPECT_EQ(ini.ReadString("S", "k", ""), "first") << "the first of duplicate keys wins";
    EXPECT_EQ(ini.ReadString("S", std::string(100000, 'x'), ""), "long");
    EXPECT_EQ(ini.ReadString("S", std::string("bin\0ary", 7), ""), "1");
    EXPECT_FALSE(ini.ValueExists("S", "noequals"));
    // A section line without "]" and a line without "=" stay in the file as they were.
    const std::string written = ini.GetText();
    EXPECT_NE(written.find("\r\n[broken\r\n"), std::string::npos);
    EXPECT_NE(written.find("\r\nnoequals\r\n"), std::string::npos);
    EXPECT_EQ(written.find("orphan=1"), 3u) << "a line before any section stays, after the BOM";
}

TEST(IniFile, IntegersAreDecimalAndFallBackToTheDefault)
{
    auto ini = TMemIniFile::FromText("[S]\na=12\nb=\nc=x1\nd=-3\n");
    EXPECT_EQ(ini.ReadInteger("S", "a", 7), 12);
    EXPECT_EQ(ini.ReadInteger("S", "b", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "c", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "d", 7), -3);
    EXPECT_EQ(ini.ReadInteger("S", "missing", 7), 7);
}

TEST(IniFile, HexReadsFallBackOnAnythingButPlainDigits)
{
    auto ini = TMyMemIniFile(TMemIniFile::FromText("[S]\na=9f10\nb=0x9F10\nc=\nd=$10\ne=FFFFFFFF\n"));
    EXPECT_EQ(ini.ReadHex("S", "a", 5), 0x9F10);
    EXPECT_EQ(ini.ReadHex("S", "b", 5), 5);
    EXPECT_EQ(ini.ReadHex("S", "c", 5), 5);
    EXPECT_EQ(ini.ReadHex("S", "d", 5), 5);
    EXPECT_EQ(ini.ReadHex("S", "e", 5), -1);
    EXPECT_EQ(ini.ReadHex("S", "missing", 0x3C10), 0x3C10);
    ini.WriteHex("S", "a", 0x9F10);
    ini.WriteHex("S", "z", 0);
    ini.WriteHex("S", "e", -1);
    EXPECT_EQ(ini.ReadString("S", "a", ""), "9F10");
    EXPECT_EQ(ini.ReadString("S", "z", ""), "0");
    EXPECT_EQ(ini.ReadString("S", "e", ""), "FFFFFFFF");
}

TEST(IniFile, UpdateFileWritesWhatWasReadAndChanged)
{
    test::TempDir dir;
    const std::string path = dir.File("vexalon2editor.ini");
    test::WriteFile(path, "[S]\r\nkey = 1\r\n");
    TMemIniFile ini(path);
    ini.WriteString("S", "other", "2");
    ini.UpdateFile();
    EXPECT_EQ(test::ReadText(path), "[S]\r\nkey = 1\r\nother=2\r\n");
    TMemIniFile again(path);
    EXPECT_EQ(again.ReadString("S", "other", ""), "2");
}

TEST(IniFile, MissingFileReadsAsEmpty)
{
    test::TempDir dir;
    TMemIniFile missing(dir.File("absent.ini"));
    EXPECT_TRUE(missing.ReadSections().empty());
}

TEST(IniFile, FailedUpdateThrowsAndLeavesNoTemporaryFile)
{
    test::TempDir dir;
    // A folder where the file should be: the final rename cannot replace it, even as root.
    const std::string path = dir.File("settings.ini");
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    auto ini = TMemIniFile::FromText("[S]\nk=1\n", path);
    EXPECT_THROW(ini.UpdateFile(), VxError);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()), 1);

    auto nowhere = TMemIniFile::FromText("[S]\nk=1\n", dir.File("no/such/folder.ini"));
    EXPECT_THROW(nowhere.UpdateFile(), VxError);
}
