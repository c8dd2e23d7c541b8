#include "core/files/RecentFiles.h"
#include "core/files/IniFile.h"

#include <gtest/gtest.h>

using namespace vx;

// What the preferences file may hold after a hand edit, and paths the file cannot hold.
TEST(RecentFiles, ReadsOnlyUsableDistinctEntriesAndClearsStaleSlotsWhenStored)
{
    auto preferences = IniFile::fromText("[RecentFiles]\nFile1=/a.nes\nFile2=\nFile3=/b.nes\nFile4=/a.nes\n"
                                         "File9=/ninth.nes\n[TestPlay]\nCommand=emu %f\n");
    RecentFiles files;
    files.load(preferences);
    EXPECT_EQ(files.paths(), (std::vector<std::string>{"/a.nes", "/b.nes"}));

    files.add("/with\nnewline.nes");
    files.add("");
    EXPECT_EQ(files.paths().size(), 2u) << "a path that cannot stand on one line is not kept";
    files.remove("/a.nes");
    files.store(preferences);
    EXPECT_EQ(preferences.readString("RecentFiles", "File1", "?"), "/b.nes");
    EXPECT_EQ(preferences.readString("RecentFiles", "File2", "?"), "");
    EXPECT_EQ(preferences.readString("RecentFiles", "File3", "?"), "") << "an old entry would come back";
    EXPECT_EQ(preferences.readString("TestPlay", "Command", ""), "emu %f") << "other preferences stay";
}
