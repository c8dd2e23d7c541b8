#include "gui/app/StageCheckWindow.h"

#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "gui/app/MainForm.h"
#include "gui/app/MainMenus.h"
#include "gui/app/StageCheckNavigation.h"
#include "gui/app/StageNames.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english) { return QString::fromStdString(localized(japanese, english)); }

enum Column {
    colStage,
    colSeverity,
    colPlace,
    colText
};

bool sameFinding(const Finding& a, const Finding& b)
{
    return a.severity == b.severity && a.stage == b.stage && a.place == b.place && a.index == b.index &&
        a.text == b.text;
}

bool sameFindings(const std::vector<Finding>& a, const std::vector<Finding>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameFinding);
}

QStyle::StandardPixmap iconOf(Severity severity)
{
    switch (severity) {
    case Severity::Error: return QStyle::SP_MessageBoxCritical;
    case Severity::Warning: return QStyle::SP_MessageBoxWarning;
    case Severity::Note: break;
    }
    return QStyle::SP_MessageBoxInformation;
}

// The status line: "1 error, 2 warnings, 5 notes", what is zero left out.
QString findingCountsText(const std::vector<Finding>& findings)
{
    QStringList parts;
    for (const Severity severity : {Severity::Error, Severity::Warning, Severity::Note}) {
        const auto count = std::ranges::count(findings, severity, &Finding::severity);
        const QString word = QString::fromStdString(severityWord(severity));
        const QString plural = count == 1 ? QString() : QStringLiteral("s");
        if (count > 0)
            parts << (isJapanese() ? QStringLiteral("%1 %2 件").arg(word).arg(count)
                                   : QStringLiteral("%1 %2%3").arg(count).arg(word, plural));
    }
    return parts.isEmpty() ? qText("見つかったものはありません", "No findings")
                           : parts.join(isJapanese() ? QStringLiteral("、") : QStringLiteral(", "));
}

} // namespace

