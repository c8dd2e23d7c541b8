#include "gui/app/ShareCommands.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/InputFile.h"
#include "core/Language.h"
#include "core/OutputFile.h"
#include "core/Patch.h"
#include "core/RomImgManager.h"
#include "core/StageText.h"
#include "gui/image/PngFile.h"
#include "gui/image/QImageConversion.h"
#include "gui/pages/Prompts.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "render/StageSheetPicture.h"
#include "render/StageSheets.h"

namespace vx {
namespace {

QString Text(const char* japanese, const char* english) { return QString::fromStdString(Tr(japanese, english)); }

} // namespace

QString WroteFileText(const QString& path, std::uint64_t size)
{
    QString digits = QString::number(size);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    const QString name = path.section(QLatin1Char('/'), -1);
    return Text("%1 を書き出しました (%2 バイト)", "Wrote %1 (%2 bytes)").arg(name, digits);
}

TShareCommands::TShareCommands(TPrompts& prompts, TRomImgManager& rom, const TPaletteManager& palette,
                               const TGlyphRenderer* glyphs)
    : prompts_(prompts), rom_(rom), palette_(palette), glyphs_(glyphs)
{
}

bool TShareCommands::RefusesToReplaceAnInput(const QString& output, std::initializer_list<std::string> inputs)
{
    for (const std::string& input : inputs) {
        if (!SameFile(output.toStdString(), input))
            continue;
        prompts_.ShowMessage(Text("%1 は書き出しの元になるファイルです。別の名前を選んで下さい。何も書き込みませんでした。",
                                  "%1 is what this is made from: choose another name. Nothing was written.")
                                 .arg(QString::fromStdString(input)));
        return true;
    }
    return false;
}

void TShareCommands::CreatePatch()
{
    if (!rom_.IsLoaded())
        return;
    const auto originalPath =
        prompts_.ChooseFileToOpen(Text("元のイメージの選択", "Choose the Original Image"),
                                  QString::fromUtf8("ヴェクサロン2 ROMイメージ(*.nes);;") + Text("すべてのファイル (*)", "All files (*)"));
    if (!originalPath)
        return;
    const std::vector<std::uint8_t> edited = rom_.EditedImage();
    std::vector<std::uint8_t> original;
    try {
        original = ReadInputFile(originalPath->toStdString(), TInputKind::Image);
    } catch (const VxError& error) {
        prompts_.ShowMessage(QString::fromStdString(error.what()));
        return;
    }
    // Told before a patch name is asked for.
    if (const auto refusal = PatchRefusal(original, edited)) {
        prompts_.ShowMessage(QString::fromStdString(*refusal));
        return;
    }
    const auto patchPath =
        prompts_.ChooseFileToSave(Text("パッチの保存", "Save the Patch"), QStringLiteral("BPS (*.bps);;IPS (*.ips)"));
    if (!patchPath)
        return;
    const auto format = PatchFormatOfPath(patchPath->toStdString());
    if (!format) {
        prompts_.ShowMessage(Text("パッチのファイル名は .bps か .ips で終えて下さい。",
                                  "A patch's file name ends in .bps or .ips."));
        return;
    }
    if (RefusesToReplaceAnInput(*patchPath, {rom_.FileName(), originalPath->toStdString()}))
        return;
    const TPatchResult patch = MakePatchBetween(original, edited, *format);
    if (!patch.Made()) {
        prompts_.ShowMessage(QString::fromStdString(patch.refusal));
        return;
    }
    try {
        WriteOutputFile(patchPath->toStdString(), patch.bytes);
    } catch (const VxError& error) {
        prompts_.ShowMessage(QString::fromStdString(error.what()));
        return;
    }
    if (Wrote)
        Wrote(WroteFileText(*patchPath, patch.bytes.size()));
}

void TShareCommands::ExportStagePicture()
{
    if (!rom_.IsLoaded())
        return;
    const auto path = prompts_.ChooseFileToSave(Text("ステージ画像の書き出し", "Export Stage Picture"),
                                                QStringLiteral("PNG (*.png)"));
    if (!path)
        return;
    if (!HasExtension(path->toStdString(), ".png")) { // PNG data under another name would mislead
        prompts_.ShowMessage(Text("画像のファイル名は .png で終えて下さい。", "A picture's file name ends in .png."));
        return;
    }
    if (RefusesToReplaceAnInput(*path, {rom_.FileName()}))
        return;
    // Drawn apart from the pages, in the stage's still colours: the animation on screen and
    // the shared sheets stay as they are.
    std::vector<std::uint8_t> colours;
    for (int i = 0; i < TPaletteManager::ColorCount; ++i)
        for (int shift : {0, 8, 16})
            colours.push_back(static_cast<std::uint8_t>(palette_.GetRGB(i) >> shift));
    TPaletteManager palette(colours, "fcpalette.pal");
    TGraphicManager graphics(palette, glyphs_);
    const TStageData& stage = rom_.CurrentStage();
    TStageSheets sheets;
    // A pattern overflow was reported when the stage was selected.
    PrepareStageSheets(graphics, stage, rom_.ImageBytes(), sheets, [](const std::string&) {});
    const TSheetPictureOptions options{11, true, true, true, true};
    const QImage picture = ToQImage(*DrawStageSheetPicture(graphics, stage, *sheets.chip32Sheet, options));
    try {
        const std::size_t size = WritePngFile(path->toStdString(), picture);
        if (Wrote)
            Wrote(WroteFileText(*path, size));
    } catch (const VxError& error) {
        prompts_.ShowMessage(QString::fromStdString(error.what()));
    }
}

void TShareCommands::ExportStageText()
{
    if (!rom_.IsLoaded())
        return;
    const auto path = prompts_.ChooseFileToSave(Text("ステージのテキスト書き出し", "Export Stage as Text"),
                                                QStringLiteral("JSON (*.json)"));
    if (!path)
        return;
    if (!HasExtension(path->toStdString(), ".json")) {
        prompts_.ShowMessage(Text("テキストのファイル名は .json で終えて下さい。", "A stage text's file name ends in .json."));
        return;
    }
    if (RefusesToReplaceAnInput(*path, {rom_.FileName()}))
        return;
    const std::string text = StageToText(rom_, rom_.CurrentStageIndex());
    try {
        WriteOutputFile(path->toStdString(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    } catch (const VxError& error) {
        prompts_.ShowMessage(QString::fromStdString(error.what()));
        return;
    }
    if (Wrote)
        Wrote(WroteFileText(*path, text.size()));
}

} // namespace vx
