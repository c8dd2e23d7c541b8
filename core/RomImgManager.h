#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/AddressData.h"
#include "core/DiskStamp.h"
#include "core/StageData.h"

namespace vx {

constexpr std::int64_t MinImageSize = 0x40010;
constexpr std::int64_t MaxImageSize = 0x100040;
constexpr std::int32_t HeaderSize = 0x10; // the iNES header, which no table may overlap

// Why bytes are not an image the editor opens (size range, "NES" 1A mark); nothing when
// they are.
std::optional<std::string> CheckImageFormat(std::span<const std::uint8_t> bytes);

// Why an image cannot be opened, in the user's language; nothing when it can. Checks the
// size range, the "NES" 1A mark and that every table of every stage lies inside it.
std::optional<std::string> CheckImage(const std::vector<std::uint8_t>& bytes,
                                      const TAddressData& addresses);

// The one way an image is written: WriteOutputFile, but never bytes the open would refuse
// (size, mark); those throw TWriteError and nothing is written.
void WriteImageFile(const std::string& path, std::span<const std::uint8_t> bytes);

// The image's file as another program left it since it was last read or written.
struct TDiskChange {
    std::vector<std::uint8_t> bytes; // the file now; empty when it is gone or unreadable
    std::string noMerge;             // why the edits cannot be merged into it; empty when they can
};

// The one open image: its bytes as on disk, its file name and its 14 stages.
class TRomImgManager {
public:
    explicit TRomImgManager(const TAddressData& addresses);
    ~TRomImgManager();
    TRomImgManager(const TRomImgManager&) = delete;
    TRomImgManager& operator=(const TRomImgManager&) = delete;

    // Set by the shell before an image is opened; every stage reports through them.
    TStageHooks Hooks;

    // Opens an image. On refusal (file error, size, mark, a table outside the image) it
    // returns false with the reason, and the image that was open stays open.
    bool LoadFromFile(const std::string& name, std::string* reason = nullptr);
    // The same for bytes already in memory, named as if read from the file.
    bool LoadFromBytes(std::vector<std::uint8_t> bytes, const std::string& name,
                       std::string* reason = nullptr);
    // Reads the open file's bytes again, keeping the stages and their edits. Refused, with
    // the reason, when the file's length changed or its mark is gone.
    bool ReloadFromFile(std::string* reason = nullptr);
    // Writes every stage's edited tables into the image and the image safely to the file;
    // the edited flags are cleared only once the file is in place. Throws TWriteError with the
    // system's reason when the file cannot be written: the target is then untouched and
    // every flag stays set.
    bool SaveToFile(const std::string& name);
    // What the image's own file holds now, when it is not what was last read or written;
    // nothing when it is (or when no file is known). Reads the whole file.
    std::optional<TDiskChange> ChangeOnDisk();
    // The same, but first by size and time alone: nothing when they are as last seen.
    std::optional<TDiskChange> ChangeOnDiskIfTouched();
    // Writes the edited tables into the file's new bytes, so every byte the user did not
    // edit stays as the disk has it, and that to the image's own file; then works on it.
    // Histories and the current stage stay; the stages are built anew from the merged bytes.
    // Throws TWriteError as SaveToFile; refused (VxError) when change.noMerge is set.
    void MergeIntoFile(const TDiskChange& change);
    // Takes the file's new bytes as the image, dropping nothing but unsaved edits (the caller
    // asks first): histories and the current stage stay. Refused (false) when they would
    // not open.
    bool TakeDiskChange(const TDiskChange& change, std::string* reason = nullptr);
    void CloseImage();
    // The image as a save would write it now, unsaved edits included; the open image and
    // the edited flags stay as they are.
    std::vector<std::uint8_t> EditedImage();

    bool IsLoaded() const { return loaded_; }
    bool IsModified() const;
    // Edited, and a save would now change the file's bytes: false again once undo has
    // brought every table back to what the file holds.
    bool DiffersFromFile();
    std::int64_t ImageSize() const { return imageSize_; }
    const std::string& FileName() const { return fileName_; }
    std::vector<std::uint8_t>& ImageBytes() { return imageBytes_; }
    const std::vector<std::uint8_t>& ImageBytes() const { return imageBytes_; }
    const TAddressData& Addresses() const { return addresses_; }
    // What the image's file held when last read or written (size -1: no file known).
    TDiskStamp OnDisk() const { return stampKnown_ ? onDisk_ : TDiskStamp{}; }

    int CurrentStageIndex() const { return currentStageIndex_; }
    void SetCurrentStageIndex(int index);
    TStageData& CurrentStage() const { return Stage(currentStageIndex_); }
    TStageData& Stage(int index) const { return *stages_.at(static_cast<std::size_t>(index)); }

    bool CanUndo() const;
    bool CanRedo() const;
    int Undo();
    int Redo();
    std::string UndoCaption() const;
    std::string RedoCaption() const;

private:
    void BuildStages();
    // The stages anew from imageBytes_, keeping each stage's history.
    void RebuildStagesKeepingHistory();

    std::vector<std::uint8_t> imageBytes_;
    bool loaded_ = false;
    const TAddressData& addresses_;
    std::int64_t imageSize_ = -1;
    std::string fileName_;
    TDiskStamp onDisk_; // what the file held when last read or written
    bool stampKnown_ = false;
    std::array<std::unique_ptr<TStageData>, StageCount> stages_;
    int currentStageIndex_ = 0;
};

} // namespace vx
