#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/files/DiskStamp.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vx;
namespace fs = std::filesystem;

namespace {

const std::vector<std::uint8_t> Old = {'o', 'l', 'd', '!'};
const std::vector<std::uint8_t> New = {'n', 'e', 'w', '!'};

class FilePaths : public ::testing::Test {
protected:
    FilePaths() { forceLanguage(Language::English); }
    ~FilePaths() override { forceLanguage(std::nullopt); }

    std::string file(const std::string& name) const { return dir.file(name); }
    // The message of the refusal, or "" when nothing was thrown.
    template <class Action>
    static std::string refusalOf(Action action)
    {
        try {
            action();
        } catch (const UserError& error) {
            return error.what();
        }
        return {};
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Special files of every sort the system lets us make here.
    std::vector<std::string> specialFiles() const
    {
        std::vector<std::string> made;
        if (::mkfifo(file("fifo").c_str(), 0644) == 0)
            made.push_back(file("fifo"));
        if (::mknod(file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
            made.push_back(file("null"));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string socketPath = file("socket");
        if (socketPath.size() < sizeof address.sun_path) {
            std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
            if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                made.push_back(socketPath);
        }
        ::close(fd);
        return made;
    }

    test::TempDir dir;
};

} // namespace

TEST_F(FilePaths, ReadingRefusesWhatIsNoRegularFileWithoutWaiting)
{
    fs::create_directory(file("folder"));
    EXPECT_NE(refusalOf([&] { readInputFile(file("folder"), InputKind::Text); }).find("It is a directory."),
              std::string::npos);
    const auto special = specialFiles();
    EXPECT_FALSE(special.empty()) << "a FIFO can always be made";
    for (const std::string& path : special) {
        const std::string refusal = refusalOf([&] { readInputFile(path, InputKind::Image); });
        EXPECT_NE(refusal.find("not a regular file"), std::string::npos) << path << ": " << refusal;
        EXPECT_NE(refusal.find(path), std::string::npos) << refusal;
    }
    EXPECT_NE(refusalOf([&] { readInputFile(file("missing"), InputKind::Text); }).find("No such file"),
              std::string::npos);
    EXPECT_FALSE(readInputFileIfPresent(file("missing"), InputKind::Text));
}

TEST_F(FilePaths, ReadingRefusesAFileOverItsKindsLimitNamingTheSize)
{
    for (InputKind kind : {InputKind::Image, InputKind::Patch, InputKind::Text, InputKind::ColourFile}) {
        const std::uint64_t limit = inputLimit(kind);
        const std::string path = file("sized");
        test::writeFile(path, std::string{});
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(limit)), 0);
        EXPECT_EQ(readInputFile(path, kind).size(), limit);
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(limit + 1)), 0);
        EXPECT_NE(refusalOf([&] { readInputFile(path, kind); }).find("more than"), std::string::npos) << limit;
    }
    EXPECT_EQ(inputLimit(InputKind::Image), 0x100040u);
    EXPECT_EQ(inputLimit(InputKind::Patch), 16u << 20);
    EXPECT_EQ(inputLimit(InputKind::Text), 1u << 20);
    EXPECT_EQ(inputLimit(InputKind::ColourFile), 192u);
    // Sparse: ten gigabytes of nothing, refused before one byte is read.
    const std::string huge = file("huge");
    test::writeFile(huge, std::string{});
    ASSERT_EQ(::truncate(huge.c_str(), off_t{10} << 30), 0);
    EXPECT_NE(refusalOf([&] {
                  readInputFile(huge, InputKind::Text);
              }).find("It has 10,737,418,240 bytes, more than the 1,048,576 a text file may have."),
              std::string::npos);
}

