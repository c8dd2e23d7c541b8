#include "gui/commands/RenumberCommands.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/ChipOrder.h"
#include "core/model/ColourUses.h"
#include "core/model/RomImage.h"
#include "core/model/TileOrder.h"
#include "core/model/TileSheet.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/InfoListDialog.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/PageTabs.h"
#include "gui/pages/PageUnits.h"
#include "gui/pages/PaletteEdit.h"
#include "gui/pages/Prompts.h"
#include "gui/pages/TileEdit.h"
#include "gui/widgets/PageControls.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}
QString hex2(int value) { return hex2Text(static_cast<unsigned>(value)); }
QString hexList(const std::vector<int>& numbers) { return QString::fromStdString(hexListText(numbers)); }

// "1 cell", "12 cells".
QString counted(int count, const char* one, const char* many)
{
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

// "12 cells in 5 rooms, stage(s) 00, 01" as the question and the report say it.
QString chipChangeText(const ChipChange& change)
{
    if (isJapanese())
        return QString::fromUtf8("%1 部屋の %2 セル (ステージ %3)")
            .arg(change.rooms)
            .arg(change.cells)
            .arg(hexList(change.stages));
    return QStringLiteral("%1 in %2, stage(s) %3")
        .arg(counted(change.cells, "cell", "cells"), counted(change.rooms, "room", "rooms"), hexList(change.stages));
}

QString tileChangeText(const TileChange& change)
{
    QString text = qText("チップの番号 %1 箇所を付け替え "
                         "(ステージ %2)",
                         "%1 chip entries renumbered (stage(s) %2)")
                       .arg(change.entries)
                       .arg(hexList(change.stages));
    if (!change.drawing.empty())
        text += qText("\nステージ %1 も同じバイトを描いており、見た目は変わりません。",
                      "\nStage(s) %1 draw these bytes too and keep looking the same.")
                    .arg(hexList(change.drawing));
    return text;
}

// The chips of a colour, one line each with its quarters: "05: 0 2 3".
QString quarterLines(const std::vector<ChipQuarter>& quarters)
{
    QString text;
    for (std::size_t i = 0; i < quarters.size(); ++i) {
        const bool first = i == 0 || quarters[i - 1].chip != quarters[i].chip;
        if (first)
            text += (i == 0 ? QString() : QStringLiteral("\r\n")) + hex2(quarters[i].chip) + QLatin1Char(':');
        text += QLatin1Char(' ') + QString::number(quarters[i].quarter);
    }
    return text;
}

// Ten rooms a line, so that the list window needs no sideways scrolling for them.
QString roomLines(const std::vector<int>& rooms)
{
    QString text;
    for (std::size_t i = 0; i < rooms.size(); i += 10) {
        const auto end = rooms.begin() + static_cast<std::ptrdiff_t>(std::min(rooms.size(), i + 10));
        text += (i == 0 ? QString() : QStringLiteral(",\r\n")) +
            hexList(std::vector<int>(rooms.begin() + static_cast<std::ptrdiff_t>(i), end));
    }
    return text;
}

QString animationLine(const ColourUse& use)
{
    if (!use.animated)
        return qText("パレットアニメなし", "No palette animation");
    if (!use.animationChanges)
        return qText("パレットアニメでは変わりません", "The animation keeps it");
    return qText("パレットアニメで色が変わります: ", "The animation changes it: ") +
        hexList(std::vector<int>(use.frames.begin(), use.frames.end()));
}

} // namespace

