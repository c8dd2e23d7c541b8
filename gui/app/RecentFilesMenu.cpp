#include "gui/app/RecentFilesMenu.h"

#include "core/FileSystem.h"
#include "core/Language.h"
#include "core/MyIniFiles.h"
#include "gui/pages/Prompts.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

namespace vx {

TRecentFilesMenu::TRecentFilesMenu(QMenu* menu, const QString& preferencesFile, TPrompts& prompts,
                                   std::function<void(const QString&)> open,
                                   std::function<void(const QString&)> report)
    : menu_(menu), prompts_(prompts), open_(std::move(open)), report_(std::move(report))
{
    menu_->setObjectName(QStringLiteral("MenuRecentFiles"));
    try {
        preferences_ = std::make_unique<TMemIniFile>(preferencesFile.toStdString());
        files_.Load(*preferences_);
    } catch (const std::exception& error) {
        // A bad preferences file costs the list, never the start, and is said once in a
        // box that stays until read.
        QString text = QString::fromStdString(error.what());
        if (TakeCorruptFileAside(preferencesFile)) {
            preferences_ = std::make_unique<TMemIniFile>(preferencesFile.toStdString());
            text += QString::fromStdString(Tr("\n\nこのファイルは preferences.ini.bad として残しました。最近使ったファイルとエミュレータの"
                                              "設定は新しいファイルに記録します。",
                                              "\n\nIt was kept aside as preferences.ini.bad; the recent files and the "
                                              "emulator command are kept in a new file."));
        } else {
            text += QString::fromStdString(Tr("\n\n今回は最近使ったファイルとエミュレータの設定を記録しません。",
                                              "\n\nThe recent files and the emulator command are not kept this time."));
        }
        QTimer::singleShot(0, menu_, [this, text] { prompts_.ShowWarning(text); });
    }
    Rebuild();
}

bool TRecentFilesMenu::TakeCorruptFileAside(const QString& path)
{
    // A regular file that reads but is no preferences text (NUL bytes, too large) is corrupt;
    // one that does not read at all (permissions, a folder) is left where it is.
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return false;
    const QString aside = path + QStringLiteral(".bad");
    QFile::remove(aside);
    return QFile::rename(path, aside);
}

TRecentFilesMenu::~TRecentFilesMenu() = default;

void TRecentFilesMenu::Add(const QString& path)
{
    files_.Add(path.toStdString());
    Store();
}

void TRecentFilesMenu::Remove(const QString& path)
{
    files_.Remove(path.toStdString());
    Store();
}

void TRecentFilesMenu::Choose(const QString& path)
{
    if (PathExists(path.toStdString())) {
        open_(path);
        return;
    }
    prompts_.ShowMessage(QString::fromStdString(Tr("%1 はもうありません。一覧から外しました。",
                                                   "%1 no longer exists: it is taken off the list."))
                             .arg(path));
    Remove(path);
}

void TRecentFilesMenu::Store()
{
    Rebuild();
    if (!preferences_)
        return;
    files_.Store(*preferences_);
    try {
        preferences_->UpdateFile();
    } catch (const std::exception& error) {
        report_(QString::fromStdString(error.what()));
    }
}

void TRecentFilesMenu::Rebuild()
{
    menu_->clear();
    int number = 1;
    for (const std::string& path : files_.Paths()) {
        const QString shown = QString::fromStdString(path);
        QAction* item = menu_->addAction(QStringLiteral("&%1 ").arg(number) + QString(shown).replace(
                                             QLatin1Char('&'), QStringLiteral("&&")));
        item->setObjectName(QStringLiteral("MenuItemRecentFile%1").arg(number++));
        // Queued: opening rebuilds this menu, which deletes the item still sending.
        QObject::connect(item, &QAction::triggered, menu_, [this, shown] { Choose(shown); }, Qt::QueuedConnection);
    }
    menu_->addSeparator();
    QAction* clear = menu_->addAction(QString::fromStdString(Tr("一覧を消去", "Clear List")));
    clear->setObjectName(QStringLiteral("MenuItemClearRecentFiles"));
    clear->setEnabled(!files_.Paths().empty());
    QObject::connect(
        clear, &QAction::triggered, menu_,
        [this] {
            files_.Clear();
            Store();
        },
        Qt::QueuedConnection);
}

} // namespace vx
