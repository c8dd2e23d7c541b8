#include "core/text/Recovery.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/files/DiskStamp.h"
#include "core/model/PatternSources.h"
#include "core/model/RomImage.h"
#include "core/text/StageText.h"

#include <chrono>
#include <string_view>

namespace vx {
namespace {

constexpr std::string_view Mark = "VX2RECOVERY\n";
constexpr std::uint32_t Version = 1;

void putNumber(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Reads little-endian numbers and byte runs, never past the end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::optional<std::uint64_t> number(int size)
    {
        if (bytes_.size() - at_ < static_cast<std::size_t>(size))
            return std::nullopt;
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= static_cast<std::uint64_t>(bytes_[at_ + i]) << (8 * i);
        at_ += static_cast<std::size_t>(size);
        return value;
    }
    std::optional<std::span<const std::uint8_t>> takeBytes(std::uint64_t size)
    {
        if (bytes_.size() - at_ < size)
            return std::nullopt;
        auto run = bytes_.subspan(at_, static_cast<std::size_t>(size));
        at_ += static_cast<std::size_t>(size);
        return run;
    }
    bool atEnd() const { return at_ == bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

} // namespace

RecoveryRecord recoveryRecordOf(RomImage& rom)
{
    RecoveryRecord record;
    record.imagePath = rom.fileName();
    record.fileSize = rom.onDisk().size;
    record.fileHash = rom.onDisk().hash;
    record.savedAt =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    for (int stage = 0; stage < StageCount; ++stage)
        for (int flag = 0; flag < EditedFlagData::FlagCount; ++flag)
            if (rom.stage(stage).editedFlags().get(flag))
                record.editedFlags[stage] |= static_cast<std::uint16_t>(1u << flag);
    record.editedImage = rom.editedImage();
    return record;
}

std::vector<std::uint8_t> encodeRecovery(const RecoveryRecord& record)
{
    std::vector<std::uint8_t> out(Mark.begin(), Mark.end());
    putNumber(out, Version, 4);
    putNumber(out, record.imagePath.size(), 4);
    out.insert(out.end(), record.imagePath.begin(), record.imagePath.end());
    putNumber(out, static_cast<std::uint64_t>(record.fileSize), 8);
    putNumber(out, record.fileHash, 8);
    putNumber(out, static_cast<std::uint64_t>(record.savedAt), 8);
    for (const std::uint16_t flags : record.editedFlags)
        putNumber(out, flags, 2);
    putNumber(out, record.editedImage.size(), 4);
    out.insert(out.end(), record.editedImage.begin(), record.editedImage.end());
    putNumber(out, hashOfBytes(out), 8);
    return out;
}

Result<RecoveryRecord> decodeRecovery(std::span<const std::uint8_t> bytes)
{
    const std::string broken = localized("復元ファイルが壊れています", "The recovery file is damaged");
    if (bytes.size() < Mark.size() + 8 || !std::equal(Mark.begin(), Mark.end(), bytes.begin()))
        return Error{localized("復元ファイルではありません。", "It is not a recovery file.")};
    // The checksum first: nothing of a file cut short or changed is trusted.
    const auto body = bytes.first(bytes.size() - 8);
    Reader tail(bytes.last(8));
    if (tail.number(8) != hashOfBytes(body))
        return Error{broken +
                     localized(" (チェックサムが合いませ"
                               "ん)。",
                               " (its checksum does not match).")};
    Reader in(body.subspan(Mark.size()));
    if (in.number(4) != Version)
        return Error{localized("この版では読めない復元ファイルです"
                               "。",
                               "This version cannot read the recovery file.")};
    RecoveryRecord record;
    const auto pathSize = in.number(4);
    const auto path = pathSize ? in.takeBytes(*pathSize) : std::nullopt;
    const auto size = in.number(8), hash = in.number(8), savedAt = in.number(8);
    if (!path || !size || !hash || !savedAt)
        return Error{broken + localized("。", ".")};
    record.imagePath.assign(path->begin(), path->end());
    record.fileSize = static_cast<std::int64_t>(*size);
    record.fileHash = *hash;
    record.savedAt = static_cast<std::int64_t>(*savedAt);
    for (std::uint16_t& flags : record.editedFlags) {
        const auto read = in.number(2);
        if (!read)
            return Error{broken + localized("。", ".")};
        flags = static_cast<std::uint16_t>(*read);
    }
    const auto imageSize = in.number(4);
    const auto image = imageSize ? in.takeBytes(*imageSize) : std::nullopt;
    if (!image || !in.atEnd() || !checkImageFormat(*image).ok())
        return Error{broken + localized("。", ".")};
    record.editedImage.assign(image->begin(), image->end());
    return record;
}

std::string recoveryFileOf(const std::string& folder, const std::string& imagePath)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(imagePath.data());
    const std::uint64_t hash = hashOfBytes(std::span(bytes, imagePath.size()));
    return folder + "/" + formatHex(static_cast<std::uint32_t>(hash >> 32), 8) +
        formatHex(static_cast<std::uint32_t>(hash), 8) + ".recovery";
}

Result<void> applyRecovery(RomImage& rom, const RecoveryRecord& record)
{
    if (static_cast<std::int64_t>(record.editedImage.size()) != rom.imageSize())
        return Error{localized("復元ファイルはこのイメージと長さが違います。",
                               "The recovery file is of an image of another length.")};
    RomImage recovered(rom.addresses());
    if (Result<void> loaded = recovered.loadFromBytes(record.editedImage, rom.fileName()); !loaded.ok())
        return loaded;
    std::vector<StageText> texts, edited;
    for (int stage = 0; stage < StageCount; ++stage) {
        texts.push_back(stageTextOf(rom, stage));
        edited.push_back(stageTextOf(recovered, stage));
    }
    // Only what was edited comes back; a shared table goes to every stage that shares it.
    auto take = [&](int stage, SharedGroup group, auto copy) {
        const auto index = static_cast<std::size_t>(group);
        for (const int sharer : texts[stage].shared[index])
            copy(texts[sharer], edited[stage]);
    };
    for (int stage = 0; stage < StageCount; ++stage) {
        const auto has = [&](EditedFlag flag) { return (record.editedFlags[stage] >> flag) & 1; };
        StageText& text = texts[stage];
        const StageText& from = edited[stage];
        if (has(efPalette)) {
            text.bgPalette = from.bgPalette;
            text.spritePalette = from.spritePalette;
        }
        if (has(efPaletteAnime)) {
            text.frameCount = from.frameCount;
            text.frameTimer = from.frameTimer;
            text.animationColours = from.animationColours;
        }
        if (has(efChip32x32))
            take(stage, SharedGroup::Chips, [](StageText& to, const StageText& source) {
                to.chipEntries = source.chipEntries;
                to.chipAttributes = source.chipAttributes;
            });
        if (has(efMap))
            take(stage, SharedGroup::Map, [](StageText& to, const StageText& source) { to.map = source.map; });
        if (has(efScroll))
            take(stage, SharedGroup::Scroll, [](StageText& to, const StageText& source) { to.scroll = source.scroll; });
        if (has(efObject)) {
            take(stage, SharedGroup::EnemyObjects,
                 [](StageText& to, const StageText& source) { to.enemies = source.enemies; });
            take(stage, SharedGroup::ItemObjects,
                 [](StageText& to, const StageText& source) { to.items = source.items; });
        }
        if (has(efMidPoint))
            take(stage, SharedGroup::RestartPoints,
                 [](StageText& to, const StageText& source) { to.restartPoints = source.restartPoints; });
    }
    if (Result<void> applied = applyStageTexts(rom, texts, ukRecovery); !applied.ok())
        return applied;
    // Painted tiles come back as a tile step of the stage they were painted in.
    for (int n = 0; n < StageCount; ++n) {
        if (!((record.editedFlags[n] >> efTiles) & 1))
            continue;
        StageData& stage = rom.stage(n);
        const PatternSources sources = patternSourcesOf(stage.patternTableSetting(), rom.imageSize());
        std::vector<std::pair<std::int64_t, std::uint8_t>> bytes;
        for (const std::int32_t offset : sources.offsets)
            if (offset != PatternSources::Zero &&
                record.editedImage[offset] != stage.tileEdits().byteAt(rom.imageBytes(), offset))
                bytes.emplace_back(offset, record.editedImage[offset]);
        stage.setTileBytes(bytes);
    }
    return Done;
}

} // namespace vx