RenumberItems addRenumberItems(QMenu* edit, QMenu* tools, QAction* toolsBefore,
                               const std::function<void(Renumber, bool checked)>& run)
{
    // The action is the connection's context: a menu drops every connection it receives
    // for an action it takes out.
    const auto item = [&run](QMenu* menu, QAction* before, const char* name, Renumber command) {
        auto* action = new QAction(menu);
        menu->insertAction(before, action);
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, action, [run, command](bool checked) { run(command, checked); });
        return action;
    };
    edit->addSeparator();
    RenumberItems items;
    items.swapChip = item(edit, nullptr, "MenuItemSwapChip", Renumber::SwapChip);
    items.moveChip = item(edit, nullptr, "MenuItemMoveChip", Renumber::MoveChip);
    items.mergeChips = item(edit, nullptr, "MenuItemMergeChips", Renumber::MergeChips);
    items.swapTiles = item(edit, nullptr, "MenuItemSwapTiles", Renumber::SwapTiles);
    items.colourUses = item(tools, toolsBefore, "MenuItemFindColourUses", Renumber::ColourUses);
    items.unusedColours = item(tools, toolsBefore, "MenuItemShowUnusedColours", Renumber::UnusedColours);
    items.unusedColours->setCheckable(true);
    tools->insertSeparator(toolsBefore);
    const auto caption = [items] {
        items.swapChip->setText(qText("チップの入れ替え(&S)...", "&Swap Chip..."));
        items.moveChip->setText(qText("チップの移動(&M)...", "&Move Chip..."));
        items.mergeChips->setText(qText("重複チップの統合(&G)...", "Mer&ge Duplicate Chips..."));
        items.swapTiles->setText(qText("タイルの入れ替え(&T)...", "Swap &Tiles..."));
        items.colourUses->setText(qText("色の使用箇所(&U)...", "Find Colour &Uses..."));
        items.unusedColours->setText(qText("未使用の色を表示(&N)", "Show U&nused Colours"));
    };
    caption();
    QObject::connect(edit, &QMenu::aboutToShow, edit, caption);
    QObject::connect(tools, &QMenu::aboutToShow, tools, caption);
    return items;
}

RenumberCommands::RenumberCommands(EditorContext& context, PageUnits& units, QWidget* dialogParent)
    : context_(context), units_(units), list_(new InfoListDialog(dialogParent))
{
    list_->setObjectName(QStringLiteral("ColourUsesForm"));
    units.tileEdit()->swapRequested = [this] { run(Renumber::SwapTiles); };
    units.chip32x32Edit()->mergeRequested = [this] { run(Renumber::MergeChips); };
}

void RenumberCommands::run(Renumber command, bool checked)
{
    if (!context_.rom.isLoaded())
        return;
    switch (command) {
    case Renumber::SwapChip: swapChip(false); break;
    case Renumber::MoveChip: swapChip(true); break;
    case Renumber::MergeChips: mergeChips(); break;
    case Renumber::SwapTiles: swapTiles(); break;
    case Renumber::ColourUses: showColourUses(); break;
    case Renumber::UnusedColours: showUnusedColours(checked); break;
    }
}

