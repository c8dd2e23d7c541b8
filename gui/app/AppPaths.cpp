#include "gui/app/AppPaths.h"

#include "core/files/DataFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <unistd.h>

namespace vx {
namespace {

const QString SettingsName = QStringLiteral("vexalon2editor.ini");

// access() rather than the permission bits: it answers for this user, root, ACLs and
// read-only mounts alike.
bool writable(const QString& path) { return ::access(QFile::encodeName(path).constData(), W_OK) == 0; }
bool exists(const QString& path) { return ::access(QFile::encodeName(path).constData(), F_OK) == 0; }

// Made here because the files in it are written by a path that makes no folders.
QString configFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    return folder;
}

} // namespace

AppPaths findAppPaths(const QString& programFolder)
{
    AppPaths paths;
    paths.dataFolder = QFile::decodeName(findDataFolder(QFile::encodeName(programFolder).toStdString()).c_str());
    const QString config = configFolder();
    // A build or an unpacked copy (its data files beside it) keeps its settings with it; an
    // install keeps each user's own in the configuration folder, even in a writable bin/.
    const QString beside = programFolder + QLatin1Char('/') + SettingsName;
    const bool portable = QDir(paths.dataFolder) == QDir(programFolder);
    const bool keptBeside = portable && writable(programFolder) && (!exists(beside) || writable(beside));
    paths.settingsFile = keptBeside ? beside : config + QLatin1Char('/') + SettingsName;
    paths.preferencesFile = config + QStringLiteral("/preferences.ini");
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    paths.recoveryFolder =
        (state.startsWith(QLatin1Char('/')) ? state : QDir::homePath() + QStringLiteral("/.local/state")) +
        QStringLiteral("/vexalon2editor/recovery");
    return paths;
}

} // namespace vx
