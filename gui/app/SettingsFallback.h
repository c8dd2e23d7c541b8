#pragma once
#include <QString>
#include <functional>
#include <memory>

namespace vx {

class Prompts;
class SettingsFile;

// A settings file that cannot be read: asked, it is renamed aside (never written) and the
// editor starts on the defaults; null when the user declines or the rename fails.
std::unique_ptr<SettingsFile> settingsInsteadOfBadFile(const QString& path, const QString& reason, Prompts& prompts);

// The settings file at start. One that holds no settings (NotSettingsFile) goes to
// settingsInsteadOfBadFile; null when that gives none. A read-only file is used as it is, and
// `note` then says, for the status bar, that new keys are not added. Throws UserError when
// the file cannot be read.
std::unique_ptr<SettingsFile> openSettingsFile(const QString& path, Prompts& prompts, QString& note);

// Writes the settings file, completed with every value in force; a read-only one stays as it
// is, unsaid (the start said so). A failure goes to `report`
// with its reason; nothing leaves, not even a failure to say so (it is called at the end).
void keepSettingsFile(SettingsFile& settings, const std::function<void(const QString&)>& report) noexcept;

} // namespace vx
