#include "core/RomImgManager.h"

#include "core/Errors.h"
#include "core/HexText.h"
#include "core/ImageAccess.h"
#include "core/InputFile.h"
#include "core/Language.h"
#include "core/OutputFile.h"

namespace vx {
namespace {

std::string SizeText(std::int64_t size)
{
    return std::to_string(size) + " (0x" + FormatHex(static_cast<std::uint32_t>(size)) + ")";
}

std::optional<std::string> CheckSize(std::int64_t size)
{
    if (size >= MinImageSize && size <= MaxImageSize)
        return std::nullopt;
    if (IsJapanese())
        return "ファイルサイズ " + SizeText(size) +
               " バイトは範囲外です。開けるのは 0x40010 から 0x100040 バイトのファイルです。";
    return "The file size of " + SizeText(size) +
           " bytes is out of range: only files of 0x40010 to 0x100040 bytes can be opened.";
}

bool HasMark(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 4 && bytes[0] == 'N' && bytes[1] == 'E' && bytes[2] == 'S' &&
           bytes[3] == 0x1A;
}

std::string NoMarkText()
{
    return Tr("iNES 形式のファイルではありません (先頭の 4 バイトが \"NES\" と 1A ではありません)。",
              "This is not an iNES file: its first four bytes are not \"NES\" and 1A.");
}

bool Refuse(std::string* reason, std::string text)
{
    if (reason)
        *reason = std::move(text);
    return false;
}

std::optional<std::vector<std::uint8_t>> ReadImageFile(const std::string& name, std::string* reason)
{
    try {
        return ReadInputFile(name, TInputKind::Image);
    } catch (const VxError& error) {
        Refuse(reason, error.what());
        return std::nullopt;
    }
}

std::string LengthChangedText(std::int64_t before, std::int64_t now)
{
    if (IsJapanese())
        return "ファイルの長さが開いた時から変わっています (" + SizeText(before) + " → " + SizeText(now) +
               " バイト)。再読み込みしませんでした。";
    return "The file's length changed since it was opened (" + SizeText(before) + " to " + SizeText(now) +
           " bytes); it was not read again.";
}

// Addresses read one way everywhere: eight hex digits, as the settings file's 32 bits.
std::string AddressText(std::int32_t address) { return FormatHex(static_cast<std::uint32_t>(address), 8); }

// Where the addresses came from, so the user knows which file to mend.
std::string CheckSettingsText(const std::string& settingsFile)
{
    if (settingsFile.empty())
        return Tr("設定ファイルのアドレスを確認して下さい (今は既定値です)。",
                  "Check the addresses of the settings file (the defaults are in force).");
    return IsJapanese() ? settingsFile + " のアドレスを確認して下さい。" : "Check the addresses in " + settingsFile + ".";
}

} // namespace

std::optional<std::string> CheckImageFormat(std::span<const std::uint8_t> bytes)
{
    if (auto refused = CheckSize(static_cast<std::int64_t>(bytes.size())))
        return refused;
    if (!HasMark(bytes))
        return NoMarkText();
    return std::nullopt;
}

std::optional<std::string> CheckImage(const std::vector<std::uint8_t>& bytes,
                                      const TAddressData& addresses)
{
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (auto refused = CheckImageFormat(bytes))
        return refused;
    for (int stage = 0; stage < StageCount; ++stage) {
        for (int k = 0; k < TableKeyCount; ++k) {
            const auto key = static_cast<TableKey>(k);
            const std::int32_t address = addresses.Address(key, stage);
            const std::int32_t length = InfoOf(key).length;
            if (RangeInside(address, length, size))
                continue;
            const std::string where = std::string(InfoOf(key).name) + "[" + std::to_string(stage) + "]";
            const std::string addressText = AddressText(address);
            if (IsJapanese())
                return "ステージ " + FormatHex(static_cast<std::uint32_t>(stage), 2) + " のテーブル " +
                       where + " (アドレス " + addressText + "、長さ " + FormatHex(static_cast<std::uint32_t>(length)) +
                       ") がイメージ (" + SizeText(size) + " バイト) の外にあります。\n" +
                       CheckSettingsText(addresses.SettingsFileName());
            return "Stage " + FormatHex(static_cast<std::uint32_t>(stage), 2) + ": table " + where +
                   " at address " + addressText + " (length " + FormatHex(static_cast<std::uint32_t>(length)) +
                   ") lies outside the image of " + SizeText(size) +
                   " bytes.\n" + CheckSettingsText(addresses.SettingsFileName());
        }
    }
    return std::nullopt;
}

TRomImgManager::TRomImgManager(const TAddressData& addresses) : addresses_(addresses) {}

TRomImgManager::~TRomImgManager() = default;

bool TRomImgManager::LoadFromFile(const std::string& name, std::string* reason)
{
    auto bytes = ReadImageFile(name, reason);
    return bytes && LoadFromBytes(std::move(*bytes), name, reason);
}

bool TRomImgManager::LoadFromBytes(std::vector<std::uint8_t> bytes, const std::string& name,
                                   std::string* reason)
{
    if (auto refused = CheckImage(bytes, addresses_))
        return Refuse(reason, *refused);
    // The old stages go before the bytes they point into are replaced.
    for (auto& stage : stages_)
        stage.reset();
    imageBytes_ = std::move(bytes);
    imageSize_ = static_cast<std::int64_t>(imageBytes_.size());
    loaded_ = true;
    fileName_ = name;
    currentStageIndex_ = 0;
    BuildStages();
    return true;
}

void TRomImgManager::BuildStages()
{
    for (int n = 0; n < StageCount; ++n)
        stages_[n] = std::make_unique<TStageData>(
            imageBytes_, std::span<const std::unique_ptr<TStageData>>(stages_.data(), n), n,
            addresses_, &Hooks);
}

bool TRomImgManager::ReloadFromFile(std::string* reason)
{
    if (!loaded_)
        return false;
    // The stages keep their tables and edits, so the image must keep its length.
    auto bytes = ReadImageFile(fileName_, reason);
    if (!bytes)
        return false;
    if (static_cast<std::int64_t>(bytes->size()) != imageSize_)
        return Refuse(reason, LengthChangedText(imageSize_, static_cast<std::int64_t>(bytes->size())));
    if (!HasMark(*bytes))
        return Refuse(reason, NoMarkText());
    imageBytes_ = std::move(*bytes);
    return true;
}

bool TRomImgManager::SaveToFile(const std::string& name)
{
    for (auto& stage : stages_)
        if (stage)
            stage->WriteBack();
    WriteOutputFile(name, imageBytes_);
    for (auto& stage : stages_)
        if (stage)
            stage->EditedFlags().Clear();
    fileName_ = name;
    return true;
}

std::vector<std::uint8_t> TRomImgManager::EditedImage()
{
    std::vector<std::uint8_t> image = imageBytes_;
    for (auto& stage : stages_)
        if (stage)
            stage->WriteBack(image);
    return image;
}

bool TRomImgManager::DiffersFromFile()
{
    return IsModified() && EditedImage() != imageBytes_;
}

void TRomImgManager::CloseImage()
{
    imageSize_ = -1;
    loaded_ = false;
    for (auto& stage : stages_)
        stage.reset();
}

bool TRomImgManager::IsModified() const
{
    if (!loaded_)
        return false;
    for (const auto& stage : stages_)
        if (stage && stage->EditedFlags().Any())
            return true;
    return false;
}

void TRomImgManager::SetCurrentStageIndex(int index)
{
    if (index >= 0 && index < StageCount)
        currentStageIndex_ = index;
}

bool TRomImgManager::CanUndo() const { return loaded_ && CurrentStage().UndoStack().Count() > 0; }

bool TRomImgManager::CanRedo() const { return loaded_ && CurrentStage().RedoStack().Count() > 0; }

int TRomImgManager::Undo() { return CanUndo() ? CurrentStage().Undo() : -1; }

int TRomImgManager::Redo() { return CanRedo() ? CurrentStage().Redo() : -1; }

std::string TRomImgManager::UndoCaption() const
{
    const TUndoData* top = loaded_ ? CurrentStage().UndoStack().Peek() : nullptr;
    return UndoKindText(top ? top->Kind() : -1);
}

std::string TRomImgManager::RedoCaption() const
{
    const TUndoData* top = loaded_ ? CurrentStage().RedoStack().Peek() : nullptr;
    return UndoKindText(top ? top->Kind() : -1);
}

} // namespace vx
