#include "gui/app/SettingsFallback.h"

#include "core/base/Language.h"
#include "core/files/IniFile.h"
#include "gui/app/GuardedApplication.h"
#include "gui/pages/Prompts.h"

#include <QFile>

namespace vx {
namespace {
QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}
} // namespace

std::unique_ptr<SettingsFile> settingsInsteadOfBadFile(const QString& path, const QString& reason, Prompts& prompts)
{
    const QString aside = path + QStringLiteral(".bad");
    if (!prompts.askYesNo(
            reason +
            qText("\n\nこのファイルを直すか取り除いてから起動し直して下さい。既定のアドレスで起動することもできます。"
                  "その場合、このファイルは ",
                  "\n\nMend or remove this file and start again, or start with the default "
                  "addresses now: the file is then kept as ") +
            aside + qText(" として残します。\n\n既定値で起動しますか？", ".\n\nStart with the defaults?")))
        return nullptr;
    // Renamed, never written: the user's bytes stay whole under the new name.
    if (QFile::exists(aside) || !QFile::rename(path, aside)) {
        prompts.showMessage(qText("", "Could not rename the file to ") + aside +
                            qText(" に名前を変えられませんでした。", "."));
        return nullptr;
    }
    return std::make_unique<SettingsFile>(path.toStdString());
}

void keepSettingsFile(SettingsFile& settings, const std::function<void(const QString&)>& report) noexcept
{
    try {
        settings.updateFile();
    } catch (...) {
        reportCurrentException([&report](const QString& text) {
            report(qText("設定ファイルを保存できませんでした。\n", "The settings file could not be saved.\n") + text);
        });
    }
}

} // namespace vx
