#include "gui/commands/ShareCommands.h"

#include "core/base/Errors.h"
#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/IniFile.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"
#include "core/files/Patch.h"
#include "core/model/RomImage.h"
#include "core/model/StageCheck.h"
#include "core/model/StageTiles.h"
#include "core/text/StageText.h"
#include "core/text/StageTextImport.h"
#include "gui/pages/Prompts.h"
#include "render/BitmapGlyphRenderer.h"
#include "render/BitmapPng.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "render/StagePaletteFile.h"
#include "render/StageSheetPicture.h"
#include "render/StageSheets.h"
#include "render/TilePictures.h"

#include <QFileInfo>
#include <algorithm>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

QString hex2(int value) { return QString::fromStdString(formatHex(static_cast<std::uint32_t>(value), 2)); }

// "stage-03.json", as the tool's export names it.
QString stageFileName(int stage, const char* extension)
{
    return QStringLiteral("stage-") + hex2(stage) + QLatin1String(extension);
}

// "game-stage03.png": the image's name, the stage and what it holds.
QString imageStageFileName(const std::string& image, int stage, const char* ending)
{
    return QFileInfo(QString::fromStdString(image)).completeBaseName() + QStringLiteral("-stage") + hex2(stage) +
        QLatin1String(ending);
}

const char* tableKey(TileTable table) { return table == TileTable::Background ? "Background" : "Sprites"; }

// "16x16 chip layout", for the status bar after a tile picture went out or came in.
QString layoutText(TileLayout layout)
{
    return layout == TileLayout::Chips ? qText("16x16 チップの並び", "16x16 chip layout")
                                       : qText("タイル番号順の並び", "tile order layout");
}

const char* folderKey(int kind)
{
    static const char* const keys[] = {"Image", "Patch", "Picture", "Text", "Palette"};
    return keys[kind];
}

} // namespace

QString wroteFileText(const QString& path, std::uint64_t size)
{
    const QString digits = QString::fromStdString(groupedDecimal(size));
    const QString name = path.section(QLatin1Char('/'), -1);
    return qText("%1 を書き出しました (%2 バイト)", "Wrote %1 (%2 bytes)").arg(name, digits);
}

ShareCommands::ShareCommands(Prompts& prompts, RomImage& rom, const PaletteManager& palette)
    : prompts_(prompts), rom_(rom), palette_(palette)
{
}

void ShareCommands::refuse(const QString& text)
{
    // What the status bar says of an earlier command is no news of this one.
    if (wrote)
        wrote(QString());
    prompts_.showMessage(text);
}

bool ShareCommands::refusesToReplaceAnInput(const QString& output, std::initializer_list<std::string> inputs)
{
    for (const std::string& input : inputs) {
        if (!sameFile(output.toStdString(), input))
            continue;
        refuse(qText("%1 は書き出しの元になるファイルです。別の名前を選んで下さい。"
                     "何も書き込みませんでした。",
                     "%1 is what this is made from: choose another name. Nothing was written.")
                   .arg(QString::fromStdString(input)));
        return true;
    }
    return false;
}

