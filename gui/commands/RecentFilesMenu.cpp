#include "gui/commands/RecentFilesMenu.h"

#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/IniFile.h"
#include "gui/pages/Prompts.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

namespace vx {

RecentFilesMenu::RecentFilesMenu(QMenu* menu, const QString& preferencesFile, Prompts& prompts,
                                 std::function<void(const QString&)> open, std::function<void(const QString&)> report)
    : menu_(menu), prompts_(prompts), open_(std::move(open)), report_(std::move(report))
{
    menu_->setObjectName(QStringLiteral("MenuRecentFiles"));
    try {
        preferences_ = std::make_unique<IniFile>(preferencesFile.toStdString());
        files_.load(*preferences_);
    } catch (const std::exception& error) {
        // A bad preferences file costs the list, never the start, and is said once in a
        // box that stays until read.
        QString text = QString::fromStdString(error.what());
        if (takeCorruptFileAside(preferencesFile)) {
            preferences_ = std::make_unique<IniFile>(preferencesFile.toStdString());
            text += QString::fromStdString(
                localized("\n\nこのファイルは preferences.ini.bad として残しました。最近使っ"
                          "たファイルとエミュレータの"
                          "設定は新しいファイルに記録します。",
                          "\n\nIt was kept aside as preferences.ini.bad; the recent files and the "
                          "emulator command are kept in a new file."));
        } else {
            text += QString::fromStdString(
                localized("\n\n今回は最近使ったファイルとエミュレータの設定を記録しま"
                          "せん。",
                          "\n\nThe recent files and the emulator command are not kept this time."));
        }
        QTimer::singleShot(0, menu_, [this, text] { prompts_.showWarning(text); });
    }
    rebuild();
}

bool RecentFilesMenu::takeCorruptFileAside(const QString& path)
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

RecentFilesMenu::~RecentFilesMenu() = default;

void RecentFilesMenu::add(const QString& path)
{
    files_.add(path.toStdString());
    store();
}

void RecentFilesMenu::remove(const QString& path)
{
    files_.remove(path.toStdString());
    store();
}

void RecentFilesMenu::choose(const QString& path)
{
    if (pathExists(path.toStdString())) {
        open_(path);
        return;
    }
    prompts_.showMessage(QString::fromStdString(localized("%1 はもうありません。一覧から外しまし"
                                                          "た。",
                                                          "%1 no longer exists: it is taken off the list."))
                             .arg(path));
    remove(path);
}

void RecentFilesMenu::store()
{
    rebuild();
    if (!preferences_)
        return;
    files_.store(*preferences_);
    try {
        preferences_->updateFile();
    } catch (const std::exception& error) {
        report_(QString::fromStdString(error.what()));
    }
}

void RecentFilesMenu::rebuild()
{
    menu_->clear();
    int number = 1;
    for (const std::string& path : files_.paths()) {
        const QString shown = QString::fromStdString(path);
        QAction* item = menu_->addAction(QStringLiteral("&%1 ").arg(number) +
                                         QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setObjectName(QStringLiteral("MenuItemRecentFile%1").arg(number++));
        // Queued: opening rebuilds this menu, which deletes the item still sending.
        QObject::connect(
            item, &QAction::triggered, menu_, [this, shown] { choose(shown); }, Qt::QueuedConnection);
    }
    menu_->addSeparator();
    QAction* clear = menu_->addAction(QString::fromStdString(localized("一覧を消去(&C)", "&Clear List")));
    clear->setObjectName(QStringLiteral("MenuItemClearRecentFiles"));
    clear->setEnabled(!files_.paths().empty());
    QObject::connect(
        clear, &QAction::triggered, menu_,
        [this] {
            files_.clear();
            store();
        },
        Qt::QueuedConnection);
    if (changed)
        changed();
}

} // namespace vx
