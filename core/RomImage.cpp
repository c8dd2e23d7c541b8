#include "core/RomImage.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/HexText.h"
#include "core/ImageAccess.h"
#include "core/InputFile.h"
#include "core/Language.h"
#include "core/OutputFile.h"

namespace vx {
namespace {

std::string sizeText(std::int64_t size)
{
    return std::to_string(size) + " (0x" + formatHex(static_cast<std::uint32_t>(size)) + ")";
}

std::optional<std::string> checkSize(std::int64_t size)
{
    if (size >= MinImageSize && size <= MaxImageSize)
        return std::nullopt;
    if (isJapanese())
        return "ファイルサイズ " + sizeText(size) +
               " バイトは範囲外です。開けるのは 0x40010 から 0x100040 バイトのファイルです。";
    return "The file size of " + sizeText(size) +
           " bytes is out of range: only files of 0x40010 to 0x100040 bytes can be opened.";
}

bool hasMark(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 4 && bytes[0] == 'N' && bytes[1] == 'E' && bytes[2] == 'S' &&
           bytes[3] == 0x1A;
}

std::string noMarkText()
{
    return localized("iNES 形式のファイルではありません (先頭の 4 バイトが \"NES\" と 1A ではありません)。",
              "This is not an iNES file: its first four bytes are not \"NES\" and 1A.");
}

bool refuse(std::string* reason, std::string text)
{
    if (reason)
        *reason = std::move(text);
    return false;
}

std::optional<std::vector<std::uint8_t>> readImageFile(const std::string& name, std::string* reason)
{
    try {
        return readInputFile(name, InputKind::Image);
    } catch (const UserError& error) {
        refuse(reason, error.what());
        return std::nullopt;
    }
}

std::string lengthChangedText(std::int64_t before, std::int64_t now)
{
    if (isJapanese())
        return "ファイルの長さが開いた時から変わっています (" + sizeText(before) + " → " + sizeText(now) +
               " バイト)。再読み込みしませんでした。";
    return "The file's length changed since it was opened (" + sizeText(before) + " to " + sizeText(now) +
           " bytes); it was not read again.";
}

// Addresses read one way everywhere: eight hex digits, as the settings file's 32 bits.
std::string formatAddress(std::int32_t address) { return formatHex(static_cast<std::uint32_t>(address), 8); }

// Where the addresses came from, so the user knows which file to mend.
std::string checkSettingsText(const std::string& settingsFile)
{
    if (settingsFile.empty())
        return localized("設定ファイルのアドレスを確認して下さい (今は既定値です)。",
                  "Check the addresses of the settings file (the defaults are in force).");
    return isJapanese() ? settingsFile + " のアドレスを確認して下さい。" : "Check the addresses in " + settingsFile + ".";
}

} // namespace

void writeImageFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    // A last guard for every writer (save, import, apply): what would not open is not written.
    if (auto refused = checkImageFormat(bytes))
        throw UserError(fileErrorText(FileAction::Write, path,
                                    *refused + localized(" 何も書き込んでいません。", " Nothing was written.")));
    writeOutputFile(path, bytes);
}

std::optional<std::string> checkImageFormat(std::span<const std::uint8_t> bytes)
{
    if (auto refused = checkSize(static_cast<std::int64_t>(bytes.size())))
        return refused;
    if (!hasMark(bytes))
        return noMarkText();
    return std::nullopt;
}

