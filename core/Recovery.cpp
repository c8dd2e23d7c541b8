#include "core/Recovery.h"

#include "core/DiskStamp.h"
#include "core/HexText.h"
#include "core/Language.h"
#include "core/RomImgManager.h"
#include "core/StageText.h"

#include <chrono>
#include <string_view>

namespace vx {
namespace {

constexpr std::string_view Mark = "VX2RECOVERY\n";
constexpr std::uint32_t Version = 1;

void PutNumber(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Reads little-endian numbers and byte runs, never past the end.
class TReader {
public:
    explicit TReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::optional<std::uint64_t> Number(int size)
    {
        if (bytes_.size() - at_ < static_cast<std::size_t>(size))
            return std::nullopt;
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= static_cast<std::uint64_t>(bytes_[at_ + i]) << (8 * i);
        at_ += static_cast<std::size_t>(size);
        return value;
    }
    std::optional<std::span<const std::uint8_t>> Bytes(std::uint64_t size)
    {
        if (bytes_.size() - at_ < size)
            return std::nullopt;
        auto run = bytes_.subspan(at_, static_cast<std::size_t>(size));
        at_ += static_cast<std::size_t>(size);
        return run;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

std::optional<TRecoveryRecord> Refuse(std::string* reason, std::string text)
{
    if (reason)
        *reason = std::move(text);
    return std::nullopt;
}

} // namespace

TRecoveryRecord RecoveryRecordOf(TRomImgManager& rom)
{
    TRecoveryRecord record;
    record.imagePath = rom.FileName();
    record.fileSize = rom.OnDisk().size;
    record.fileHash = rom.OnDisk().hash;
    record.savedAt = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch()).count();
    for (int stage = 0; stage < StageCount; ++stage)
        for (int flag = 0; flag < TEditedFlagData::FlagCount; ++flag)
            if (rom.Stage(stage).EditedFlags().Get(flag))
                record.editedFlags[stage] |= static_cast<std::uint16_t>(1u << flag);
    record.editedImage = rom.EditedImage();
    return record;
}

std::vector<std::uint8_t> EncodeRecovery(const TRecoveryRecord& record)
{
    std::vector<std::uint8_t> out(Mark.begin(), Mark.end());
    PutNumber(out, Version, 4);
    PutNumber(out, record.imagePath.size(), 4);
    out.insert(out.end(), record.imagePath.begin(), record.imagePath.end());
    PutNumber(out, static_cast<std::uint64_t>(record.fileSize), 8);
    PutNumber(out, record.fileHash, 8);
    PutNumber(out, static_cast<std::uint64_t>(record.savedAt), 8);
    for (const std::uint16_t flags : record.editedFlags)
        PutNumber(out, flags, 2);
    PutNumber(out, record.editedImage.size(), 4);
    out.insert(out.end(), record.editedImage.begin(), record.editedImage.end());
    PutNumber(out, HashOfBytes(out), 8);
    return out;
}

std::optional<TRecoveryRecord> DecodeRecovery(std::span<const std::uint8_t> bytes, std::string* reason)
{
    const std::string broken = Tr("復元ファイルが壊れています", "The recovery file is damaged");
    if (bytes.size() < Mark.size() + 8 || !std::equal(Mark.begin(), Mark.end(), bytes.begin()))
        return Refuse(reason, Tr("復元ファイルではありません。", "It is not a recovery file."));
    // The checksum first: nothing of a file cut short or changed is trusted.
    const auto body = bytes.first(bytes.size() - 8);
    TReader tail(bytes.last(8));
    if (tail.Number(8) != HashOfBytes(body))
        return Refuse(reason, broken + Tr(" (チェックサムが合いません)。", " (its checksum does not match)."));
    TReader in(body.subspan(Mark.size()));
    if (in.Number(4) != Version)
        return Refuse(reason, Tr("この版では読めない復元ファイルです。", "This version cannot read the recovery file."));
    TRecoveryRecord record;
    const auto pathSize = in.Number(4);
    const auto path = pathSize ? in.Bytes(*pathSize) : std::nullopt;
    const auto size = in.Number(8), hash = in.Number(8), savedAt = in.Number(8);
    if (!path || !size || !hash || !savedAt)
        return Refuse(reason, broken + Tr("。", "."));
    record.imagePath.assign(path->begin(), path->end());
    record.fileSize = static_cast<std::int64_t>(*size);
    record.fileHash = *hash;
    record.savedAt = static_cast<std::int64_t>(*savedAt);
    for (std::uint16_t& flags : record.editedFlags) {
        const auto read = in.Number(2);
        if (!read)
            return Refuse(reason, broken + Tr("。", "."));
        flags = static_cast<std::uint16_t>(*read);
    }
    const auto imageSize = in.Number(4);
    const auto image = imageSize ? in.Bytes(*imageSize) : std::nullopt;
    if (!image || !in.AtEnd() || CheckImageFormat(*image))
        return Refuse(reason, broken + Tr("。", "."));
    record.editedImage.assign(image->begin(), image->end());
    return record;
}

std::string RecoveryFileOf(const std::string& folder, const std::string& imagePath)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(imagePath.data());
    const std::uint64_t hash = HashOfBytes(std::span(bytes, imagePath.size()));
    return folder + "/" + FormatHex(static_cast<std::uint32_t>(hash >> 32), 8) +
           FormatHex(static_cast<std::uint32_t>(hash), 8) + ".recovery";
}

std::optional<std::string> ApplyRecovery(TRomImgManager& rom, const TRecoveryRecord& record)
{
    if (static_cast<std::int64_t>(record.editedImage.size()) != rom.ImageSize())
        return Tr("復元ファイルはこのイメージと長さが違います。", "The recovery file is of an image of another length.");
    TRomImgManager recovered(rom.Addresses());
    std::string reason;
    if (!recovered.LoadFromBytes(record.editedImage, rom.FileName(), &reason))
        return reason;
    std::vector<TStageText> texts, edited;
    for (int stage = 0; stage < StageCount; ++stage) {
        texts.push_back(StageTextOf(rom, stage));
        edited.push_back(StageTextOf(recovered, stage));
    }
    // Only what was edited comes back; a shared table goes to every stage that shares it.
    auto take = [&](int stage, SharedGroup group, auto copy) {
        const auto index = static_cast<std::size_t>(group);
        for (const int sharer : texts[stage].shared[index])
            copy(texts[sharer], edited[stage]);
    };
    for (int stage = 0; stage < StageCount; ++stage) {
        const auto has = [&](TEditedFlag flag) { return (record.editedFlags[stage] >> flag) & 1; };
        TStageText& text = texts[stage];
        const TStageText& from = edited[stage];
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
            take(stage, SharedGroup::Chips, [](TStageText& to, const TStageText& source) {
                to.chipEntries = source.chipEntries;
                to.chipAttributes = source.chipAttributes;
            });
        if (has(efMap))
            take(stage, SharedGroup::Map, [](TStageText& to, const TStageText& source) { to.map = source.map; });
        if (has(efScroll))
            take(stage, SharedGroup::Scroll, [](TStageText& to, const TStageText& source) { to.scroll = source.scroll; });
        if (has(efObject)) {
            take(stage, SharedGroup::EnemyObjects, [](TStageText& to, const TStageText& source) { to.enemies = source.enemies; });
            take(stage, SharedGroup::ItemObjects, [](TStageText& to, const TStageText& source) { to.items = source.items; });
        }
        if (has(efMidPoint))
            take(stage, SharedGroup::MidPoints,
                 [](TStageText& to, const TStageText& source) { to.restartPoints = source.restartPoints; });
    }
    return ApplyStageTexts(rom, texts);
}

} // namespace vx
