#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QTemporaryDir;

namespace vx {

class MainForm;
class IniFile;
class Prompts;

// The emulator command's words as a shell would split them (it is never run through one),
// with "%f" standing for the file; the file is the last word when no "%f" is given. Empty
// for an empty command, nothing when a quote is left open.
std::optional<QStringList> emulatorArguments(const QString& command, const QString& file);

// Why a program cannot be started ("not found", "not executable"), checked beforehand
// because a failed detached start gives no reason; nothing when it looks startable.
std::optional<QString> programProblem(const QString& program);

// Tools > Test Play: the image as it stands, unsaved edits included, goes to a copy under
// its own name in a private temporary folder (removed when the editor exits), and the
// user's emulator is started on it without waiting. The open image, its edited flags and
// its history stay as they are.
class TestPlay : public QObject {
    Q_OBJECT
public:
    // `preferences` keeps the command ([TestPlay] Command); without it the command lasts
    // for the run only.
    TestPlay(MainForm& main, Prompts& prompts, IniFile* preferences);
    ~TestPlay() override;

    // With no command set, the settings come first.
    void run();
    // Tools > Emulator Settings; true when OK was chosen.
    bool changeCommand();
    const QString& Command() const { return command_; }

private:
    std::optional<QString> writeCopy();
    void fail(const QString& reason);

    MainForm& main_;
    Prompts& prompts_;
    IniFile* preferences_;
    QString command_;
    std::unique_ptr<QTemporaryDir> folder_;
};

// The window's test play, made on first use.
TestPlay& testPlayOf(MainForm& main, Prompts& prompts, IniFile* preferences);

} // namespace vx