QString ShareCommands::startFolder(FileKind kind) const
{
    if (IniFile* kept = preferences ? preferences() : nullptr) {
        const QString folder =
            QString::fromStdString(kept->readString("Folders", folderKey(static_cast<int>(kind)), ""));
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return imageFolder();
}

void ShareCommands::rememberFolder(FileKind kind, const QString& chosenPath)
{
    IniFile* kept = preferences ? preferences() : nullptr;
    if (!kept)
        return;
    kept->writeString("Folders", folderKey(static_cast<int>(kind)), QFileInfo(chosenPath).absolutePath().toStdString());
    try {
        kept->updateFile();
    } catch (const std::exception&) {
        // A folder not kept costs nothing now; the file's trouble is said where it is read.
    }
}

std::optional<QString> ShareCommands::chooseOutput(FileKind kind, const QString& caption, const QString& filters,
                                                   std::initializer_list<const char*> extensions,
                                                   const QString& wrongName, std::initializer_list<std::string> inputs,
                                                   const QString& suggestedName)
{
    const QString folder = startFolder(kind);
    const auto path = prompts_.chooseFileToSave(
        caption, filters, folder.isEmpty() ? suggestedName : folder + QLatin1Char('/') + suggestedName);
    if (!path)
        return std::nullopt;
    // Data under another file's kind of name would mislead.
    if (std::none_of(extensions.begin(), extensions.end(),
                     [&](const char* extension) { return hasExtension(path->toStdString(), extension); })) {
        refuse(wrongName);
        return std::nullopt;
    }
    if (refusesToReplaceAnInput(*path, inputs))
        return std::nullopt;
    rememberFolder(kind, *path);
    return path;
}

QString ShareCommands::imageFolder() const
{
    const QString image = QString::fromStdString(rom_.fileName());
    return image.contains(QLatin1Char('/')) ? image.section(QLatin1Char('/'), 0, -2) : QString();
}

void ShareCommands::writeAndReport(const QString& path, const std::function<std::size_t()>& write, const QString& note)
{
    try {
        const std::size_t size = write();
        if (wrote)
            wrote(wroteFileText(path, size) + (note.isEmpty() ? QString() : QStringLiteral("; ") + note));
    } catch (const UserError& error) {
        refuse(QString::fromStdString(error.what()));
    }
}

void ShareCommands::writeBytesAndReport(const QString& path, std::span<const std::uint8_t> bytes, const QString& note)
{
    writeAndReport(
        path,
        [&] {
            writeOutputFile(path.toStdString(), bytes);
            return bytes.size();
        },
        note);
}

void ShareCommands::createPatch()
{
    if (!rom_.isLoaded())
        return;
    const auto originalPath =
        prompts_.chooseFileToOpen(qText("元のイメージの選択", "Choose the Original Image"),
                                  QString::fromStdString(captionText("ヴェクサロン2 ROMイメー"
                                                                     "ジ(*.nes);;",
                                                                     "VEXALON 2 ROM images (*.nes);;")) +
                                      qText("すべてのファイル (*)", "All files (*)"),
                                  startFolder(FileKind::Image));
    if (!originalPath)
        return;
    rememberFolder(FileKind::Image, *originalPath);
    const std::vector<std::uint8_t> edited = rom_.editedImage();
    std::vector<std::uint8_t> original;
    try {
        original = readInputFile(originalPath->toStdString(), InputKind::Image);
    } catch (const UserError& error) {
        refuse(QString::fromStdString(error.what()));
        return;
    }
    // Told before a patch name is asked for.
    if (const Result<void> patchable = checkPatchable(original, edited); !patchable.ok()) {
        refuse(QString::fromStdString(patchable.error().text()));
        return;
    }
    const auto patchPath = chooseOutput(
        FileKind::Patch, qText("パッチの保存", "Save the Patch"), QStringLiteral("BPS (*.bps);;IPS (*.ips)"),
        {".bps", ".ips"},
        qText("パッチのファイル名は .bps か .ips で終えて下さい"
              "。",
              "A patch's file name ends in .bps or .ips."),
        {rom_.fileName(), originalPath->toStdString()},
        QString::fromStdString(rom_.fileName()).section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0) +
            QStringLiteral(".bps"));
    if (!patchPath)
        return;
    const auto format = patchFormatOfPath(patchPath->toStdString()); // .bps or .ips, as checked
    if (!format)
        return;
    const Result<MadePatch> patch = makePatchBetween(original, edited, *format);
    if (!patch.ok()) {
        refuse(QString::fromStdString(patch.error().text()));
        return;
    }
    writeBytesAndReport(*patchPath, patch.value().bytes);
}

void ShareCommands::exportStagePicture()
{
    if (!rom_.isLoaded())
        return;
    const auto path =
        chooseOutput(FileKind::Picture,
                     qText("ステージ画像の書き出"
                           "し",
                           "Export Stage Picture"),
                     QStringLiteral("PNG (*.png)"), {".png"},
                     qText("画像のファイル名は .png で終えて下さい"
                           "。",
                           "A picture's file name ends in .png."),
                     {rom_.fileName()}, imageStageFileName(rom_.fileName(), rom_.currentStageIndex(), ".png"));
    if (!path)
        return;
    // Drawn apart from the pages, in the stage's still colours: the animation on screen and
    // the shared sheets stay as they are. The tool's font and PNG, so the tool's picture of
    // the stage is the same file.
    std::vector<std::uint8_t> colours;
    for (int i = 0; i < PaletteManager::ColorCount; ++i)
        for (int shift : {0, 8, 16})
            colours.push_back(static_cast<std::uint8_t>(palette_.getRGB(i) >> shift));
    PaletteManager palette(colours, "fcpalette.pal");
    const BitmapGlyphRenderer glyphs;
    GraphicManager graphics(palette, &glyphs);
    const StageData& stage = rom_.currentStage();
    StageSheets sheets;
    // A pattern overflow was reported when the stage was selected.
    prepareStageSheets(graphics, stage, rom_.imageBytes(), sheets, [](const std::string&) {});
    const SheetPictureOptions options{11, true, true, true, true};
    const std::vector<std::uint8_t> png =
        bitmapPng(*drawStageSheetPicture(graphics, stage, *sheets.chip32Sheet, options));
    writeBytesAndReport(*path, png);
}

