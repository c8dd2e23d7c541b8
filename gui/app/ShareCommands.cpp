#include "gui/app/ShareCommands.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/HexText.h"
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

#include <algorithm>

namespace vx {
namespace {

QString Text(const char* japanese, const char* english) { return QString::fromStdString(Tr(japanese, english)); }

} // namespace

QString WroteFileText(const QString& path, std::uint64_t size)
{
    const QString digits = QString::fromStdString(GroupedDecimal(size));
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

std::optional<QString> TShareCommands::ChooseOutput(const QString& caption, const QString& filters,
                                                   std::initializer_list<const char*> extensions,
                                                   const QString& wrongName, std::initializer_list<std::string> inputs)
{
    const auto path = prompts_.ChooseFileToSave(caption, filters);
    if (!path)
        return std::nullopt;
    // Data under another file's kind of name would mislead.
    if (std::none_of(extensions.begin(), extensions.end(),
                     [&](const char* extension) { return HasExtension(path->toStdString(), extension); })) {
        prompts_.ShowMessage(wrongName);
        return std::nullopt;
    }
    if (RefusesToReplaceAnInput(*path, inputs))
        return std::nullopt;
    return path;
}

void TShareCommands::WriteAndReport(const QString& path, const std::function<std::size_t()>& write)
{
    try {
        const std::size_t size = write();
        if (Wrote)
            Wrote(WroteFileText(path, size));
    } catch (const VxError& error) {
        prompts_.ShowMessage(QString::fromStdString(error.what()));
    }
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
    const auto patchPath = ChooseOutput(Text("パッチの保存", "Save the Patch"), QStringLiteral("BPS (*.bps);;IPS (*.ips)"),
                                        {".bps", ".ips"},
                                        Text("パッチのファイル名は .bps か .ips で終えて下さい。",
                                             "A patch's file name ends in .bps or .ips."),
                                        {rom_.FileName(), originalPath->toStdString()});
    if (!patchPath)
        return;
    const auto format = PatchFormatOfPath(patchPath->toStdString()); // .bps or .ips, as checked
    if (!format)
        return;
    const TPatchResult patch = MakePatchBetween(original, edited, *format);
    if (!patch.Made()) {
        prompts_.ShowMessage(QString::fromStdString(patch.refusal));
        return;
    }
    WriteAndReport(*patchPath, [&] {
        WriteOutputFile(patchPath->toStdString(), patch.bytes);
        return patch.bytes.size();
    });
}

void TShareCommands::ExportStagePicture()
{
    if (!rom_.IsLoaded())
        return;
    const auto path = ChooseOutput(Text("ステージ画像の書き出し", "Export Stage Picture"), QStringLiteral("PNG (*.png)"),
                                   {".png"}, Text("画像のファイル名は .png で終えて下さい。", "A picture's file name ends in .png."),
                                   {rom_.FileName()});
    if (!path)
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
    WriteAndReport(*path, [&] { return WritePngFile(path->toStdString(), picture); });
}

void TShareCommands::ExportStageText()
{
    if (!rom_.IsLoaded())
        return;
    const auto path = ChooseOutput(Text("ステージのテキスト書き出し", "Export Stage as Text"), QStringLiteral("JSON (*.json)"),
                                   {".json"},
                                   Text("テキストのファイル名は .json で終えて下さい。", "A stage text's file name ends in .json."),
                                   {rom_.FileName()});
    if (!path)
        return;
    const std::string text = StageToText(rom_, rom_.CurrentStageIndex());
    WriteAndReport(*path, [&] {
        WriteOutputFile(path->toStdString(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        return text.size();
    });
}

} // namespace vx
