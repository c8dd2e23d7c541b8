#pragma once
#include <QString>

namespace vx {

// Where the editor finds its data files and keeps its settings and preferences.
struct AppPaths {
    // The folder of fcpalette.pal, ChipAttributeList.txt and ObjectList.txt: the program's
    // own folder when they are there, else ../share/vexalon2editor beside it (an install).
    QString dataFolder;
    // vexalon2editor.ini: beside the program when the data files lie there too (a build or
    // portable folder) and it is writable, else in the user's configuration folder.
    QString settingsFile;
    // preferences.ini in the user's configuration folder ($XDG_CONFIG_HOME/vexalon2editor/):
    // recent files, the emulator command; never in the settings file.
    QString preferencesFile;
    // Where unsaved edits are kept against a crash ($XDG_STATE_HOME/vexalon2editor/recovery);
    // empty: nowhere.
    QString recoveryFolder;
};

// The paths for a program started from `programFolder`.
AppPaths findAppPaths(const QString& programFolder);

} // namespace vx
