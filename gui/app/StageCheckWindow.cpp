#include "gui/app/StageCheckWindow.h"

#include "core/Language.h"
#include "core/RomImgManager.h"
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

QString Text(const char* japanese, const char* english) { return QString::fromStdString(Tr(japanese, english)); }

enum TColumn { colStage, colSeverity, colPlace, colText };

bool SameFinding(const TFinding& a, const TFinding& b)
{
    return a.severity == b.severity && a.stage == b.stage && a.place == b.place && a.index == b.index &&
           a.text == b.text;
}

bool SameFindings(const std::vector<TFinding>& a, const std::vector<TFinding>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameFinding);
}

QStyle::StandardPixmap IconOf(TSeverity severity)
{
    switch (severity) {
    case TSeverity::Error: return QStyle::SP_MessageBoxCritical;
    case TSeverity::Warning: return QStyle::SP_MessageBoxWarning;
    case TSeverity::Note: break;
    }
    return QStyle::SP_MessageBoxInformation;
}

// The status line: "1 error, 2 warnings, 5 notes", what is zero left out.
QString FindingCountsText(const std::vector<TFinding>& findings)
{
    QStringList parts;
    for (const TSeverity severity : {TSeverity::Error, TSeverity::Warning, TSeverity::Note}) {
        const auto count = std::ranges::count(findings, severity, &TFinding::severity);
        const QString word = QString::fromStdString(SeverityWord(severity));
        const QString plural = count == 1 ? QString() : QStringLiteral("s");
        if (count > 0)
            parts << (IsJapanese() ? QStringLiteral("%1 %2 件").arg(word).arg(count)
                                   : QStringLiteral("%1 %2%3").arg(count).arg(word, plural));
    }
    return parts.isEmpty() ? Text("見つかったものはありません", "No findings")
                           : parts.join(IsJapanese() ? QStringLiteral("、") : QStringLiteral(", "));
}

} // namespace

TStageCheckWindow::TStageCheckWindow(TMainForm& main, const TMainMenus& menus) : QDialog(&main), main_(main)
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
    connect(editTimer_, &QTimer::timeout, this, &TStageCheckWindow::Recheck);
    connect(all_, &QCheckBox::toggled, this, &TStageCheckWindow::Recheck);
    // Double click, or Enter on the selected finding.
    connect(list_, &QTreeWidget::itemActivated, this, &TStageCheckWindow::Activated);

    // The shell has acted on each of these before the window hears of it.
    const auto recheckIfShown = [this] {
        if (isVisible())
            Recheck();
    };
    connect(main.StageSelector(), &QComboBox::currentIndexChanged, this, recheckIfShown);
    connect(menus.undo, &QAction::triggered, this, recheckIfShown);
    connect(menus.redo, &QAction::triggered, this, recheckIfShown);
    connect(menus.checkStage, &QAction::enabledChanged, this, [this](bool imageOpen) {
        if (!imageOpen)
            hide();
    });
    // Every edit, on any page, reports through the image's modified notice: the window
    // listens after the status bar.
    std::function<void(const std::string&)>& notice = main.Rom().Hooks.ShowModified;
    notice = [shell = notice, window = QPointer<TStageCheckWindow>(this)](const std::string& text) {
        if (shell)
            shell(text);
        if (window && window->isVisible())
            window->editTimer_->start();
    };
    ShowCaptions();
    Fill();
}

void TStageCheckWindow::ShowCaptions()
{
    setWindowTitle(Text("ステージの点検", "Stage Check"));
    all_->setText(Text("すべてのステージ", "All stages"));
    list_->setHeaderLabels({Text("ステージ", "Stage"), Text("重要度", "Severity"), Text("場所", "Place"),
                            Text("内容", "Finding")});
}

bool TStageCheckWindow::event(QEvent* event)
{
    // Coming back to the window after editing shows the findings as they are now.
    if (event->type() == QEvent::WindowActivate)
        Recheck();
    return QDialog::event(event);
}

void TStageCheckWindow::showEvent(QShowEvent* event)
{
    ShowCaptions();
    Recheck();
    QDialog::showEvent(event);
    list_->setFocus(); // arrows and Enter work at once
}

void TStageCheckWindow::hideEvent(QHideEvent* event)
{
    // Marked as placed, so it shows again where the user left it instead of centred anew.
    move(pos());
    QDialog::hideEvent(event);
}

void TStageCheckWindow::Recheck()
{
    editTimer_->stop();
    const TRomImgManager& rom = main_.Rom();
    std::vector<TFinding> found;
    if (rom.IsLoaded())
        found = all_->isChecked() ? CheckAllStages(rom) : CheckStage(rom, rom.CurrentStageIndex());
    const bool stageShown = !list_->isColumnHidden(colStage);
    if (SameFindings(found, findings_) && stageShown == all_->isChecked())
        return;
    // The finding the user stood on stays selected where it is still found.
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    std::optional<TFinding> was;
    if (row >= 0 && row < static_cast<int>(findings_.size()))
        was = findings_[static_cast<std::size_t>(row)];
    const int scrolled = list_->verticalScrollBar()->value();
    findings_ = std::move(found);
    Fill();
    if (was) {
        const auto same = std::ranges::find_if(findings_, [&](const TFinding& f) { return SameFinding(f, *was); });
        const int at = same != findings_.end() ? static_cast<int>(same - findings_.begin())
                                               : std::min(row, static_cast<int>(findings_.size()) - 1);
        if (at >= 0)
            list_->setCurrentItem(list_->topLevelItem(at));
    }
    list_->verticalScrollBar()->setValue(scrolled);
}

void TStageCheckWindow::Fill()
{
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const TFinding& finding : findings_) {
        auto* item = new QTreeWidgetItem;
        item->setText(colStage, StageSelectorEntry(finding.stage));
        item->setIcon(colSeverity, style()->standardIcon(IconOf(finding.severity)));
        item->setText(colSeverity, QString::fromStdString(SeverityWord(finding.severity)));
        item->setText(colPlace, QString::fromStdString(PlaceText(finding)));
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
    status_->setText(FindingCountsText(findings_));
}

void TStageCheckWindow::Activated(QTreeWidgetItem* item)
{
    const int row = list_->indexOfTopLevelItem(item);
    if (row < 0 || row >= static_cast<int>(findings_.size()))
        return;
    // A copy: leading there may change the stage, and with it the list.
    const TFinding finding = findings_[static_cast<std::size_t>(row)];
    ShowFinding(main_, finding);
    // The keys go to the control the finding names; this window stays in front of the editor.
    main_.activateWindow();
}

void ShowStageCheckWindow(TMainForm& main, const TMainMenus& menus)
{
    if (!main.Rom().IsLoaded())
        return;
    auto* window = main.findChild<TStageCheckWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new TStageCheckWindow(main, menus);
    if (window->isVisible())
        window->Recheck();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

} // namespace vx
