#pragma once
#include <QString>
#include <functional>
#include <memory>

#include "core/RecentFiles.h"

class QMenu;

namespace vx {

class TMemIniFile;
class TPrompts;

// File > Recent Files: "&1 path" .. "&8 path", newest first, and Clear List. The list lives
// in the user's preferences file and is written there at each change.
class TRecentFilesMenu {
public:
    // `open` is asked to open a chosen path that still exists; one that is gone is said so
    // and taken off the list. `report` hears why the list could not be kept.
    TRecentFilesMenu(QMenu* menu, const QString& preferencesFile, TPrompts& prompts,
                     std::function<void(const QString&)> open, std::function<void(const QString&)> report);
    ~TRecentFilesMenu();

    // An image opened or saved under this path.
    void Add(const QString& path);
    void Remove(const QString& path);
    const TRecentFiles& Files() const { return files_; }
    // The preferences file as read at the start, for the other preferences to share, so no
    // writer drops another's keys; nothing when it could not be read (then none is written).
    TMemIniFile* Preferences() const { return preferences_.get(); }

private:
    // Moves a corrupt preferences file aside as .bad; false when it is unreadable instead.
    static bool TakeCorruptFileAside(const QString& path);
    void Rebuild();
    void Choose(const QString& path);
    void Store();

    QMenu* menu_;
    TPrompts& prompts_;
    std::unique_ptr<TMemIniFile> preferences_;
    TRecentFiles files_;
    std::function<void(const QString&)> open_;
    std::function<void(const QString&)> report_;
};

} // namespace vx
