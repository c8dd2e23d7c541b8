#include "core/model/RomImage.h"

#include "core/base/Errors.h"
#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"
#include "core/model/ImageAccess.h"

namespace vx {
namespace {

std::string sizeText(std::int64_t size)
{
    return std::to_string(size) + " (0x" + formatHex(static_cast<std::uint32_t>(size)) + ")";
}

Result<void> checkSize(std::int64_t size)
{
    if (size >= MinImageSize && size <= MaxImageSize)
        return Done;
    if (isJapanese())
        return Error{"ファイルサイズ " + sizeText(size) +
                     " バイトは範囲外です。開けるのは 0x40010 から 0x100040 バイトのファイ"
                     "ルです。"};
    return Error{"The file size of " + sizeText(size) +
                 " bytes is out of range: only files of 0x40010 to 0x100040 bytes can be opened."};
}

bool hasMark(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 4 && bytes[0] == 'N' && bytes[1] == 'E' && bytes[2] == 'S' && bytes[3] == 0x1A;
}

std::string noMarkText()
{
    return localized("iNES 形式のファイルではありません (先頭の 4 バイトが \"NES\" と 1A で"
                     "はありません)。",
                     "This is not an iNES file: its first four bytes are not \"NES\" and 1A.");
}

Result<std::vector<std::uint8_t>> readImageFile(const std::string& name)
{
    try {
        return readInputFile(name, InputKind::Image);
    } catch (const UserError& error) {
        return error.error();
    }
}

std::string lengthChangedText(std::int64_t before, std::int64_t now)
{
    if (isJapanese())
        return "ファイルの長さが開いた時から変わっていま"
               "す (" +
            sizeText(before) + " → " + sizeText(now) + " バイト)。再読み込みしませんでした。";
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
    return isJapanese() ? settingsFile + " のアドレスを確認して下さい。"
                        : "Check the addresses in " + settingsFile + ".";
}

} // namespace

void writeImageFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    // A last guard for every writer (save, import, apply): what would not open is not written.
    if (const Result<void> checked = checkImageFormat(bytes); !checked.ok())
        throw UserError(fileErrorText(FileAction::Write, path,
                                      checked.error().message +
                                          localized(" 何も書き込んでいません"
                                                    "。",
                                                    " Nothing was written.")));
    writeOutputFile(path, bytes);
}

Result<void> checkImageFormat(std::span<const std::uint8_t> bytes)
{
    if (Result<void> sized = checkSize(static_cast<std::int64_t>(bytes.size())); !sized.ok())
        return sized;
    if (!hasMark(bytes))
        return Error{noMarkText()};
    return Done;
}

Result<void> checkImage(const std::vector<std::uint8_t>& bytes, const AddressData& addresses)
{
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (Result<void> format = checkImageFormat(bytes); !format.ok())
        return format;
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
                return Error{"ステー"
                             "ジ " +
                             stageText +
                             " のテーブ"
                             "ル " +
                             where + " (アドレス " + addressText + "、長さ " + lengthText + ") が" +
                             (inHeader ? std::string("先頭 16 バイトの iNES ヘッダーにかかってい"
                                                     "ます。\n")
                                       : "イメージ (" + sizeText(size) + " バイト) の外にあります。\n") +
                             checkSettingsText(addresses.settingsFileName())};
            return Error{"Stage " + stageText + ": table " + where + " at address " + addressText + " (length " +
                         lengthText +
                         (inHeader ? std::string(") lies in the 16-byte iNES header.\n")
                                   : ") lies outside the image of " + sizeText(size) + " bytes.\n") +
                         checkSettingsText(addresses.settingsFileName())};
        }
    }
    return Done;
}

RomImage::RomImage(const AddressData& addresses) : addresses_(addresses) {}

RomImage::~RomImage() = default;

Result<void> RomImage::loadFromFile(const std::string& name)
{
    Result<std::vector<std::uint8_t>> bytes = readImageFile(name);
    if (!bytes.ok())
        return bytes.error();
    if (Result<void> loaded = loadFromBytes(std::move(bytes.value()), name); !loaded.ok())
        return loaded;
    onDisk_ = stampOf(name, imageBytes_);
    stampKnown_ = true;
    return Done;
}

