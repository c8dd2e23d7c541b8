#pragma once
#include <QString>
#include <functional>
#include <memory>

#include "core/files/RecentFiles.h"

class QMenu;

namespace vx {

class IniFile;
class Prompts;

// File > Recent Files: "&1 path" .. "&8 path", newest first, and Clear List. The list lives
// in the user's preferences file and is written there at each change.
class RecentFilesMenu {
public:
    // `open` is asked to open a chosen path that still exists; one that is gone is said so
    // and taken off the list. `report` hears why the list could not be kept.
    RecentFilesMenu(QMenu* menu, const QString& preferencesFile, Prompts& prompts,
                    std::function<void(const QString&)> open, std::function<void(const QString&)> report);
    ~RecentFilesMenu();

    // An image opened or saved under this path.
    void add(const QString& path);
    void remove(const QString& path);
    const RecentFiles& files() const { return files_; }
    // Opens a listed path as its menu item does: one that is gone is said so and taken off.
    void choose(const QString& path);
    // Told after every change of the list.
    std::function<void()> changed;
    // The preferences file as read at the start, for the other preferences to share, so no
    // writer drops another's keys; nothing when it could not be read (then none is written).
    IniFile* preferences() const { return preferences_.get(); }

private:
    // Moves a corrupt preferences file aside as .bad; false when it is unreadable instead.
    static bool takeCorruptFileAside(const QString& path);
    void rebuild();
    void store();

    QMenu* menu_;
    Prompts& prompts_;
    std::unique_ptr<IniFile> preferences_;
    RecentFiles files_;
    std::function<void(const QString&)> open_;
    std::function<void(const QString&)> report_;
};

} // namespace vx
