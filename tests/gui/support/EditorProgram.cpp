#include "tests/gui/support/EditorProgram.h"
#include "tests/support/TempDir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <filesystem>

namespace vx::test {

std::string leftCopyFolder(const TempDir& dir) { return dir.file("run/vexalon2editor/999999999"); }

bool startEditorProgram(QProcess& editor, const TempDir& dir, const QStringList& arguments)
{
    const std::string left = leftCopyFolder(dir);
    std::filesystem::create_directories(left);
    writeFile(left + "/game.nes", "copy");
    writeFile(left + "/playing", "999999999\t" + left + "/game.nes\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const auto place = [&](const char* name, const std::string& path) {
        environment.insert(QString::fromLatin1(name), QString::fromStdString(path));
    };
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    place("HOME", dir.path());
    place("XDG_CONFIG_HOME", dir.file("config"));
    place("XDG_STATE_HOME", dir.file("state"));
    place("XDG_RUNTIME_DIR", dir.file("run"));
    editor.setProcessEnvironment(environment);
    editor.start(QStringLiteral(VX_EDITOR_PROGRAM), arguments);
    if (!editor.waitForStarted())
        return false;
    QElapsedTimer clock;
    clock.start();
    while (std::filesystem::exists(left) && clock.elapsed() < 10000)
        QTest::qSleep(20);
    return !std::filesystem::exists(left);
}

} // namespace vx::test
