#include "gui/tools/StageCheckWindow.h"

#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "gui/pages/EditorUnit.h"
#include "gui/pages/PageNavigator.h"
#include "gui/pages/StageNames.h"
#include "gui/tools/StageCheckNavigation.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

enum Column {
    colStage,
    colSeverity,
    colPlace,
    colText
};

// Each cell's key for sorting, and on column 0 the finding's number in the list.
constexpr int SortRole = Qt::UserRole;
constexpr int FindingRole = Qt::UserRole + 1;

// Sorts by the cells' keys (severity by weight, place by page and number), equal keys in the
// check's own order.
class FindingItem : public QTreeWidgetItem {
public:
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : colSeverity;
        const auto order = QVariant::compare(data(column, SortRole), other.data(column, SortRole));
        if (order != QPartialOrdering::Equivalent)
            return order == QPartialOrdering::Less;
        return data(colStage, FindingRole).toInt() < other.data(colStage, FindingRole).toInt();
    }
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

StageCheckWindow::StageCheckWindow(PageNavigator& pages, const EditorContext& context)
    : QDialog(pages.editorWindow()), pages_(pages), rom_(context.rom)
{
    setObjectName(QStringLiteral("StageCheckWindow"));
    stage_ = new QLabel(this);
    stage_->setObjectName(QStringLiteral("LblStageCheckStage"));
    all_ = new QCheckBox(this);
    all_->setObjectName(QStringLiteral("CheckStageCheckAll"));
    hideNotes_ = new QCheckBox(this);
    hideNotes_->setObjectName(QStringLiteral("CheckStageCheckHideNotes"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("ListStageCheck"));
    list_->setColumnCount(4);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->header()->setStretchLastSection(true);
    list_->header()->setSortIndicator(colSeverity, Qt::AscendingOrder);
    list_->setSortingEnabled(true);
    // The stage's name heads the list: its letter leads back to the findings.
    stage_->setBuddy(list_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LblStageCheckStatus"));

    auto* choices = new QHBoxLayout;
    choices->addWidget(stage_, 1);
    choices->addWidget(all_);
    choices->addWidget(hideNotes_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(list_, 1);
    layout->addWidget(status_);
    resize(680, 340);

    editTimer_ = new QTimer(this);
    editTimer_->setSingleShot(true);
    editTimer_->setInterval(150);
    connect(editTimer_, &QTimer::timeout, this, &StageCheckWindow::recheck);
    connect(all_, &QCheckBox::toggled, this, &StageCheckWindow::recheck);
    connect(hideNotes_, &QCheckBox::toggled, this,
            [this] { relist(std::vector<Finding>(findings_), Selection::Keep); });
    // Double click, or Enter on the selected finding.
    connect(list_, &QTreeWidget::itemActivated, this, &StageCheckWindow::activated);

    // The shell has acted on each of these before the window hears of it.
    pages.listen(this, [this](PageNavigator::Change change) {
        using Change = PageNavigator::Change;
        if (change == Change::ImageClosed)
            hide(); // as its menu item goes
        if (!isVisible())
            return;
        // Another stage is another list, read from the top; the list of all stages stays where it is.
        if (change == Change::StageShown)
            refresh(all_->isChecked() ? Selection::Keep : Selection::FirstRow);
        else if (change == Change::HistoryStepped)
            recheck();
        else if (change == Change::Edited) // one check for a run of edits
            editTimer_->start();
    });
    showCaptions();
    fillFindings();
}

void StageCheckWindow::showCaptions()
{
    all_->setText(qText("すべてのステージ(&A)", "&All stages"));
    hideNotes_->setText(qText("注記を隠す(&H)", "&Hide notes"));
    list_->setHeaderLabels({qText("ステー"
                                  "ジ",
                                  "Stage"),
                            qText("重要度", "Severity"), qText("場所", "Place"), qText("内容", "Finding")});
    showStage();
}

void StageCheckWindow::showStage()
{
    const RomImage& rom = rom_;
    QString which;
    if (all_->isChecked())
        which = qText("すべて (00-0D)", "all (00-0D)");
    else if (rom.isLoaded())
        which = stageSelectorEntry(rom.currentStageIndex());
    setWindowTitle(which.isEmpty() ? qText("ステージの点検", "Stage Check")
                                   : qText("ステージの点検", "Stage Check") + QStringLiteral(" - ") + which);
    stage_->setText(qText("ステージ(&S): ", "&Stage: ") + which);
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

void StageCheckWindow::refresh(Selection selection)
{
    editTimer_->stop();
    showStage();
    const RomImage& rom = rom_;
    std::vector<Finding> found;
    if (rom.isLoaded())
        found = all_->isChecked() ? checkAllStages(rom) : checkStage(rom, rom.currentStageIndex());
    const bool stageShown = !list_->isColumnHidden(colStage);
    if (!sameFindings(found, findings_) || stageShown != all_->isChecked())
        relist(std::move(found), selection);
    else if (selection == Selection::FirstRow)
        selectFirstRow();
}

void StageCheckWindow::relist(std::vector<Finding> found, Selection selection)
{
    // The finding the user stood on stays selected where it is still listed.
    QTreeWidgetItem* current = list_->currentItem();
    const int row = list_->indexOfTopLevelItem(current);
    const Finding* const shown = findingAt(current);
    const std::optional<Finding> was = shown ? std::optional<Finding>(*shown) : std::nullopt;
    const int scrolled = list_->verticalScrollBar()->value();
    findings_ = std::move(found);
    fillFindings();
    if (selection == Selection::FirstRow) {
        selectFirstRow();
        return;
    }
    if (was) {
        QTreeWidgetItem* same = nullptr;
        for (int r = 0; r < list_->topLevelItemCount() && !same; ++r)
            if (const Finding* finding = findingAt(list_->topLevelItem(r)); finding && sameFinding(*finding, *was))
                same = list_->topLevelItem(r);
        if (!same)
            same = list_->topLevelItem(std::min(row, list_->topLevelItemCount() - 1));
        if (same)
            list_->setCurrentItem(same);
    }
    list_->verticalScrollBar()->setValue(scrolled);
}

void StageCheckWindow::selectFirstRow()
{
    if (list_->topLevelItemCount() > 0)
        list_->setCurrentItem(list_->topLevelItem(0));
    list_->scrollToTop();
}

void StageCheckWindow::fillFindings()
{
    // Sorting waits until every row is in, then orders them by the header's column.
    list_->setSortingEnabled(false);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (std::size_t n = 0; n < findings_.size(); ++n) {
        const Finding& finding = findings_[n];
        if (hideNotes_->isChecked() && finding.severity == Severity::Note)
            continue;
        auto* item = new FindingItem;
        item->setData(colStage, FindingRole, static_cast<int>(n));
        item->setText(colStage, stageSelectorEntry(finding.stage));
        item->setData(colStage, SortRole, finding.stage);
        item->setIcon(colSeverity, style()->standardIcon(iconOf(finding.severity)));
        item->setText(colSeverity, QString::fromStdString(severityWord(finding.severity)));
        item->setData(colSeverity, SortRole, static_cast<int>(finding.severity));
        item->setText(colPlace, QString::fromStdString(placeText(finding)));
        item->setData(colPlace, SortRole, static_cast<int>(finding.place) * 0x100 + finding.index);
        const QString text = QString::fromStdString(finding.text);
        item->setText(colText, text);
        item->setData(colText, SortRole, text);
        item->setToolTip(colText, text); // the whole sentence where the column cuts it
        items << item;
    }
    list_->addTopLevelItems(items);
    list_->setSortingEnabled(true);
    list_->setColumnHidden(colStage, !all_->isChecked());
    // The short columns as wide as their words and the sort mark; the sentence has the rest.
    for (const int column : {colStage, colSeverity, colPlace}) {
        list_->resizeColumnToContents(column);
        list_->setColumnWidth(column, list_->columnWidth(column) + 20);
    }
    QString status = findingCountsText(findings_);
    if (hideNotes_->isChecked() && std::ranges::count(findings_, Severity::Note, &Finding::severity) > 0)
        status += qText(" (注記は隠しています)", " (notes hidden)");
    status_->setText(status);
}

const Finding* StageCheckWindow::findingAt(QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    const int n = item->data(colStage, FindingRole).toInt();
    return n >= 0 && n < static_cast<int>(findings_.size()) ? &findings_[static_cast<std::size_t>(n)] : nullptr;
}

void StageCheckWindow::activated(QTreeWidgetItem* item)
{
    const Finding* finding = findingAt(item);
    if (!finding)
        return;
    // A copy: leading there may change the stage, and with it the list.
    const Finding copy = *finding;
    showFinding(pages_, rom_, copy);
    // The keys go to the control the finding names; this window stays in front of the editor.
    pages_.editorWindow()->activateWindow();
}

void StageCheckWindow::showInFront()
{
    if (isVisible())
        recheck();
    else
        show();
    raise();
    activateWindow();
}

} // namespace vx
