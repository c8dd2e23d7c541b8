#include "core/RomImgManager.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
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

void WriteImageFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    // A last guard for every writer (save, import, apply): what would not open is not written.
    if (auto refused = CheckImageFormat(bytes))
        throw VxError(FileErrorText(TFileAction::Write, path,
                                    *refused + Tr(" 何も書き込んでいません。", " Nothing was written.")));
    WriteOutputFile(path, bytes);
}

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
            // The 16-byte header is the file's, never a table's.
            const bool inHeader = address >= 0 && address < HeaderSize;
            if (!inHeader && RangeInside(address, length, size))
                continue;
            const std::string where = std::string(InfoOf(key).name) + "[" + std::to_string(stage) + "]";
            const std::string addressText = AddressText(address);
            const std::string stageText = FormatHex(static_cast<std::uint32_t>(stage), 2);
            const std::string lengthText = FormatHex(static_cast<std::uint32_t>(length));
            if (IsJapanese())
                return "ステージ " + stageText + " のテーブル " + where + " (アドレス " + addressText + "、長さ " +
                       lengthText + ") が" +
                       (inHeader ? std::string("先頭 16 バイトの iNES ヘッダーにかかっています。\n")
                                 : "イメージ (" + SizeText(size) + " バイト) の外にあります。\n") +
                       CheckSettingsText(addresses.SettingsFileName());
            return "Stage " + stageText + ": table " + where + " at address " + addressText + " (length " + lengthText +
                   (inHeader ? std::string(") lies in the 16-byte iNES header.\n")
                             : ") lies outside the image of " + SizeText(size) + " bytes.\n") +
                   CheckSettingsText(addresses.SettingsFileName());
        }
    }
    return std::nullopt;
}

TRomImgManager::TRomImgManager(const TAddressData& addresses) : addresses_(addresses) {}

TRomImgManager::~TRomImgManager() = default;

bool TRomImgManager::LoadFromFile(const std::string& name, std::string* reason)
{
    auto bytes = ReadImageFile(name, reason);
    if (!bytes || !LoadFromBytes(std::move(*bytes), name, reason))
        return false;
    onDisk_ = StampOf(name, imageBytes_);
    stampKnown_ = true;
    return true;
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
    stampKnown_ = false; // bytes of no file until LoadFromFile says otherwise
    currentStageIndex_ = 0;
    BuildStages();
    return true;
}

void TRomImgManager::RebuildStagesKeepingHistory()
{
    std::array<std::pair<TUndoStack, TUndoStack>, StageCount> histories;
    for (int n = 0; n < StageCount; ++n)
        if (stages_[n])
            histories[n] = {std::move(stages_[n]->UndoStack()), std::move(stages_[n]->RedoStack())};
    for (auto& stage : stages_)
        stage.reset();
    BuildStages();
    // A record holds a table position and the byte that stood there, whatever the image.
    for (int n = 0; n < StageCount; ++n) {
        stages_[n]->UndoStack() = std::move(histories[n].first);
        stages_[n]->RedoStack() = std::move(histories[n].second);
    }
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
    onDisk_ = StampOf(fileName_, imageBytes_);
    stampKnown_ = true;
    return true;
}

bool TRomImgManager::SaveToFile(const std::string& name)
{
    // The image keeps what the disk holds until the file is in place, so a failed save
    // leaves both the flags and the comparison with the file as they were.
    std::vector<std::uint8_t> image = EditedImage();
    WriteImageFile(name, image);
    imageBytes_ = std::move(image);
    for (auto& stage : stages_)
        if (stage)
            stage->EditedFlags().Clear();
    fileName_ = name;
    onDisk_ = StampOf(name, imageBytes_);
    stampKnown_ = true;
    return true;
}

std::optional<TDiskChange> TRomImgManager::ChangeOnDisk()
{
    // A file that is gone holds nothing a save could undo.
    if (!loaded_ || !stampKnown_ || !PathExists(fileName_))
        return std::nullopt;
    TDiskChange change;
    try {
        change.bytes = ReadInputFile(fileName_, TInputKind::Image);
    } catch (const VxError& error) {
        change.noMerge = error.what();
        return change;
    }
    if (static_cast<std::int64_t>(change.bytes.size()) == onDisk_.size && HashOfBytes(change.bytes) == onDisk_.hash) {
        onDisk_ = StampOf(fileName_, change.bytes); // touched only: the next look is cheap again
        return std::nullopt;
    }
    if (static_cast<std::int64_t>(change.bytes.size()) != imageSize_)
        change.noMerge = Tr("ファイルの長さが変わっています: ", "Its length changed: ") + SizeText(imageSize_) +
                         " → " + SizeText(static_cast<std::int64_t>(change.bytes.size())) + Tr(" バイト。", " bytes.");
    else if (auto refused = CheckImage(change.bytes, addresses_))
        change.noMerge = *refused;
    return change;
}

std::optional<TDiskChange> TRomImgManager::ChangeOnDiskIfTouched()
{
    if (!loaded_ || !stampKnown_)
        return std::nullopt;
    const auto now = StatOfFile(fileName_);
    if (!now || now->SameSizeAndTime(onDisk_))
        return std::nullopt;
    return ChangeOnDisk();
}

void TRomImgManager::MergeIntoFile(const TDiskChange& change)
{
    if (!change.noMerge.empty())
        throw VxError(change.noMerge);
    std::vector<std::uint8_t> image = change.bytes;
    for (auto& stage : stages_)
        if (stage)
            stage->WriteBack(image);
    WriteImageFile(fileName_, image);
    imageBytes_ = std::move(image);
    onDisk_ = StampOf(fileName_, imageBytes_);
    // The tables nobody edited now hold the other program's bytes.
    RebuildStagesKeepingHistory();
}

bool TRomImgManager::TakeDiskChange(const TDiskChange& change, std::string* reason)
{
    if (change.bytes.empty())
        return Refuse(reason, change.noMerge);
    if (auto refused = CheckImage(change.bytes, addresses_))
        return Refuse(reason, *refused);
    imageBytes_ = change.bytes;
    imageSize_ = static_cast<std::int64_t>(imageBytes_.size());
    onDisk_ = StampOf(fileName_, imageBytes_);
    RebuildStagesKeepingHistory();
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
    const TEditCommand* top = loaded_ ? CurrentStage().UndoStack().Peek() : nullptr;
    return UndoKindText(top ? top->Kind() : -1);
}

std::string TRomImgManager::RedoCaption() const
{
    const TEditCommand* top = loaded_ ? CurrentStage().RedoStack().Peek() : nullptr;
    return UndoKindText(top ? top->Kind() : -1);
}

} // namespace vx
