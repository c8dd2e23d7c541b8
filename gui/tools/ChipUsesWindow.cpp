#include "gui/tools/ChipUsesWindow.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "core/model/TileSheet.h"
#include "gui/pages/EditorUnit.h"
#include "gui/pages/PageNavigator.h"
#include "gui/pages/Prompts.h"
#include "gui/widgets/HexBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

QString hex2(int value) { return QString::fromStdString(formatHex(static_cast<std::uint32_t>(value), 2)); }

// "Stage 03 room 12 column 4 row 7 (stages 03, 08)"
QString useText(const ChipUse& use)
{
    QString text = qText("ステージ %1 部屋 %2 列 %3 行 %4", "Stage %1 room %2 column %3 row %4")
                       .arg(hex2(use.stage), hex2(use.room))
                       .arg(use.column)
                       .arg(use.row);
    if (use.stages.size() > 1)
        text += qText(" (ステージ %1)", " (stages %1)").arg(QString::fromStdString(hexListText(use.stages)));
    return text;
}

QString countText(const UseCount& count)
{
    if (isJapanese())
        return QString::fromUtf8("%1 個のセル、%2 部屋").arg(count.cells).arg(count.rooms);
    return QString::fromStdString(englishCount(count.cells, "cell", "cells") + " in " +
                                  englishCount(count.rooms, "room", "rooms"));
}

QString englishCountText(int count, const char* one, const char* many)
{
    return QString::fromStdString(englishCount(count, one, many));
}

// Each map replaced is one step in one stage's history; a replace of several is undone as one
// while every step is still its stage's last.
QString stepsText(int stages)
{
    if (isJapanese())
        return stages > 1 ? QString::fromUtf8("%1 ステージの履歴にそれぞれ 1 ステップが入りま"
                                              "す。どのス"
                                              "テージも続けて編集"
                                              "しない間は、元に戻すで全ステージの置き換えが"
                                              "まとめて戻"
                                              "ります。その後は各"
                                              "ステージの元に戻すでそのステージの分だけが戻"
                                              "ります。")
                                .arg(stages)
                          : QString();
    return stages > 1 ? QStringLiteral("It makes one step in the history of each of %1; Undo takes the replace back in "
                                       "all of them until one of them is edited again, then each stage's Undo takes "
                                       "back its own part.")
                            .arg(englishCountText(stages, "stage", "stages"))
                      : QString();
}

// Short: the status panel is narrow.
QString replacedText(int from, int to, const UseCount& count)
{
    if (isJapanese())
        return QString::fromUtf8("チップ %1→%2: %3 ステージの履歴に 1 ステップずつ")
            .arg(hex2(from), hex2(to))
            .arg(count.maps);
    return QStringLiteral("Chip %1 replaced by %2: an Undo step in %3")
        .arg(hex2(from), hex2(to), englishCountText(count.maps, "stage", "stages"));
}

std::optional<int> chipOfBox(const QLineEdit* box)
{
    const auto value = parseHex(box->text().toStdString());
    return value && *value <= 0xFF ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

} // namespace