TEST_F(FilePaths, WritingRefusesSpecialFilesAndReadOnlyFilesAndKeepsThem)
{
    fs::create_directory(file("folder"));
    test::writeFile(file("ro"), Old);
    ::chmod(file("ro").c_str(), 0444);
    struct Case {
        std::string path;
        WriteFailure failure;
        const char* reason;
    };
    std::vector<Case> cases = {{file("folder"), WriteFailure::NotRegularFile, "It is a directory."},
                               {file("ro"), WriteFailure::ReadOnly, "read-only"}};
    for (const std::string& path : specialFiles())
        cases.push_back({path, WriteFailure::NotRegularFile, "not a regular file"});
    const auto before = names();
    for (const Case& c : cases) {
        struct stat old {};
        ::lstat(c.path.c_str(), &old);
        try {
            writeOutputFile(c.path, New);
            ADD_FAILURE() << c.path << " was written";
        } catch (const WriteError& error) {
            EXPECT_EQ(error.failure(), c.failure) << c.path;
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.path), std::string::npos) << error.what();
        }
        struct stat now {};
        ::lstat(c.path.c_str(), &now);
        EXPECT_EQ(now.st_mode, old.st_mode) << c.path << " is still what it was";
        EXPECT_EQ(now.st_ino, old.st_ino) << c.path;
    }
    EXPECT_EQ(test::readBytes(file("ro")), Old);
    EXPECT_EQ(names(), before) << "no temporary file stays";
}

