#include "gui/app/SettingsFallback.h"

#include "core/base/Language.h"
#include "core/files/IniFile.h"
#include "core/files/OutputFile.h"
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
    if (!prompts.askYesNo(reason +
                          qText("\n\nこのファイルを直すか取り除いてから起動し直して下さ"
                                "い。既定の"
                                "アドレスで起動することもできます。"
                                "その場合、このファイルは ",
                                "\n\nMend or remove this file and start again, or start with the default "
                                "addresses now: the file is then kept as ") +
                          aside +
                          qText(" として残します。\n\n既定値で起動しますか"
                                "？",
                                ".\n\nStart with the defaults?")))
        return nullptr;
    // Renamed, never written: the user's bytes stay whole under the new name.
    if (QFile::exists(aside) || !QFile::rename(path, aside)) {
        prompts.showMessage(qText("", "Could not rename the file to ") + aside +
                            qText(" に名前を変えられませんでした。", "."));
        return nullptr;
    }
    return std::make_unique<SettingsFile>(path.toStdString());
}

std::unique_ptr<SettingsFile> openSettingsFile(const QString& path, Prompts& prompts, QString& note)
{
    std::unique_ptr<SettingsFile> settings;
    try {
        settings = std::make_unique<SettingsFile>(path.toStdString());
    } catch (const NotSettingsFile& error) {
        return settingsInsteadOfBadFile(path, QString::fromStdString(error.what()), prompts);
    }
    // A user who takes the write permission away pins the file; the start says it once.
    if (isReadOnlyFile(settings->fileName()))
        note = qText("設定ファイルは読み取り専用なので、新しいキーは書き足しません。",
                     "The settings file is read-only: new keys are not added to it.");
    return settings;
}

void keepSettingsFile(SettingsFile& settings, const std::function<void(const QString&)>& report) noexcept
{
    try {
        if (isReadOnlyFile(settings.fileName()))
            return;
        settings.updateFile();
    } catch (...) {
        reportCurrentException([&report](const QString& text) {
            report(qText("設定ファイルを保存できませんでした"
                         "。\n",
                         "The settings file could not be saved.\n") +
                   text);
        });
    }
}

} // namespace vx