std::optional<int> RenumberCommands::askNumber(const QString& caption, const QString& prompt, const QString& initial)
{
    const std::optional<QString> typed = context_.prompts.inputText(caption, prompt, initial);
    if (!typed)
        return std::nullopt;
    const auto number = parseHex(trimBlanks(typed->toStdString()));
    if (!number || *number > 0xFFFF) {
        context_.prompts.showMessage(qText("番号を 16 進で入力して下さい。", "Type the number in hex."));
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

void RenumberCommands::swapChip(bool move)
{
    RomImage& rom = context_.rom;
    const int stage = rom.currentStageIndex(), from = units_.pickedChip();
    const QString caption = move ? qText("チップの移動", "Move Chip") //
                                 : qText("チップの入れ替え", "Swap Chip");
    const QString prompt = move ? qText("チップ %1 の移動先 "
                                        "(未使用の番号、16 進):",
                                        "Move chip %1 to (an unused number, in hex):")
                                : qText("チップ %1 と入れ替えるチップ "
                                        "(16 進):",
                                        "Swap chip %1 with (in hex):");
    const auto to = askNumber(caption, prompt.arg(hex2(from)));
    if (!to)
        return;
    const Result<ChipChange> preview =
        move ? previewChipMove(rom, stage, from, *to) : previewChipSwap(rom, stage, from, *to);
    if (!preview.ok()) {
        context_.prompts.showMessage(QString::fromStdString(preview.error().text()));
        return;
    }
    const QString question = (move ? qText("チップ %1 を %2 に移動します: ", "Move chip %1 to %2: ")
                                   : qText("チップ %1 と %2 を入れ替えます: ", "Swap chips %1 and %2: "))
                                 .arg(hex2(from), hex2(*to)) +
        chipChangeText(preview.value()) + qText("。よろしいですか?", ". Go ahead?");
    if (!context_.prompts.askYesNo(question))
        return;
    const Result<ChipChange> done = move ? moveChip(rom, stage, from, *to) : swapChips(rom, stage, from, *to);
    if (!done.ok()) {
        context_.prompts.showMessage(QString::fromStdString(done.error().text()));
        return;
    }
    // The chips picked on the chip and map pages keep what they show, at its new number.
    const auto follow = [&](int chip) { return chip == from ? *to : chip == *to && !move ? from : chip; };
    units_.chip32x32Edit()->selectChip(follow(units_.chip32x32Edit()->editedChip()));
    units_.mapEdit()->selectChip(follow(units_.mapEdit()->selectedChip()));
    if (edited)
        edited((move ? qText("チップ %1 を %2 に移動しました: ", "Moved chip %1 to %2: ")
                     : qText("チップ %1 と %2 を入れ替えました: ", "Swapped chips %1 and %2: "))
                   .arg(hex2(from), hex2(*to)) +
               chipChangeText(done.value()));
}

void RenumberCommands::mergeChips()
{
    RomImage& rom = context_.rom;
    const int stage = rom.currentStageIndex();
    const Result<ChipChange> preview = previewChipMerge(rom, stage);
    if (!preview.ok()) {
        context_.prompts.showMessage(QString::fromStdString(preview.error().text()));
        return;
    }
    // Groups a line each, as many as a question box shows on a small screen.
    const std::vector<std::vector<int>> mergeable = mergeableChipGroups(rom, stage);
    constexpr std::size_t ShownGroups = 12;
    QString groups;
    for (std::size_t i = 0; i < std::min(mergeable.size(), ShownGroups); ++i)
        groups += QStringLiteral("\n") + hexList(mergeable[i]);
    if (mergeable.size() > ShownGroups)
        groups += qText("\n…ほか %1 組", "\n… and %1 more groups").arg(mergeable.size() - ShownGroups);
    const QString question = qText("重複チップの各組を一番小さい番号にまとめます: ",
                                   "Point each group of equal chips at its lowest number: ") +
        chipChangeText(preview.value()) + qText("。空く番号: ", ". Set free: ") + hexList(preview.value().freed) +
        groups + qText("\nよろしいですか?", "\nGo ahead?");
    if (!context_.prompts.askYesNo(question))
        return;
    const Result<ChipChange> done = vx::mergeChips(rom, stage);
    if (!done.ok()) {
        context_.prompts.showMessage(QString::fromStdString(done.error().text()));
        return;
    }
    if (edited)
        edited(qText("重複チップを統合しました: ", "Merged equal chips: ") + chipChangeText(done.value()) +
               qText("。空いた番号: ", "; set free: ") + hexList(done.value().freed));
}

void RenumberCommands::swapTiles()
{
    RomImage& rom = context_.rom;
    const TileEdit& tiles = *units_.tileEdit();
    if (tiles.table() != TileTable::Background) {
        context_.prompts.showMessage(qText("入れ替えられるのは背景タイルだけです。"
                                           "タイルのページで背景タイルを選んで下さい。",
                                           "Only background tiles can be swapped: pick one on the tiles page."));
        return;
    }
    const bool chips = tiles.editsChips();
    const TileUnit unit = chips ? TileUnit::Chip16 : TileUnit::Tile;
    const int from = chips ? tiles.tile() / 4 : tiles.tile();
    const QString what = chips ? qText("16x16チップ %1", "16x16 chip %1").arg(hex2(from))
                               : qText("8x8タイル %1", "8x8 tile %1").arg(hex2(from));
    const QString prompt = chips ? qText("%1 と入れ替える 16x16チップ "
                                         "(00-3F、16 進):",
                                         "Swap %1 with (00-3F, in hex):")
                                 : qText("%1 と入れ替える 8x8タイル "
                                         "(00-FF、16 進):",
                                         "Swap %1 with (00-FF, in hex):");
    const auto to = askNumber(qText("タイルの入れ替え", "Swap Tiles"), prompt.arg(what));
    if (!to)
        return;
    const int stage = rom.currentStageIndex();
    const Result<TileChange> preview = previewTileSwap(rom, stage, unit, from, *to);
    if (!preview.ok()) {
        context_.prompts.showMessage(QString::fromStdString(preview.error().text()));
        return;
    }
    const QString question = qText("%1 と %2 を入れ替えます: ", "Swap %1 and %2: ").arg(what, hex2(*to)) +
        tileChangeText(preview.value()) + qText("\nよろしいですか?", "\nGo ahead?");
    if (!context_.prompts.askYesNo(question))
        return;
    const Result<TileChange> done = vx::swapTiles(rom, stage, unit, from, *to);
    if (!done.ok()) {
        context_.prompts.showMessage(QString::fromStdString(done.error().text()));
        return;
    }
    units_.tileEdit()->tilesChanged();
    if (edited)
        edited(qText("%1 と %2 を入れ替えました: ", "Swapped %1 and %2: ").arg(what, hex2(*to)) +
               tileChangeText(done.value()).section(QLatin1Char('\n'), 0, 0));
}

void RenumberCommands::showColourUses()
{
    const int current = units_.paletteEdit()->currentEntry();
    const auto entry = askNumber(qText("色の使用箇所", "Find Colour Uses"),
                                 qText("パレットの番号 (00-0F、16 進):", "Palette entry (00-0F, in hex):"),
                                 current < 0 ? QString() : hex2(current));
    if (!entry)
        return;
    if (*entry > 0x0F) {
        context_.prompts.showMessage(qText("チップが描く色は背景パレット 00-0F だけです。",
                                           "Chips draw with the background entries 00-0F only."));
        return;
    }
    const ColourUse use = colourUses(context_.rom.currentStage(), *entry);
    const QString heading = qText("パレット %1 "
                                  "(サブパレット %2 の色 %3)",
                                  "Entry %1 (sub-palette %2, colour %3)")
                                .arg(hex2(*entry))
                                .arg(*entry / 4)
                                .arg(*entry % 4);
    QString text;
    if (*entry != 0 && *entry % 4 == 0)
        text = qText("色 0 はどのサブパレットでもパレット 00 を表示するため、"
                     "この番号は画面に出ません。",
                     "Colour 0 of every sub-palette shows entry 00, so this entry never shows.");
    else {
        text = qText("部屋: ", "Rooms: ") + (use.rooms.empty() ? qText("なし", "none") : roomLines(use.rooms));
        text += QStringLiteral("\r\n") + animationLine(use) + QStringLiteral("\r\n") +
            qText("チップの %1 区画\r\n(0 左上、1 左下、2 右上、3 右下):",
                  "%1 chip quarters\r\n(0 top-left, 1 bottom-left, 2 top-right,\r\n3 bottom-right):")
                .arg(use.quarters.size()) +
            QStringLiteral("\r\n") + quarterLines(use.quarters);
    }
    list_->showList(heading, text);
}

void RenumberCommands::showUnusedColours(bool shown)
{
    units_.paletteEdit()->showUnused(shown);
    if (!shown)
        return;
    const QString unused = qText("どのチップも使わない色 (×印): ", //
                                 "Entries no chip draws with (crossed out): ");
    context_.setStatus(2, unused + hexList(unusedPaletteEntries(context_.rom.currentStage())));
}

} // namespace vx