std::optional<std::string> checkImage(const std::vector<std::uint8_t>& bytes,
                                      const AddressData& addresses)
{
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (auto refused = checkImageFormat(bytes))
        return refused;
    for (int stage = 0; stage < StageCount; ++stage) {
        for (int k = 0; k < TableKeyCount; ++k) {
            const auto key = static_cast<TableKey>(k);
            const std::int32_t address = addresses.address(key, stage);
            const std::int32_t length = infoOf(key).length;
            // The 16-byte header is the file's, never a table's.
            const bool inHeader = address >= 0 && address < HeaderSize;
            if (!inHeader && rangeInside(address, length, size))
                continue;
            const std::string where = std::string(infoOf(key).name) + "[" + std::to_string(stage) + "]";
            const std::string addressText = formatAddress(address);
            const std::string stageText = formatHex(static_cast<std::uint32_t>(stage), 2);
            const std::string lengthText = formatHex(static_cast<std::uint32_t>(length));
            if (isJapanese())
                return "ステージ " + stageText + " のテーブル " + where + " (アドレス " + addressText + "、長さ " +
                       lengthText + ") が" +
                       (inHeader ? std::string("先頭 16 バイトの iNES ヘッダーにかかっています。\n")
                                 : "イメージ (" + sizeText(size) + " バイト) の外にあります。\n") +
                       checkSettingsText(addresses.settingsFileName());
            return "Stage " + stageText + ": table " + where + " at address " + addressText + " (length " + lengthText +
                   (inHeader ? std::string(") lies in the 16-byte iNES header.\n")
                             : ") lies outside the image of " + sizeText(size) + " bytes.\n") +
                   checkSettingsText(addresses.settingsFileName());
        }
    }
    return std::nullopt;
}

RomImage::RomImage(const AddressData& addresses) : addresses_(addresses) {}

RomImage::~RomImage() = default;

bool RomImage::loadFromFile(const std::string& name, std::string* reason)
{
    auto bytes = readImageFile(name, reason);
    if (!bytes || !loadFromBytes(std::move(*bytes), name, reason))
        return false;
    onDisk_ = stampOf(name, imageBytes_);
    stampKnown_ = true;
    return true;
}

bool RomImage::loadFromBytes(std::vector<std::uint8_t> bytes, const std::string& name,
                                   std::string* reason)
{
    if (auto refused = checkImage(bytes, addresses_))
        return refuse(reason, *refused);
    // The old stages go before the bytes they point into are replaced.
    for (auto& stage : stages_)
        stage.reset();
    imageBytes_ = std::move(bytes);
    imageSize_ = static_cast<std::int64_t>(imageBytes_.size());
    loaded_ = true;
    fileName_ = name;
    stampKnown_ = false; // bytes of no file until loadFromFile says otherwise
    currentStageIndex_ = 0;
    buildStages();
    return true;
}

void RomImage::rebuildStagesKeepingHistory()
{
    std::array<std::pair<UndoStack, UndoStack>, StageCount> histories;
    for (int n = 0; n < StageCount; ++n)
        if (stages_[n])
            histories[n] = {std::move(stages_[n]->undoStack()), std::move(stages_[n]->redoStack())};
    for (auto& stage : stages_)
        stage.reset();
    buildStages();
    // A record holds a table position and the byte that stood there, whatever the image.
    for (int n = 0; n < StageCount; ++n) {
        stages_[n]->undoStack() = std::move(histories[n].first);
        stages_[n]->redoStack() = std::move(histories[n].second);
    }
}

void RomImage::buildStages()
{
    for (int n = 0; n < StageCount; ++n)
        stages_[n] = std::make_unique<StageData>(
            imageBytes_, std::span<const std::unique_ptr<StageData>>(stages_.data(), n), n,
            addresses_, &hooks);
}

bool RomImage::reloadFromFile(std::string* reason)
{
    if (!loaded_)
        return false;
    // The stages keep their tables and edits, so the image must keep its length.
    auto bytes = readImageFile(fileName_, reason);
    if (!bytes)
        return false;
    if (static_cast<std::int64_t>(bytes->size()) != imageSize_)
        return refuse(reason, lengthChangedText(imageSize_, static_cast<std::int64_t>(bytes->size())));
    if (!hasMark(*bytes))
        return refuse(reason, noMarkText());
    imageBytes_ = std::move(*bytes);
    onDisk_ = stampOf(fileName_, imageBytes_);
    stampKnown_ = true;
    return true;
}

bool RomImage::saveToFile(const std::string& name)
{
    // The image keeps what the disk holds until the file is in place, so a failed save
    // leaves both the flags and the comparison with the file as they were.
    std::vector<std::uint8_t> image = editedImage();
    writeImageFile(name, image);
    imageBytes_ = std::move(image);
    for (auto& stage : stages_)
        if (stage)
            stage->editedFlags().clear();
    fileName_ = name;
    onDisk_ = stampOf(name, imageBytes_);
    stampKnown_ = true;
    return true;
}

