#include "gui/app/StartScreen.h"

#include "core/base/Language.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

constexpr int PathRole = Qt::UserRole;

} // namespace

StartScreen::StartScreen(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StartScreen"));
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("LblStartRecent"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("ListStartRecent"));
    list_->setColumnCount(3);
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    caption_->setBuddy(list_);
    open_ = new QPushButton(this);
    open_->setObjectName(QStringLiteral("BtnStartOpen"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(open_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item && openFile)
            openFile(item->data(0, PathRole).toString());
    });
    connect(open_, &QPushButton::clicked, this, [this] {
        if (openOther)
            openOther();
    });
}

void StartScreen::showFiles(const std::vector<std::string>& paths)
{
    caption_->setText(qText("最近使ったイメージ(&R):", "&Recent images:"));
    open_->setText(qText("開く(&O)...", "&Open..."));
    list_->setHeaderLabels({qText("名"
                                  "前",
                                  "Name"),
                            qText("フォルダ", "Folder"), qText("更新日時", "Modified")});
    list_->clear();
    for (const std::string& path : paths) {
        const QFileInfo file(QString::fromStdString(path));
        // A file gone since shows no date; choosing it says so and takes it off the list.
        const QString date = file.exists() ? QLocale().toString(file.lastModified(), QLocale::ShortFormat) : QString();
        auto* item = new QTreeWidgetItem(list_, {file.fileName(), file.absolutePath(), date});
        item->setData(0, PathRole, file.filePath());
    }
    if (list_->topLevelItemCount() > 0)
        list_->setCurrentItem(list_->topLevelItem(0));
    for (int column = 0; column < 3; column += 2)
        list_->resizeColumnToContents(column);
}

void StartScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Enter opens the newest image at once.
    (list_->topLevelItemCount() > 0 ? static_cast<QWidget*>(list_) : open_)->setFocus();
}

} // namespace vx