void ShareCommands::exportStageText()
{
    if (!rom_.isLoaded())
        return;
    const auto path = chooseOutput(FileKind::Text,
                                   qText("ステージのテキスト書き出"
                                         "し",
                                         "Export Stage as Text"),
                                   QStringLiteral("JSON (*.json)"), {".json"},
                                   qText("テキストのファイル名は .json で終えて下さい"
                                         "。",
                                         "A stage text's file name ends in .json."),
                                   {rom_.fileName()}, stageFileName(rom_.currentStageIndex(), ".json"));
    if (!path)
        return;
    const std::string text = stageToText(rom_, rom_.currentStageIndex());
    writeBytesAndReport(*path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void ShareCommands::importStageText()
{
    if (!rom_.isLoaded())
        return;
    const QString nothing = qText("何も読み込みませんでした。", "Nothing was imported.");
    const QStringList files = prompts_.chooseFilesToOpen(qText("ステージのテキスト読み込"
                                                               "み",
                                                               "Import Stage Text"),
                                                         QStringLiteral("JSON (*.json)"), startFolder(FileKind::Text));
    if (!files.isEmpty())
        rememberFolder(FileKind::Text, files.first());
    std::vector<StageText> texts;
    for (const QString& file : files) {
        try {
            const std::vector<std::uint8_t> bytes = readInputFile(file.toStdString(), InputKind::Text);
            Result<StageText> read =
                readStageText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                              file.section(QLatin1Char('/'), -1).toStdString());
            if (!read.ok()) {
                refuse(QString::fromStdString(read.error().text()) + QLatin1Char('\n') + nothing);
                return;
            }
            texts.push_back(std::move(read.value()));
        } catch (const UserError& error) {
            refuse(QString::fromStdString(error.what()) + QLatin1Char('\n') + nothing);
            return;
        }
    }
    if (texts.empty())
        return;
    const Result<ImportPreview> preview = previewStageTexts(rom_, texts);
    if (!preview.ok()) {
        refuse(QString::fromStdString(preview.error().text()) + QLatin1Char('\n') + nothing);
        return;
    }
    if (!preview.value().newErrors.empty()) {
        QString lines;
        for (const Finding& finding : preview.value().newErrors)
            lines += QString::fromStdString(findingLine(finding)) + QLatin1Char('\n');
        if (!prompts_.askYesNo(qText("ステージの点検で、今はないエラーが見つかりま"
                                     "す:\n\n%1\nそれでも読み込みますか？",
                                     "The stage check finds errors the image does not have now:\n\n%1\nImport anyway?")
                                   .arg(lines)))
            return;
    }
    if (!applyStageTexts(rom_, texts).ok())
        return; // the preview applied the same texts to a copy
    QStringList summary;
    for (const std::string& line : preview.value().summary)
        summary << QString::fromStdString(line);
    if (imported)
        imported(summary.isEmpty() ? qText("変更はありませんでした", "Nothing changed")
                                   : summary.join(QStringLiteral("; ")));
}

bool ShareCommands::chipLayout() const
{
    IniFile* kept = preferences ? preferences() : nullptr;
    if (!kept || !shownTiles)
        return false;
    const std::string name = kept->readString("TilePictures", tableKey(shownTiles().first), "");
    return tileLayoutNamed(name) == TileLayout::Chips;
}

void ShareCommands::setChipLayout(bool chips)
{
    IniFile* kept = preferences ? preferences() : nullptr;
    if (!kept || !shownTiles)
        return;
    kept->writeString("TilePictures", tableKey(shownTiles().first),
                      tileLayoutName(chips ? TileLayout::Chips : TileLayout::Tiles));
    try {
        kept->updateFile();
    } catch (const std::exception&) {
        // Kept for this run; the file's trouble is said where it is read.
    }
}

void ShareCommands::exportTilePicture()
{
    if (!rom_.isLoaded() || !shownTiles)
        return;
    const auto [table, subPalette] = shownTiles();
    const char* name = table == TileTable::Background ? "-tiles.png" : "-sprites.png";
    const auto path =
        chooseOutput(FileKind::Picture,
                     qText("タイル画像の書き出"
                           "し",
                           "Export Tiles as PNG"),
                     QStringLiteral("PNG (*.png)"), {".png"},
                     qText("画像のファイル名は .png で終えて下さい"
                           "。",
                           "A picture's file name ends in .png."),
                     {rom_.fileName()}, imageStageFileName(rom_.fileName(), rom_.currentStageIndex(), name));
    if (!path)
        return;
    const TileLayout layout = chipLayout() ? TileLayout::Chips : TileLayout::Tiles;
    const std::vector<std::uint8_t> png = tilePicturePng(rom_.currentStage(), palette_, table, subPalette, layout);
    writeBytesAndReport(*path, png, layoutText(layout));
}

void ShareCommands::importTilePicture()
{
    if (!rom_.isLoaded() || !shownTiles)
        return;
    const auto path = prompts_.chooseFileToOpen(qText("タイル画像の読み込み", "Import Tiles from PNG"),
                                                QStringLiteral("PNG (*.png)"), startFolder(FileKind::Picture));
    if (!path)
        return;
    rememberFolder(FileKind::Picture, *path);
    const QString nothing = qText("何も変えていません。", "Nothing was changed.");
    const auto [table, subPalette] = shownTiles();
    const TileLayout layout = chipLayout() ? TileLayout::Chips : TileLayout::Tiles;
    try {
        const std::vector<std::uint8_t> png = readInputFile(path->toStdString(), InputKind::Picture);
        const Result<std::vector<int>> changed =
            vx::importTilePicture(rom_.currentStage(), palette_, table, subPalette, png, layout);
        if (!changed.ok()) {
            refuse(QString::fromStdString(changed.error().text()) + QLatin1Char('\n') + nothing);
            return;
        }
        // The layout is said: a picture made in the other one reads as other tiles.
        QString summary = changed.value().empty()
            ? qText("画像のタイルは今のタイルと同じです (%1)。",
                    "The picture's tiles are the tiles there are now (%1).")
                  .arg(layoutText(layout))
            : (isJapanese()
                   ? QString::fromUtf8("%1 個のタイルを読み込みました").arg(changed.value().size())
                   : QString::fromStdString("Imported " +
                                            englishCount(static_cast<int>(changed.value().size()), "tile", "tiles"))) +
                QStringLiteral(" (%1): ").arg(layoutText(layout)) +
                QString::fromStdString(hexListText(changed.value()));
        const auto sources = patternSourcesOf(rom_.currentStage().patternTableSetting(), rom_.imageSize());
        const auto others =
            stagesDrawing(rom_, offsetsOfTiles(sources, table, changed.value()), rom_.currentStageIndex());
        if (!others.empty())
            summary += qText("; ステージ %1 でも使われています", "; also used by stages %1")
                           .arg(QString::fromStdString(hexListText(others)));
        if (graphicsImported)
            graphicsImported(summary);
    } catch (const UserError& error) {
        refuse(QString::fromStdString(error.what()) + QLatin1Char('\n') + nothing);
    }
}

void ShareCommands::exportPaletteFile()
{
    if (!rom_.isLoaded())
        return;
    const auto path =
        chooseOutput(FileKind::Palette, qText("パレットの書き出し", "Export Palette"),
                     qText("GIMP パレット (*.gpl)", "GIMP palette (*.gpl)"), {".gpl"},
                     qText("パレットのファイル名は .gpl で終えて下さい"
                           "。",
                           "A palette's file name ends in .gpl."),
                     {rom_.fileName()}, imageStageFileName(rom_.fileName(), rom_.currentStageIndex(), ".gpl"));
    if (!path)
        return;
    const std::string name = "stage " + formatHex(static_cast<std::uint32_t>(rom_.currentStageIndex()), 2);
    const std::string text = stagePaletteText(rom_.currentStage(), palette_, name);
    writeBytesAndReport(*path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void ShareCommands::importPaletteFile()
{
    if (!rom_.isLoaded())
        return;
    const auto path = prompts_.chooseFileToOpen(qText("パレットの読み込み", "Import Palette"),
                                                qText("GIMP パレット (*.gpl)", "GIMP palette (*.gpl)"),
                                                startFolder(FileKind::Palette));
    if (!path)
        return;
    rememberFolder(FileKind::Palette, *path);
    const QString nothing = qText("何も変えていません。", "Nothing was changed.");
    try {
        const std::vector<std::uint8_t> bytes = readInputFile(path->toStdString(), InputKind::Text);
        const Result<PaletteImport> read = readStagePalette(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), palette_, rom_.currentStage());
        if (!read.ok()) {
            refuse(QString::fromStdString(read.error().text()) + QLatin1Char('\n') + nothing);
            return;
        }
        const bool changed = applyStagePalette(rom_.currentStage(), read.value());
        QString summary = changed
            ? qText("パレットを読み込みました", "Imported the palette")
            : qText("パレットは今のパレットと同じです", "The palette is the palette there is now");
        if (!read.value().inexact.empty())
            summary += qText("; エントリ %1 は一番近い色にしまし"
                             "た",
                             "; entries %1 took the nearest console colour")
                           .arg(QString::fromStdString(hexListText(read.value().inexact)));
        if (graphicsImported)
            graphicsImported(summary);
    } catch (const UserError& error) {
        refuse(QString::fromStdString(error.what()) + QLatin1Char('\n') + nothing);
    }
}

} // namespace vx