Result<void> RomImage::loadFromBytes(std::vector<std::uint8_t> bytes, const std::string& name)
{
    if (Result<void> checked = checkImage(bytes, addresses_); !checked.ok())
        return checked;
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
    return Done;
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
            imageBytes_, std::span<const std::unique_ptr<StageData>>(stages_.data(), n), n, addresses_, &hooks);
}

Result<void> RomImage::reloadFromFile()
{
    if (!loaded_)
        return Error{localized("開いているイメージはありません。", "No image is open.")};
    // The stages keep their tables and edits, so the image must keep its length.
    Result<std::vector<std::uint8_t>> bytes = readImageFile(fileName_);
    if (!bytes.ok())
        return bytes.error();
    if (static_cast<std::int64_t>(bytes.value().size()) != imageSize_)
        return Error{lengthChangedText(imageSize_, static_cast<std::int64_t>(bytes.value().size()))};
    if (!hasMark(bytes.value()))
        return Error{noMarkText()};
    imageBytes_ = std::move(bytes.value());
    onDisk_ = stampOf(fileName_, imageBytes_);
    stampKnown_ = true;
    return Done;
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
    // The painted bytes are the file's now; a later reload must not paint over its changes.
    if (stages_[0])
        stages_[0]->tileEdits().clear();
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
        change.noMerge = localized("ファイルの長さが変わっていま"
                                   "す: ",
                                   "Its length changed: ") +
            sizeText(imageSize_) + " → " + sizeText(static_cast<std::int64_t>(change.bytes.size())) +
            localized(" バイト。", " bytes.");
    else if (const Result<void> checked = checkImage(change.bytes, addresses_); !checked.ok())
        change.noMerge = checked.error().message;
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

Result<void> RomImage::takeDiskChange(const DiskChange& change)
{
    if (change.bytes.empty())
        return Error{change.noMerge};
    if (Result<void> checked = checkImage(change.bytes, addresses_); !checked.ok())
        return checked;
    imageBytes_ = change.bytes;
    imageSize_ = static_cast<std::int64_t>(imageBytes_.size());
    onDisk_ = stampOf(fileName_, imageBytes_);
    rebuildStagesKeepingHistory();
    return Done;
}

std::vector<std::uint8_t> RomImage::editedImage()
{
    std::vector<std::uint8_t> image = imageBytes_;
    for (auto& stage : stages_)
        if (stage)
            stage->writeBack(image);
    return image;
}

bool RomImage::differsFromFile() { return isModified() && editedImage() != imageBytes_; }

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

int RomImage::undo() { return stepHistory(true); }

int RomImage::redo() { return stepHistory(false); }

int RomImage::stepHistory(bool back)
{
    int kind = -1;
    for (const int n : stepStages(back)) {
        const int done = back ? stage(n).undo() : stage(n).redo();
        if (n == currentStageIndex_)
            kind = done;
    }
    return kind;
}

std::vector<int> RomImage::stepStages(bool back) const
{
    const auto top = [&](int n) {
        const StageData& data = stage(n);
        return (back ? data.undoStack() : data.redoStack()).peek();
    };
    const EditCommand* mine = loaded_ ? top(currentStageIndex_) : nullptr;
    if (!mine)
        return {};
    std::vector<int> stages;
    for (int n = 0; n < StageCount && mine->batch.id != 0; ++n)
        if (const EditCommand* step = top(n); step && step->batch.id == mine->batch.id)
            stages.push_back(n);
    // A stage edited since (or that undid its part alone) breaks the batch: each goes alone.
    if (static_cast<int>(stages.size()) != mine->batch.stages || stages.size() < 2)
        return {currentStageIndex_};
    return stages;
}

void RomImage::joinLastSteps(const std::vector<int>& stages)
{
    if (stages.size() < 2)
        return;
    const StepBatch batch{++lastBatch_, static_cast<int>(stages.size())};
    for (const int n : stages)
        if (EditCommand* step = stage(n).undoStack().top())
            step->batch = batch;
}

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