StageCheckWindow::StageCheckWindow(MainForm& main, const MainMenus& menus) : QDialog(&main), main_(main)
{
    setObjectName(QStringLiteral("StageCheckWindow"));
    all_ = new QCheckBox(this);
    all_->setObjectName(QStringLiteral("CheckStageCheckAll"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("ListStageCheck"));
    list_->setColumnCount(4);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->header()->setStretchLastSection(true);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LblStageCheckStatus"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(all_);
    layout->addWidget(list_, 1);
    layout->addWidget(status_);
    resize(680, 340);

    editTimer_ = new QTimer(this);
    editTimer_->setSingleShot(true);
    editTimer_->setInterval(150);
    connect(editTimer_, &QTimer::timeout, this, &StageCheckWindow::recheck);
    connect(all_, &QCheckBox::toggled, this, &StageCheckWindow::recheck);
    // Double click, or Enter on the selected finding.
    connect(list_, &QTreeWidget::itemActivated, this, &StageCheckWindow::activated);

    // The shell has acted on each of these before the window hears of it.
    const auto recheckIfShown = [this] {
        if (isVisible())
            recheck();
    };
    connect(main.stageSelector(), &QComboBox::currentIndexChanged, this, recheckIfShown);
    connect(menus.undo, &QAction::triggered, this, recheckIfShown);
    connect(menus.redo, &QAction::triggered, this, recheckIfShown);
    connect(menus.checkStage, &QAction::enabledChanged, this, [this](bool imageOpen) {
        if (!imageOpen)
            hide();
    });
    // Every edit, on any page, reports through the image's modified notice: the window
    // listens after the status bar.
    std::function<void(const std::string&)>& notice = main.rom().hooks.showModified;
    notice = [shell = notice, window = QPointer<StageCheckWindow>(this)](const std::string& text) {
        if (shell)
            shell(text);
        if (window && window->isVisible())
            window->editTimer_->start();
    };
    showCaptions();
    fillFindings();
}

void StageCheckWindow::showCaptions()
{
    setWindowTitle(qText("ステージの点検", "Stage Check"));
    all_->setText(qText("すべてのステージ", "All stages"));
    list_->setHeaderLabels({qText("ステージ", "Stage"), qText("重要度", "Severity"), qText("場所", "Place"),
                            qText("内容", "Finding")});
}

bool StageCheckWindow::event(QEvent* event)
{
    // Coming back to the window after editing shows the findings as they are now.
    if (event->type() == QEvent::WindowActivate)
        recheck();
    return QDialog::event(event);
}

void StageCheckWindow::showEvent(QShowEvent* event)
{
    showCaptions();
    recheck();
    QDialog::showEvent(event);
    list_->setFocus(); // arrows and Enter work at once
}

void StageCheckWindow::hideEvent(QHideEvent* event)
{
    // Marked as placed, so it shows again where the user left it instead of centred anew.
    move(pos());
    QDialog::hideEvent(event);
}

void StageCheckWindow::recheck()
{
    editTimer_->stop();
    const RomImage& rom = main_.rom();
    std::vector<Finding> found;
    if (rom.isLoaded())
        found = all_->isChecked() ? checkAllStages(rom) : checkStage(rom, rom.currentStageIndex());
    const bool stageShown = !list_->isColumnHidden(colStage);
    if (sameFindings(found, findings_) && stageShown == all_->isChecked())
        return;
    // The finding the user stood on stays selected where it is still found.
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    std::optional<Finding> was;
    if (row >= 0 && row < static_cast<int>(findings_.size()))
        was = findings_[static_cast<std::size_t>(row)];
    const int scrolled = list_->verticalScrollBar()->value();
    findings_ = std::move(found);
    fillFindings();
    if (was) {
        const auto same = std::ranges::find_if(findings_, [&](const Finding& f) { return sameFinding(f, *was); });
        const int at = same != findings_.end() ? static_cast<int>(same - findings_.begin())
                                               : std::min(row, static_cast<int>(findings_.size()) - 1);
        if (at >= 0)
            list_->setCurrentItem(list_->topLevelItem(at));
    }
    list_->verticalScrollBar()->setValue(scrolled);
}

void StageCheckWindow::fillFindings()
{
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const Finding& finding : findings_) {
        auto* item = new QTreeWidgetItem;
        item->setText(colStage, stageSelectorEntry(finding.stage));
        item->setIcon(colSeverity, style()->standardIcon(iconOf(finding.severity)));
        item->setText(colSeverity, QString::fromStdString(severityWord(finding.severity)));
        item->setText(colPlace, QString::fromStdString(placeText(finding)));
        const QString text = QString::fromStdString(finding.text);
        item->setText(colText, text);
        item->setToolTip(colText, text); // the whole sentence where the column cuts it
        items << item;
    }
    list_->addTopLevelItems(items);
    list_->setColumnHidden(colStage, !all_->isChecked());
    // The short columns as wide as their words; the sentence has the rest.
    for (const int column : {colStage, colSeverity, colPlace}) {
        list_->resizeColumnToContents(column);
        list_->setColumnWidth(column, list_->columnWidth(column) + 12);
    }
    status_->setText(findingCountsText(findings_));
}

void StageCheckWindow::activated(QTreeWidgetItem* item)
{
    const int row = list_->indexOfTopLevelItem(item);
    if (row < 0 || row >= static_cast<int>(findings_.size()))
        return;
    // A copy: leading there may change the stage, and with it the list.
    const Finding finding = findings_[static_cast<std::size_t>(row)];
    showFinding(main_, finding);
    // The keys go to the control the finding names; this window stays in front of the editor.
    main_.activateWindow();
}

void showStageCheckWindow(MainForm& main, const MainMenus& menus)
{
    if (!main.rom().isLoaded())
        return;
    auto* window = main.findChild<StageCheckWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new StageCheckWindow(main, menus);
    if (window->isVisible())
        window->recheck();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

} // namespace vx
