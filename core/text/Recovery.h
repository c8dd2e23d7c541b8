#pragma once
#include "core/base/Result.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/base/Result.h"
#include "core/model/AddressData.h"

namespace vx {

class RomImage;

// Unsaved edits kept on disk while the editor works, so a crash loses nothing: which image,
// what its file held when it was opened, and the edited image with each stage's edited flags.
struct RecoveryRecord {
    std::string imagePath;
    std::int64_t fileSize = 0; // the file as last read or written
    std::uint64_t fileHash = 0;
    std::int64_t savedAt = 0;                            // seconds since the epoch
    std::array<std::uint16_t, StageCount> editedFlags{}; // bit n: EditedFlag n
    std::vector<std::uint8_t> editedImage;
};

// The record of the open image's unsaved edits now.
RecoveryRecord recoveryRecordOf(RomImage& rom);

// The bytes of a recovery file: a mark, the fields, a checksum over all of them.
std::vector<std::uint8_t> encodeRecovery(const RecoveryRecord& record);
// The record, or why not (cut short, another mark or version, a checksum that does not
// match, sizes out of range).
Result<RecoveryRecord> decodeRecovery(std::span<const std::uint8_t> bytes);

// The recovery file of an image: one per image path, in the folder.
std::string recoveryFileOf(const std::string& folder, const std::string& imagePath);

// Applies the record's edited tables to the open image (its file as it is on disk now)
// through the model's edits, so they are unsaved edits again, flagged and undoable; tables
// nobody edited keep the disk's bytes.
Result<void> applyRecovery(RomImage& rom, const RecoveryRecord& record);

} // namespace vx
