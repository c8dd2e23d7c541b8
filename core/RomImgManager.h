#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/AddressData.h"
#include "core/StageData.h"

namespace vx {

constexpr std::int64_t MinImageSize = 0x40010;
constexpr std::int64_t MaxImageSize = 0x100040;

// Why bytes are not an image the editor opens (size range, "NES" 1A mark); nothing when
// they are.
std::optional<std::string> CheckImageFormat(std::span<const std::uint8_t> bytes);

// Why an image cannot be opened, in the user's language; nothing when it can. Checks the
// size range, the "NES" 1A mark and that every table of every stage lies inside it.
std::optional<std::string> CheckImage(const std::vector<std::uint8_t>& bytes,
                                      const TAddressData& addresses);

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

    std::vector<std::uint8_t> imageBytes_;
    bool loaded_ = false;
    const TAddressData& addresses_;
    std::int64_t imageSize_ = -1;
    std::string fileName_;
    std::array<std::unique_ptr<TStageData>, StageCount> stages_;
    int currentStageIndex_ = 0;
};

} // namespace vx
