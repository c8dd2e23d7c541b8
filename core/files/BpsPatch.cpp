#include "core/files/BpsPatch.h"

#include "core/base/Language.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace vx {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t BpsFooterSize = 12;

std::uint32_t crc32Of(Bytes bytes) { return static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size())); }

class BpsWriter {
public:
    void readNumber(std::uint64_t value)
    {
        for (;;) {
            const auto low = static_cast<std::uint8_t>(value & 0x7F);
            value >>= 7;
            if (value == 0) {
                bytes.push_back(static_cast<std::uint8_t>(0x80 | low));
                return;
            }
            bytes.push_back(low);
            --value;
        }
    }
    void putAction(int command, std::size_t length)
    {
        readNumber((static_cast<std::uint64_t>(length - 1) << 2) | static_cast<std::uint64_t>(command));
        ++actions;
    }
    void little32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }

    std::vector<std::uint8_t> bytes;
    std::size_t actions = 0;
};

enum BpsCommand {
    SourceRead = 0,
    TargetRead = 1,
    SourceCopy = 2,
    TargetCopy = 3
};

std::uint32_t readLittle32(Bytes bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

// Reads the numbers and bytes between the header and the checksums.
class BpsReader {
public:
    BpsReader(Bytes patch, std::size_t pos, std::size_t end, std::string& reason)
        : patch_(patch), pos_(pos), end_(end), reason_(reason)
    {
    }

    bool atEnd() const { return pos_ >= end_; }
    std::size_t left() const { return end_ - pos_; }

    bool readNumber(std::uint64_t& value)
    {
        std::uint64_t data = 0, shift = 1;
        // Eight bytes hold 56 bits, far more than any image; more only overflows.
        for (int count = 0;; ++count) {
            if (pos_ >= end_) {
                reason_ = localized("BPS パッチが数値の途中で終わっています。",
                                    "The BPS patch ends in the middle of a number.");
                return false;
            }
            const std::uint8_t x = patch_[pos_++];
            data += (x & 0x7F) * shift;
            if (x & 0x80)
                break;
            if (count == 7) {
                reason_ = localized("BPS パッチの数値が大きすぎます。",
                                    "The BPS patch holds a number too large to be a size.");
                return false;
            }
            shift <<= 7;
            data += shift;
        }
        value = data;
        return true;
    }
    bool offset(std::int64_t& value)
    {
        std::uint64_t number = 0;
        if (!readNumber(number))
            return false;
        const auto magnitude = static_cast<std::int64_t>(number >> 1);
        value = (number & 1) ? -magnitude : magnitude;
        return true;
    }
    void skip(std::size_t length) { pos_ += std::min(length, left()); }
    bool take(std::size_t length, Bytes& bytes)
    {
        if (left() < length) {
            reason_ = localized("BPS パッチが操作のバイトの途中で終わっています。",
                                "The BPS patch ends in the middle of an action's bytes.");
            return false;
        }
        bytes = patch_.subspan(pos_, length);
        pos_ += length;
        return true;
    }

private:
    Bytes patch_;
    std::size_t pos_, end_;
    std::string& reason_;
};

std::string readsOutsideSource()
{
    return localized("BPS パッチの操作が元イメージの外を読みます。",
                     "An action of the BPS patch reads outside the original image.");
}

} // namespace

std::vector<std::uint8_t> makeBps(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                                  std::size_t* records)
{
    // A TargetCopy of a run costs about five bytes and splits the literal around it.
    constexpr std::size_t CopiedRun = 8;
    constexpr std::size_t Unflushed = static_cast<std::size_t>(-1);
    const std::size_t n = edited.size();
    const std::size_t common = std::min(original.size(), n);
    BpsWriter writer;
    writer.bytes.assign(BpsMark.begin(), BpsMark.end());
    writer.readNumber(original.size());
    writer.readNumber(n);
    writer.readNumber(0);

    std::size_t literal = Unflushed;
    auto flush = [&](std::size_t upto) {
        if (literal == Unflushed)
            return;
        writer.putAction(TargetRead, upto - literal);
        writer.bytes.insert(writer.bytes.end(), edited.begin() + static_cast<std::ptrdiff_t>(literal),
                            edited.begin() + static_cast<std::ptrdiff_t>(upto));
        literal = Unflushed;
    };
    std::size_t targetRelative = 0;
    for (std::size_t i = 0; i < n;) {
        std::size_t same = 0;
        if (i < common)
            same = static_cast<std::size_t>(std::mismatch(original.begin() + static_cast<std::ptrdiff_t>(i),
                                                          original.begin() + static_cast<std::ptrdiff_t>(common),
                                                          edited.begin() + static_cast<std::ptrdiff_t>(i))
                                                .first -
                                            original.begin()) -
                i;
        if (same >= 3 || (same > 0 && i + same == n)) {
            flush(i);
            writer.putAction(SourceRead, same);
            i += same;
            continue;
        }
        if (literal == Unflushed)
            literal = i;
        const std::size_t run = equalRunLength(edited, i, n);
        if (run < CopiedRun) {
            ++i;
            continue;
        }
        // The run's first byte ends the literal; the rest copies from one byte back.
        flush(i + 1);
        const std::int64_t offset = static_cast<std::int64_t>(i) - static_cast<std::int64_t>(targetRelative);
        writer.putAction(TargetCopy, run - 1);
        writer.readNumber((static_cast<std::uint64_t>(offset < 0 ? -offset : offset) << 1) | (offset < 0 ? 1 : 0));
        targetRelative = i + run - 1;
        i += run;
    }
    flush(n);
    writer.little32(crc32Of(original));
    writer.little32(crc32Of(edited));
    writer.little32(crc32Of(writer.bytes));
    if (records)
        *records = writer.actions;
    return std::move(writer.bytes);
}

