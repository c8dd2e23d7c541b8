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

// Writes the settings file, completed with every value in force. A failure goes to `report`
// with its reason; nothing leaves, not even a failure to say so (it is called at the end).
void keepSettingsFile(SettingsFile& settings, const std::function<void(const QString&)>& report) noexcept;

} // namespace vx