std::optional<DiskChange> RomImage::changeOnDisk()
{
    // A file that is gone holds nothing a save could undo.
    if (!loaded_ || !stampKnown_ || !pathExists(fileName_))
        return std::nullopt;
    DiskChange change;
    try {
        change.bytes = readInputFile(fileName_, InputKind::Image);
    } catch (const UserError& error) {
        change.noMerge = error.what();
        return change;
    }
    if (static_cast<std::int64_t>(change.bytes.size()) == onDisk_.size && hashOfBytes(change.bytes) == onDisk_.hash) {
        onDisk_ = stampOf(fileName_, change.bytes); // touched only: the next look is cheap again
        return std::nullopt;
    }
    if (static_cast<std::int64_t>(change.bytes.size()) != imageSize_)
        change.noMerge = localized("ファイルの長さが変わっています: ", "Its length changed: ") + sizeText(imageSize_) +
                         " → " + sizeText(static_cast<std::int64_t>(change.bytes.size())) + localized(" バイト。", " bytes.");
    else if (auto refused = checkImage(change.bytes, addresses_))
        change.noMerge = *refused;
    return change;
}

std::optional<DiskChange> RomImage::changeOnDiskIfTouched()
{
    if (!loaded_ || !stampKnown_)
        return std::nullopt;
    const auto now = statOfFile(fileName_);
    if (!now || now->sameSizeAndTime(onDisk_))
        return std::nullopt;
    return changeOnDisk();
}

void RomImage::mergeIntoFile(const DiskChange& change)
{
    if (!change.noMerge.empty())
        throw UserError(change.noMerge);
    std::vector<std::uint8_t> image = change.bytes;
    for (auto& stage : stages_)
        if (stage)
            stage->writeBack(image);
    writeImageFile(fileName_, image);
    imageBytes_ = std::move(image);
    onDisk_ = stampOf(fileName_, imageBytes_);
    // The tables nobody edited now hold the other program's bytes.
    rebuildStagesKeepingHistory();
}

bool RomImage::takeDiskChange(const DiskChange& change, std::string* reason)
{
    if (change.bytes.empty())
        return refuse(reason, change.noMerge);
    if (auto refused = checkImage(change.bytes, addresses_))
        return refuse(reason, *refused);
    imageBytes_ = change.bytes;
    imageSize_ = static_cast<std::int64_t>(imageBytes_.size());
    onDisk_ = stampOf(fileName_, imageBytes_);
    rebuildStagesKeepingHistory();
    return true;
}

std::vector<std::uint8_t> RomImage::editedImage()
{
    std::vector<std::uint8_t> image = imageBytes_;
    for (auto& stage : stages_)
        if (stage)
            stage->writeBack(image);
    return image;
}

bool RomImage::differsFromFile()
{
    return isModified() && editedImage() != imageBytes_;
}

void RomImage::closeImage()
{
    imageSize_ = -1;
    loaded_ = false;
    for (auto& stage : stages_)
        stage.reset();
}

bool RomImage::isModified() const
{
    if (!loaded_)
        return false;
    for (const auto& stage : stages_)
        if (stage && stage->editedFlags().any())
            return true;
    return false;
}

void RomImage::setCurrentStageIndex(int index)
{
    if (index >= 0 && index < StageCount)
        currentStageIndex_ = index;
}

bool RomImage::canUndo() const { return loaded_ && currentStage().undoStack().count() > 0; }

bool RomImage::canRedo() const { return loaded_ && currentStage().redoStack().count() > 0; }

int RomImage::undo() { return canUndo() ? currentStage().undo() : -1; }

int RomImage::redo() { return canRedo() ? currentStage().redo() : -1; }

std::string RomImage::undoCaption() const
{
    const EditCommand* top = loaded_ ? currentStage().undoStack().peek() : nullptr;
    return undoKindText(top ? top->kind() : -1);
}

std::string RomImage::redoCaption() const
{
    const EditCommand* top = loaded_ ? currentStage().redoStack().peek() : nullptr;
    return undoKindText(top ? top->kind() : -1);
}

} // namespace vx
