#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/base/Result.h"
#include "core/files/DiskStamp.h"
#include "core/model/AddressData.h"
#include "core/model/StageData.h"

namespace vx {

constexpr std::int64_t MinImageSize = 0x40010;
constexpr std::int64_t MaxImageSize = 0x100040;
constexpr std::int32_t HeaderSize = 0x10; // the iNES header, which no table may overlap

// Refuses bytes that are not an image the editor opens (size range, "NES" 1A mark).
Result<void> checkImageFormat(std::span<const std::uint8_t> bytes);

// Refuses an image that cannot be opened: the size range, the "NES" 1A mark and every
// table of every stage inside it.
Result<void> checkImage(const std::vector<std::uint8_t>& bytes, const AddressData& addresses);

// The one way an image is written: writeOutputFile, but never bytes the open would refuse
// (size, mark); those throw WriteError and nothing is written.
void writeImageFile(const std::string& path, std::span<const std::uint8_t> bytes);

// The image's file as another program left it since it was last read or written.
struct DiskChange {
    std::vector<std::uint8_t> bytes; // the file now; empty when it is gone or unreadable
    std::string noMerge;             // why the edits cannot be merged into it; empty when they can
};

// The one open image: its bytes as on disk, its file name and its 14 stages.
class RomImage {
public:
    explicit RomImage(const AddressData& addresses);
    ~RomImage();
    RomImage(const RomImage&) = delete;
    RomImage& operator=(const RomImage&) = delete;

    // Set by the shell before an image is opened; every stage reports through them.
    StageHooks hooks;

    // Opens an image. On refusal (file error, size, mark, a table outside the image) the
    // image that was open stays open.
    Result<void> loadFromFile(const std::string& name);
    // The same for bytes already in memory, named as if read from the file.
    Result<void> loadFromBytes(std::vector<std::uint8_t> bytes, const std::string& name);
    // Reads the open file's bytes again, keeping the stages and their edits. Refused when
    // the file's length changed or its mark is gone.
    Result<void> reloadFromFile();
    // Writes every stage's edited tables into the image and the image safely to the file;
    // the edited flags are cleared only once the file is in place. Throws WriteError with the
    // system's reason when the file cannot be written: the target is then untouched and
    // every flag stays set.
    bool saveToFile(const std::string& name);
    // What the image's own file holds now, when it is not what was last read or written;
    // nothing when it is (or when no file is known). Reads the whole file.
    std::optional<DiskChange> changeOnDisk();
    // The same, but first by size and time alone: nothing when they are as last seen.
    std::optional<DiskChange> changeOnDiskIfTouched();
    // Writes the edited tables into the file's new bytes, so every byte the user did not
    // edit stays as the disk has it, and that to the image's own file; then works on it.
    // Histories and the current stage stay; the stages are built anew from the merged bytes.
    // Throws WriteError as saveToFile; refused (UserError) when change.noMerge is set.
    void mergeIntoFile(const DiskChange& change);
    // Takes the file's new bytes as the image, dropping nothing but unsaved edits (the caller
    // asks first): histories and the current stage stay. Refused when they would not open.
    Result<void> takeDiskChange(const DiskChange& change);
    void closeImage();
    // The image as a save would write it now, unsaved edits included; the open image and
    // the edited flags stay as they are.
    std::vector<std::uint8_t> editedImage();

    bool isLoaded() const { return loaded_; }
    bool isModified() const;
    // Edited, and a save would now change the file's bytes: false again once undo has
    // brought every table back to what the file holds.
    bool differsFromFile();
    std::int64_t imageSize() const { return imageSize_; }
    const std::string& fileName() const { return fileName_; }
    std::vector<std::uint8_t>& imageBytes() { return imageBytes_; }
    const std::vector<std::uint8_t>& imageBytes() const { return imageBytes_; }
    const AddressData& addresses() const { return addresses_; }
    // What the image's file held when last read or written (size -1: no file known).
    DiskStamp onDisk() const { return stampKnown_ ? onDisk_ : DiskStamp{}; }

    int currentStageIndex() const { return currentStageIndex_; }
    void setCurrentStageIndex(int index);
    StageData& currentStage() const { return stage(currentStageIndex_); }
    StageData& stage(int index) const { return *stages_.at(static_cast<std::size_t>(index)); }

    bool canUndo() const;
    bool canRedo() const;
    // Undoes (redoes) the current stage's step, in every stage of its batch while each has
    // it on top; the step's kind, or -1 when there is none.
    int undo();
    int redo();
    // The stages the next undo (redo) steps back: those of the current stage's top step's
    // batch while each has it on top, else the current stage alone; none without a step.
    std::vector<int> stepStages(bool back) const;
    // Makes the last steps of these stages one batch, undone and redone together.
    void joinLastSteps(const std::vector<int>& stages);
    std::string undoCaption() const;
    std::string redoCaption() const;

private:
    void buildStages();
    // The stages anew from imageBytes_, keeping each stage's history.
    void rebuildStagesKeepingHistory();
    int stepHistory(bool back);

    std::vector<std::uint8_t> imageBytes_;
    bool loaded_ = false;
    const AddressData& addresses_;
    std::int64_t imageSize_ = -1;
    std::string fileName_;
    DiskStamp onDisk_; // what the file held when last read or written
    bool stampKnown_ = false;
    std::array<std::unique_ptr<StageData>, StageCount> stages_;
    int currentStageIndex_ = 0;
    int lastBatch_ = 0;
};

} // namespace vx