ChipUsesWindow::ChipUsesWindow(PageNavigator& pages, const EditorContext& context)
    : QDialog(pages.editorWindow()), pages_(pages), rom_(context.rom), prompts_(context.prompts)
{
    setObjectName(QStringLiteral("ChipUsesWindow"));
    setWindowTitle(qText("使用箇所の検索", "Find Chip Uses"));
    chipBox_ = makeHexBox(QStringLiteral("EditChipUsesChip"), this, 0, 0, 40, 22);
    auto* thisStage = new QRadioButton(qText("このステージ(&S)", "This &stage"), this);
    thisStage->setObjectName(QStringLiteral("RadioChipUsesThisStage"));
    thisStage->setChecked(true);
    allStages_ = new QRadioButton(qText("すべてのステージ(&A)", "&All stages"), this);
    allStages_->setObjectName(QStringLiteral("RadioChipUsesAllStages"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListChipUses"));
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("LblChipUsesCount"));
    replacementBox_ = makeHexBox(QStringLiteral("EditChipUsesReplacement"), this, 0, 0, 40, 22);
    replaceButton_ = new QPushButton(qText("置換(&R)...", "&Replace..."), this);
    replaceButton_->setObjectName(QStringLiteral("BtnChipUsesReplace"));

    auto* chipLabel = new QLabel(qText("チップ(&C):", "&Chip:"), this);
    chipLabel->setBuddy(chipBox_);
    auto* replacementLabel = new QLabel(qText("置き換えるチップ(&W):", "Replace &with:"), this);
    replacementLabel->setBuddy(replacementBox_);
    auto* top = new QHBoxLayout;
    top->addWidget(chipLabel);
    top->addWidget(chipBox_);
    top->addWidget(thisStage);
    top->addWidget(allStages_);
    top->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(replacementLabel);
    bottom->addWidget(replacementBox_);
    bottom->addWidget(replaceButton_);
    bottom->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    layout->addWidget(count_);
    layout->addLayout(bottom);
    resize(420, 360);

    connect(chipBox_, &QLineEdit::textChanged, this, &ChipUsesWindow::search);
    connect(allStages_, &QRadioButton::toggled, this, &ChipUsesWindow::search);
    connect(list_, &QListWidget::itemActivated, this, &ChipUsesWindow::activated);
    connect(replaceButton_, &QPushButton::clicked, this, &ChipUsesWindow::replace);
    // Edits anywhere change the uses: listed again shortly after, as the stage check does.
    editTimer_ = new QTimer(this);
    editTimer_->setSingleShot(true);
    editTimer_->setInterval(150);
    connect(editTimer_, &QTimer::timeout, this, &ChipUsesWindow::search);
    pages.listen(this, [this](PageNavigator::Change change) {
        if (change == PageNavigator::Change::ImageClosed)
            hide(); // it shows an image that is gone
        else if (change == PageNavigator::Change::StageShown && isVisible())
            search();
        else if (change == PageNavigator::Change::Edited && isVisible())
            editTimer_->start();
    });
}

int ChipUsesWindow::chip() const { return chipOfBox(chipBox_).value_or(-1); }

void ChipUsesWindow::showChip(int chip, bool replace)
{
    chipBox_->setText(hex2(chip));
    show();
    raise();
    activateWindow();
    search();
    (replace ? replacementBox_ : static_cast<QWidget*>(list_))->setFocus();
}

void ChipUsesWindow::search()
{
    const RomImage& rom = rom_;
    list_->clear();
    uses_.clear();
    const int wanted = chip();
    if (rom.isLoaded() && wanted >= 0)
        uses_ = chipUses(rom, wanted, allStages_->isChecked() ? -1 : rom.currentStageIndex());
    for (const ChipUse& use : uses_)
        list_->addItem(useText(use));
    count_->setText(wanted < 0 ? qText("チップ番号を 16 進で入力して下さい"
                                       "。",
                                       "Type a chip number in hex.")
                               : countText(countUses(uses_)));
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    pages_.highlightChip(rom.isLoaded() && isVisible() ? wanted : -1);
}

void ChipUsesWindow::activated(QListWidgetItem* item)
{
    const int row = list_->row(item);
    if (row < 0 || row >= static_cast<int>(uses_.size()))
        return;
    const ChipUse use = uses_[static_cast<std::size_t>(row)];
    // A stage sharing the map shows it as well; otherwise the selector goes to the map's stage.
    if (std::ranges::find(use.stages, rom_.currentStageIndex()) == use.stages.end())
        pages_.showStage(use.stage);
    pages_.showCell(use.room, use.column * 8 + use.row);
}

void ChipUsesWindow::replace()
{
    RomImage& rom = rom_;
    const int from = chip();
    const auto to = chipOfBox(replacementBox_);
    if (!rom.isLoaded() || from < 0)
        return;
    if (!to) {
        prompts_.showMessage(qText("置き換えるチップを 16 進で入力して下さい"
                                   "。",
                                   "Type the replacing chip in hex."));
        return;
    }
    const int stage = allStages_->isChecked() ? -1 : rom.currentStageIndex();
    const UseCount count = countUses(chipUses(rom, from, stage));
    QString question = isJapanese()
        ? QString::fromUtf8("チップ %1 を %2 に置き換えます: %3 部屋の %4 セル (マッ"
                            "プ %5 個)。よろしいですか?")
              .arg(hex2(from), hex2(*to))
              .arg(count.rooms)
              .arg(count.cells)
              .arg(count.maps)
        : QStringLiteral("Replace chip %1 by %2 in %3 of %4 (%5)?")
              .arg(hex2(from), hex2(*to), englishCountText(count.cells, "cell", "cells"),
                   englishCountText(count.rooms, "room", "rooms"), englishCountText(count.maps, "map", "maps"));
    if (const QString steps = stepsText(count.maps); !steps.isEmpty())
        question += QLatin1Char('\n') + steps;
    if (from != *to && count.cells > 0 && !prompts_.askYesNo(question))
        return;
    const Result<UseCount> replaced = replaceChip(rom, from, *to, stage);
    if (!replaced.ok()) {
        prompts_.showMessage(QString::fromStdString(replaced.error().text()));
        return;
    }
    pages_.showEditMade(replacedText(from, *to, replaced.value()));
    search();
}

void ChipUsesWindow::hideEvent(QHideEvent* event)
{
    pages_.highlightChip(-1);
    QDialog::hideEvent(event);
}

} // namespace vx
