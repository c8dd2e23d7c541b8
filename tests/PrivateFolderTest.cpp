#include "core/files/PrivateFolder.h"
#include "core/base/Language.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vx;
namespace fs = std::filesystem;

namespace {

const std::vector<std::uint8_t> New = {'n', 'e', 'w', '!'};

mode_t modeOf(const std::string& path)
{
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// Another user's, made by root; elsewhere the case cannot be made.
bool giveAway(const std::string& path) { return ::geteuid() == 0 && ::lchown(path.c_str(), 65534, 65534) == 0; }

} // namespace

TEST(PrivateFolder, OnlyAFolderOfThisUserThatIsNoLinkIsUsedAndItIsMadePrivate)
{
    forceLanguage(Language::English);
    test::TempDir dir;
    fs::create_directory(dir.file("mine"));
    ::chmod(dir.file("mine").c_str(), 0755);
    ASSERT_TRUE(PrivateFolder::open(dir.file("mine"), false).ok());
    EXPECT_EQ(modeOf(dir.file("mine")), 0700u);
    const Result<PrivateFolder> made = PrivateFolder::open(dir.file("new/deeper"), true);
    ASSERT_TRUE(made.ok());
    EXPECT_EQ(modeOf(dir.file("new/deeper")), 0700u);
    EXPECT_FALSE(made.value().folder("sub", false).ok()) << "not made unless asked";

    fs::create_directory_symlink(dir.file("mine"), dir.file("alias"));
    const Result<PrivateFolder> link = PrivateFolder::open(dir.file("alias"), true);
    ASSERT_FALSE(link.ok());
    EXPECT_NE(link.error().text().find("link"), std::string::npos) << link.error().text();
    test::writeFile(dir.file("plain"), "x");
    EXPECT_FALSE(PrivateFolder::open(dir.file("plain"), true).ok());
    fs::create_directory(dir.file("theirs"));
    ::chmod(dir.file("theirs").c_str(), 0777);
    if (giveAway(dir.file("theirs"))) {
        const Result<PrivateFolder> theirs = PrivateFolder::open(dir.file("theirs"), true);
        ASSERT_FALSE(theirs.ok());
        EXPECT_NE(theirs.error().text().find("another user"), std::string::npos);
        EXPECT_EQ(modeOf(dir.file("theirs")), 0777u) << "another user's folder is left as it is";
    }
    forceLanguage(std::nullopt);
}

TEST(PrivateFolder, FilesAreWrittenAnewPrivateNeverThroughALinkAndOnlyOwnFilesAreReadOrRemoved)
{
    test::TempDir dir;
    test::writeFile(dir.file("victim"), "precious");
    const Result<PrivateFolder> opened = PrivateFolder::open(dir.file("own"), true);
    ASSERT_TRUE(opened.ok());
    const PrivateFolder& folder = opened.value();
    fs::create_symlink(dir.file("victim"), folder.pathOf("linked"));
    fs::create_symlink(dir.file("nowhere"), folder.pathOf("dangling"));
    test::writeFile(folder.pathOf("loose"), "old");
    ::chmod(folder.pathOf("loose").c_str(), 0644);
    const bool foreign = giveAway(folder.pathOf("loose"));

    EXPECT_FALSE(folder.read("linked", InputKind::Text)) << "a link is no file of ours";
    EXPECT_FALSE(folder.remove("linked"));
    if (foreign) {
        EXPECT_FALSE(folder.read("loose", InputKind::Text)) << "nor is another user's file";
        EXPECT_FALSE(folder.remove("loose"));
    }
    for (const char* name : {"linked", "dangling", "loose"}) {
        SCOPED_TRACE(name);
        folder.write(name, New);
        EXPECT_EQ(folder.entry(name), PrivateFolder::Entry::File);
        EXPECT_EQ(modeOf(folder.pathOf(name)), 0600u);
        EXPECT_EQ(folder.read(name, InputKind::Text), New);
    }
    EXPECT_EQ(test::readText(dir.file("victim")), "precious");
    EXPECT_FALSE(fs::exists(dir.file("nowhere")));
    EXPECT_TRUE(folder.remove("loose"));
    EXPECT_EQ(folder.entry("loose"), PrivateFolder::Entry::Missing);
}
