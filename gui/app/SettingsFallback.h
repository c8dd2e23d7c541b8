#pragma once
#include <QString>
#include <memory>

namespace vx {

class Prompts;
class SettingsFile;

// A settings file that cannot be read: asked, it is renamed aside (never written) and the
// editor starts on the defaults; null when the user declines or the rename fails.
std::unique_ptr<SettingsFile> settingsInsteadOfBadFile(const QString& path, const QString& reason, Prompts& prompts);

} // namespace vx