namespace {

bool applyBpsInto(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
                  std::vector<std::uint8_t>& out, std::string& reason)
{
    if (!beginsWith(patch, BpsMark)) {
        reason = localized("BPS パッチの先頭が \"BPS1\" ではありません"
                           "。",
                           "The BPS patch does not begin with \"BPS1\".");
        return false;
    }
    // The header, three one-byte numbers and the checksums at least.
    if (patch.size() < BpsMark.size() + 3 + BpsFooterSize) {
        reason = fillNumbers(localized("BPS パッチが短すぎます (%1 バイト)。",
                                       patch.size() == 1 ? "The BPS patch is too short (%1 byte)."
                                                         : "The BPS patch is too short (%1 bytes)."),
                             {patch.size()});
        return false;
    }
    const std::size_t footer = patch.size() - BpsFooterSize;
    if (crc32Of(patch.first(patch.size() - 4)) != readLittle32(patch, footer + 8)) {
        reason = localized("BPS パッチのチェックサムが合いません。パッチが壊れているか"
                           "途中で切れています。",
                           "The BPS patch's own checksum does not match: the patch is damaged or cut short.");
        return false;
    }
    BpsReader reader(patch, BpsMark.size(), footer, reason);
    std::uint64_t sourceSize = 0, targetSize = 0, metadataSize = 0;
    if (!reader.readNumber(sourceSize) || !reader.readNumber(targetSize) || !reader.readNumber(metadataSize))
        return false;
    if (metadataSize > reader.left()) {
        reason = localized("BPS パッチのメタデータがパッチの終わりを越えています。",
                           "The BPS patch's metadata runs past the end of the patch.");
        return false;
    }
    reader.skip(static_cast<std::size_t>(metadataSize));
    if (sourceSize != image.size()) {
        reason = fillNumbers(localized("このパッチは %1 バイトのイメージ用ですが、イメージ"
                                       "は %2 バイトです。",
                                       "This patch is for an image of %1 bytes, but the image has %2 bytes."),
                             {sourceSize, image.size()});
        return false;
    }
    if (crc32Of(image) != readLittle32(patch, footer)) {
        reason = localized(
            "イメージのチェックサムがパッチの元イメージと合いません。別のイメー"
            "ジ用のパッチです。",
            "The image's checksum does not match the one the patch was made from: the patch is for another image.");
        return false;
    }
    if (targetSize > maxSize) {
        reason = patchedTooLargeText(targetSize, maxSize);
        return false;
    }
    const auto size = static_cast<std::size_t>(targetSize);
    std::vector<std::uint8_t> result(size);
    std::size_t output = 0;
    std::int64_t sourceRelative = 0, targetRelative = 0;
    const auto imageSize = static_cast<std::int64_t>(image.size());
    while (!reader.atEnd()) {
        std::uint64_t number = 0;
        if (!reader.readNumber(number))
            return false;
        const std::uint64_t length = (number >> 2) + 1;
        if (length > size - output) {
            reason = fillNumbers(localized("BPS パッチの操作がターゲットの大きさ (%1 バイ"
                                           "ト) を超えて書き込みます。",
                                           "An action of the BPS patch writes past the target size of %1 bytes."),
                                 {size});
            return false;
        }
        const auto count = static_cast<std::size_t>(length);
        std::uint8_t* to = result.data() + output;
        switch (number & 3) {
        case SourceRead:
            if (output + count > image.size()) {
                reason = readsOutsideSource();
                return false;
            }
            std::memcpy(to, image.data() + output, count);
            break;
        case TargetRead: {
            Bytes bytes;
            if (!reader.take(count, bytes))
                return false;
            std::memcpy(to, bytes.data(), count);
            break;
        }
        case SourceCopy: {
            std::int64_t offset = 0;
            if (!reader.offset(offset))
                return false;
            sourceRelative += offset;
            if (sourceRelative < 0 || sourceRelative > imageSize ||
                static_cast<std::int64_t>(count) > imageSize - sourceRelative) {
                reason = readsOutsideSource();
                return false;
            }
            std::memcpy(to, image.data() + sourceRelative, count);
            sourceRelative += static_cast<std::int64_t>(count);
            break;
        }
        default: {
            std::int64_t offset = 0;
            if (!reader.offset(offset))
                return false;
            targetRelative += offset;
            if (targetRelative < 0 || targetRelative >= static_cast<std::int64_t>(output)) {
                reason = localized("BPS パッチの操作がまだ書かれていない出力を読みます。",
                                   "An action of the BPS patch copies from outside the output written so far.");
                return false;
            }
            const auto from = static_cast<std::size_t>(targetRelative);
            if (from + count <= output) {
                std::memcpy(to, result.data() + from, count);
            } else {
                // Overlapping on purpose: a run repeats the bytes just written.
                for (std::size_t k = 0; k < count; ++k)
                    to[k] = result[from + k];
            }
            targetRelative += static_cast<std::int64_t>(count);
            break;
        }
        }
        output += count;
    }
    if (output != size) {
        reason = fillNumbers(localized("BPS パッチの出力 (%1 バイト) がターゲットの大き"
                                       "さ (%2 バイト) と合いません。",
                                       "The BPS patch produced %1 bytes, not its target size of %2 bytes."),
                             {output, size});
        return false;
    }
    if (crc32Of(result) != readLittle32(patch, footer + 4)) {
        reason = localized("パッチを当てた結果のチェックサムが合いません。",
                           "The patched image's checksum does not match the patch's target checksum.");
        return false;
    }
    out = std::move(result);
    return true;
}

} // namespace

Result<std::vector<std::uint8_t>> applyBps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image,
                                           std::size_t maxSize)
{
    return patchedImage(applyBpsInto, patch, image, maxSize);
}

} // namespace vx
