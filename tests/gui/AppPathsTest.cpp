#include "gui/app/AppPaths.h"
#include "tests/support/TempDir.h"

#include <QCoreApplication>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vx;
namespace fs = std::filesystem;

namespace {

// An environment variable changed for one test and put back after it.
class EnvironmentVariable {
public:
    explicit EnvironmentVariable(const char* name) : name_(name)
    {
        if (const char* value = std::getenv(name))
            old_ = value;
    }
    ~EnvironmentVariable() { set(old_); }
    void set(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name_, value->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class AppPathsTest : public ::testing::Test {
protected:
    AppPathsTest() : oldName_(QCoreApplication::applicationName())
    {
        // The editor's name picks the folder under the configuration folder.
        QCoreApplication::setApplicationName(QStringLiteral("vexalon2editor"));
        fs::create_directories(bin);
        xdg.set(dir.path() + "/config");
    }
    ~AppPathsTest() override { QCoreApplication::setApplicationName(oldName_); }

    static std::string toStd(const QString& path) { return path.toStdString(); }

    test::TempDir dir;
    const std::string bin = dir.path() + "/prefix/bin";
    const std::string config = dir.path() + "/config/vexalon2editor";
    EnvironmentVariable xdg{"XDG_CONFIG_HOME"};
    EnvironmentVariable home{"HOME"};

private:
    QString oldName_;
};

} // namespace

TEST_F(AppPathsTest, DataBesideTheProgramElseInTheShareFolderOfAnInstall)
{
    EXPECT_EQ(toStd(findAppPaths(QString::fromStdString(bin)).dataFolder), dir.path() + "/prefix/share/vexalon2editor");
    test::writeFile(bin + "/fcpalette.pal", std::string(192, '\0'));
    EXPECT_EQ(toStd(findAppPaths(QString::fromStdString(bin)).dataFolder), bin);
}

TEST_F(AppPathsTest, SettingsBesideAWritableProgramWithItsDataPreferencesInTheUsersConfigFolder)
{
    // An install (data in ../share) keeps settings in the config folder even in a writable bin/.
    AppPaths paths = findAppPaths(QString::fromStdString(bin));
    EXPECT_EQ(toStd(paths.settingsFile), config + "/vexalon2editor.ini");
    test::writeFile(bin + "/fcpalette.pal", std::string(192, '\0'));
    paths = findAppPaths(QString::fromStdString(bin));
    EXPECT_EQ(toStd(paths.settingsFile), bin + "/vexalon2editor.ini");
    EXPECT_EQ(toStd(paths.preferencesFile), config + "/preferences.ini");
    EXPECT_TRUE(fs::is_directory(config)) << "the folder is made for the files written into it";
    // A settings file already there and writable stays in use.
    test::writeFile(bin + "/vexalon2editor.ini", "");
    EXPECT_EQ(toStd(findAppPaths(QString::fromStdString(bin)).settingsFile), bin + "/vexalon2editor.ini");

    // Without XDG_CONFIG_HOME, ~/.config.
    xdg.set(std::nullopt);
    home.set(dir.path() + "/home");
    paths = findAppPaths(QString::fromStdString(bin));
    EXPECT_EQ(toStd(paths.preferencesFile), dir.path() + "/home/.config/vexalon2editor/preferences.ini");
    EXPECT_TRUE(fs::is_directory(dir.path() + "/home/.config/vexalon2editor"));
}

TEST_F(AppPathsTest, SettingsInTheConfigFolderWhenTheProgramFolderOrItsFileIsNotWritable)
{
    // A system folder, and a writable folder whose settings file is read-only. Root may write
    // anything, so the paths are found by a child process running as nobody.
    const bool root = ::geteuid() == 0;
    const uid_t user = root ? 65534 : ::geteuid();
    const std::string open = dir.path() + "/open";
    fs::create_directories(open);
    fs::create_directories(dir.path() + "/config");
    for (const std::string& folder : {bin, open})
        test::writeFile(folder + "/fcpalette.pal", std::string(192, '\0'));
    test::writeFile(open + "/vexalon2editor.ini", "");
    ASSERT_EQ(::chmod((open + "/vexalon2editor.ini").c_str(), 0444), 0);
    ASSERT_EQ(::chmod(bin.c_str(), 0555), 0);
    if (root) {
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        for (const std::string& path : {open, dir.path() + "/config"})
            ASSERT_EQ(::chown(path.c_str(), user, user), 0);
    }
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (root && (::setgid(user) != 0 || ::setuid(user) != 0))
            ::_exit(100);
        std::string found;
        for (const std::string& folder : {bin, open})
            found += toStd(findAppPaths(QString::fromStdString(folder)).settingsFile) + "\n";
        const bool written = ::write(pipeEnds[1], found.data(), found.size()) == static_cast<ssize_t>(found.size());
        ::_exit(written ? 0 : 101);
    }
    ::close(pipeEnds[1]);
    std::string found;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        found.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(bin.c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 100) << "could not become an unprivileged user";
    ASSERT_EQ(WEXITSTATUS(status), 0);
    const std::string inConfig = config + "/vexalon2editor.ini";
    EXPECT_EQ(found, inConfig + "\n" + inConfig + "\n");
}