TEST_F(FilePaths, WritingGoesThroughLinksAndKeepsModeAndOwner)
{
    test::writeFile(file("target"), Old);
    ::chmod(file("target").c_str(), 0640);
    fs::create_symlink("target", file("link"));
    fs::create_symlink("link", file("link-to-link"));
    writeOutputFile(file("link-to-link"), New);
    EXPECT_TRUE(fs::is_symlink(file("link")) && fs::is_symlink(file("link-to-link")));
    EXPECT_EQ(test::readBytes(file("target")), New);
    EXPECT_EQ(fs::status(file("target")).permissions(), fs::perms(0640));

    fs::create_symlink("made-by-link", file("dangling"));
    writeOutputFile(file("dangling"), New);
    EXPECT_TRUE(fs::is_symlink(file("dangling")));
    EXPECT_EQ(test::readBytes(file("made-by-link")), New);

    if (::geteuid() != 0)
        GTEST_SKIP() << "keeping another user's owner needs root";
    ASSERT_EQ(::chown(file("target").c_str(), 12345, 23456), 0);
    writeOutputFile(file("target"), Old);
    struct stat info {};
    ::stat(file("target").c_str(), &info);
    EXPECT_EQ(info.st_uid, 12345u);
    EXPECT_EQ(info.st_gid, 23456u);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(FilePaths, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryFile)
{
    test::writeFile(file("picture.png"), Old);
    // A file size limit fails the write as a full disk does.
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string refusal =
        refusalOf([&] { writeOutputFile(file("picture.png"), std::vector<std::uint8_t>(10000)); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(refusal.find("File too large"), std::string::npos) << refusal;
    EXPECT_EQ(test::readBytes(file("picture.png")), Old);
    EXPECT_EQ(names(), std::vector<std::string>{"picture.png"});

    const std::string gone = file("removed/picture.png");
    const std::string missing = refusalOf([&] { writeOutputFile(gone, New); });
    EXPECT_NE(missing.find(gone), std::string::npos) << missing;
    EXPECT_NE(missing.find("No such file or directory"), std::string::npos) << missing;
}

// A writer killed at any moment: the target is whole (old or new), or, where it is written in
// place (a second hard link), a whole backup stands beside it; what killed writers left is
// gone after the next write into the folder.
TEST_F(FilePaths, AWriterKilledAtAnyMomentLeavesAWholeFileOrABackupAndTheNextWriteClearsTheLitter)
{
    const std::vector<std::uint8_t> a(1 << 20, 'a'), b(1 << 20, 'b');
    const auto whole = [&](const std::string& path) {
        const auto bytes = test::readBytes(path);
        return bytes == a || bytes == b;
    };
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "hard-linked target" : "plain target");
        writeOutputFile(file("big.nes"), a);
        if (linked)
            fs::create_hard_link(file("big.nes"), file("link.nes"));
        int status = 0, written[2];
        for (int round = 0; round < 100; ++round) {
            const pid_t child = ::pipe(written) == 0 ? ::fork() : -1;
            for (int i = 0; child == 0; ++i)
                if (!refusalOf([&] { writeOutputFile(file("big.nes"), i % 2 ? a : b); }).empty() ||
                    ::write(written[1], "", 1) != 1)
                    ::_exit(1);
            ::close(written[1]); // killed only once it writes, however late a busy machine starts it
            ASSERT_TRUE(child > 0 && ::read(written[0], &status, 1) == 1) << "the writer failed";
            ::usleep(static_cast<useconds_t>(round * 37 % 3000));
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            ::close(written[0]);
            bool backedUp = false;
            for (const std::string& name : names())
                backedUp = backedUp || (name.ends_with(".backup") && whole(file(name)));
            ASSERT_TRUE(WIFSIGNALED(status) && (whole(file("big.nes")) || backedUp)) << "round " << round;
        }
        writeOutputFile(file("big.nes"), a);
        const std::vector<std::string> left = names(), expected{"big.nes", "link.nes"};
        EXPECT_EQ(left, std::vector(expected.begin(), expected.begin() + (linked ? 2 : 1)));
        fs::remove(file("link.nes"));
    }
}

TEST_F(FilePaths, WhereACopyCannotTakeTheFilesPlaceTheSameLengthIsWrittenInPlace)
{
    // Hard links: replacing would part them.
    test::writeFile(file("first"), Old);
    fs::create_hard_link(file("first"), file("second"));
    writeOutputFile(file("first"), New);
    EXPECT_EQ(test::readBytes(file("second")), New) << "the link holds";
    EXPECT_NE(refusalOf([&] { writeOutputFile(file("first"), std::vector<std::uint8_t>(6)); }).find("hard links"),
              std::string::npos);
    EXPECT_EQ(test::readBytes(file("first")), New);

    // A folder that refuses temporary files, and a file of another owner. Root passes
    // folder permissions and may give files away, so the writer runs as nobody.
    const bool root = ::geteuid() == 0;
    const uid_t user = root ? 65534 : ::geteuid();
    const std::string shared = file("shared"), open = file("open");
    fs::create_directory(shared);
    fs::create_directory(open);
    test::writeFile(shared + "/game.nes", Old);
    test::writeFile(open + "/theirs.nes", Old);
    if (root) {
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        for (const std::string& path : {shared, shared + "/game.nes", open})
            ASSERT_EQ(::chown(path.c_str(), user, user), 0);
        ASSERT_EQ(::chmod((open + "/theirs.nes").c_str(), 0666), 0);
    }
    ASSERT_EQ(::chmod(shared.c_str(), 0555), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (root && (::setgid(user) != 0 || ::setuid(user) != 0))
            ::_exit(100);
        int status = 0, bit = 1;
        for (const std::string& path : {shared + "/game.nes", open + "/theirs.nes"}) {
            try {
                writeOutputFile(path, New); // same length: in place
            } catch (const UserError&) {
                status |= bit;
            }
            try {
                writeOutputFile(path, std::vector<std::uint8_t>(6, 'x'));
                status |= bit << 1;
            } catch (const UserError&) {
            }
            bit <<= 2;
        }
        ::_exit(status);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(shared.c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 100) << "could not become an unprivileged user";
    EXPECT_EQ(WEXITSTATUS(status) & 3, 0) << "read-only folder: same length refused (1) or another length written (2)";
    EXPECT_EQ(test::readBytes(shared + "/game.nes"), New);
    if (!root)
        GTEST_SKIP() << "a file of another owner needs root to make";
    EXPECT_EQ(WEXITSTATUS(status) & 12, 0)
        << "another owner's file: same length refused (4) or another length written (8)";
    EXPECT_EQ(test::readBytes(open + "/theirs.nes"), New);
    struct stat info {};
    ::stat((open + "/theirs.nes").c_str(), &info);
    EXPECT_EQ(info.st_uid, 0u) << "the file did not change hands";
    EXPECT_EQ(std::distance(fs::directory_iterator(open), fs::directory_iterator()), 1) << "no temporary file stays";
}

TEST_F(FilePaths, EachFieldOfAStampTellsAChangeTheOthersMiss)
{
    const std::string path = file("game.nes");
    const auto stampAt = [&](long nanoseconds) {
        const timespec times[2] = {{1000, nanoseconds}, {1000, nanoseconds}};
        EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        return statOfFile(path).value();
    };
    writeOutputFile(path, Old);
    const DiskStamp first = stampAt(5);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(first.device, static_cast<std::uint64_t>(info.st_dev));
    EXPECT_TRUE(first.sameSizeAndTime(stampAt(5)));
    EXPECT_FALSE(first.sameSizeAndTime(stampAt(6))) << "a nanosecond later";
    writeOutputFile(path, New);
    EXPECT_FALSE(first.sameSizeAndTime(stampAt(5))) << "another file renamed over it, of the same size and time";
}
