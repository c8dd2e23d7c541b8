#include "core/MyIniFiles.h"
#include "core/RecentFiles.h"

#include <gtest/gtest.h>

using namespace vx;

// What the preferences file may hold after a hand edit, and paths the file cannot hold.
TEST(RecentFiles, ReadsOnlyUsableDistinctEntriesAndClearsStaleSlotsWhenStored)
{
    auto preferences = TMemIniFile::FromText("[RecentFiles]\nFile1=/a.nes\nFile2=\nFile3=/b.nes\nFile4=/a.nes\n"
                                             "File9=/ninth.nes\n[TestPlay]\nCommand=emu %f\n");
    TRecentFiles files;
    files.Load(preferences);
    EXPECT_EQ(files.Paths(), (std::vector<std::string>{"/a.nes", "/b.nes"}));

    files.Add("/with\nnewline.nes");
    files.Add("");
    EXPECT_EQ(files.Paths().size(), 2u) << "a path that cannot stand on one line is not kept";
    files.Remove("/a.nes");
    files.Store(preferences);
    EXPECT_EQ(preferences.ReadString("RecentFiles", "File1", "?"), "/b.nes");
    EXPECT_EQ(preferences.ReadString("RecentFiles", "File2", "?"), "");
    EXPECT_EQ(preferences.ReadString("RecentFiles", "File3", "?"), "") << "an old entry would come back";
    EXPECT_EQ(preferences.ReadString("TestPlay", "Command", ""), "emu %f") << "other preferences stay";
}
