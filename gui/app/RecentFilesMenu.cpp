#include "gui/app/RecentFilesMenu.h"

#include "core/FileSystem.h"
#include "core/Language.h"
#include "core/MyIniFiles.h"
#include "gui/pages/Prompts.h"

#include <QMenu>

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
        // An unreadable preferences file costs the list, never the start.
        report_(QString::fromStdString(error.what()));
    }
    Rebuild();
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
