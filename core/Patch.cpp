#include "core/Patch.h"

#include "core/Errors.h"
#include "core/Language.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <zlib.h>

namespace vx {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr char IpsHeader[] = "PATCH";
constexpr std::size_t IpsHeaderSize = 5;
constexpr char BpsHeader[] = "BPS1";
constexpr std::size_t BpsHeaderSize = 4;
constexpr std::size_t BpsFooterSize = 12;

// A record offset of these three bytes reads as "EOF", the end mark.
constexpr std::size_t IpsEofOffset = 0x454F46;
constexpr std::size_t IpsMaxRecord = 0xFFFF;
constexpr std::size_t IpsAddressable = 0x1000000;
// Fewer equal bytes than this between two changes cost less inside one record than a
// second record's five-byte head.
constexpr std::size_t IpsMergeGap = 5;

// Replaces %1, %2, ... with the numbers, in order.
std::string Fill(std::string text, std::initializer_list<std::uint64_t> numbers)
{
    int index = 1;
    for (std::uint64_t number : numbers) {
        const std::string mark = "%" + std::to_string(index++);
        const std::size_t at = text.find(mark);
        if (at != std::string::npos)
            text.replace(at, mark.size(), std::to_string(number));
    }
    return text;
}

std::string TooLarge(std::uint64_t size, std::size_t maxSize)
{
    return Fill(Tr("パッチを当てたイメージは %1 バイトになり、上限の %2 バイトを超えます。",
                   "The patched image would be %1 bytes, more than the limit of %2 bytes."),
                {size, maxSize});
}

std::uint32_t Crc32(Bytes bytes)
{
    return static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
}

bool StartsWith(Bytes bytes, const char* text, std::size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), text, length) == 0;
}

// ---- IPS ----

class IpsWriter {
public:
    IpsWriter() { bytes.assign(IpsHeader, IpsHeader + IpsHeaderSize); }

    void Literal(std::size_t offset, Bytes data)
    {
        Head(offset, data.size());
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    void Run(std::size_t offset, std::size_t length, std::uint8_t value)
    {
        Head(offset, 0);
        Big(length, 2);
        bytes.push_back(value);
    }
    void End(std::optional<std::size_t> truncateTo)
    {
        bytes.insert(bytes.end(), {'E', 'O', 'F'});
        if (truncateTo)
            Big(*truncateTo, 3);
    }

    std::vector<std::uint8_t> bytes;
    std::size_t records = 0;

private:
    void Head(std::size_t offset, std::size_t size)
    {
        Big(offset, 3);
        Big(size, 2);
        ++records;
    }
    void Big(std::size_t value, int count)
    {
        for (int shift = 8 * (count - 1); shift >= 0; shift -= 8)
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
};

// How many bytes from at up to limit equal the one at at.
std::size_t RunLength(Bytes bytes, std::size_t at, std::size_t limit)
{
    std::size_t end = at + 1;
    while (end < limit && bytes[end] == bytes[at])
        ++end;
    return end - at;
}

// Writes the changed bytes [begin, end) of edited as literal and run records.
void WriteIpsRange(IpsWriter& writer, Bytes edited, std::size_t begin, std::size_t end)
{
    // A run record costs 8 bytes; inside a literal it also costs the literal's 5-byte head
    // again after it.
    constexpr std::size_t RunAtEdge = 8, RunInside = 13, RunAlone = 3;
    std::size_t pos = begin;
    while (pos < end) {
        const std::size_t run = RunLength(edited, pos, std::min(end, pos + IpsMaxRecord));
        const bool reachesEnd = pos + run == end;
        if (pos != IpsEofOffset && run > (reachesEnd ? RunAlone : RunAtEdge)) {
            writer.Run(pos, run, edited[pos]);
            pos += run;
            continue;
        }
        // A record may not start at the end mark's offset: take the byte before along.
        const std::size_t start = pos == IpsEofOffset ? pos - 1 : pos;
        std::size_t q = pos;
        bool first = true;
        while (q < end && q - start < IpsMaxRecord) {
            const std::size_t room = IpsMaxRecord - (q - start);
            const std::size_t length = RunLength(edited, q, std::min(end, q + IpsMaxRecord));
            if (!first && (length > RunInside || (q + length == end && length > RunAtEdge)))
                break;
            q += (first && pos == IpsEofOffset) ? 1 : std::min(length, room);
            first = false;
        }
        writer.Literal(start, edited.subspan(start, q - start));
        pos = q;
    }
}

// One record as read: data is empty for a run record.
struct IpsRecord {
    std::size_t offset = 0;
    std::size_t length = 0;
    Bytes data;
    std::uint8_t value = 0;
};

struct IpsLayout {
    std::size_t recordsEnd = 0;
    std::optional<std::size_t> truncateTo;
};

std::size_t ReadBig(Bytes bytes, std::size_t at, int count)
{
    std::size_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

// Walks the records, checking that each lies inside the patch and that only a truncation
// length may follow the end mark.
bool ReadIps(Bytes patch, IpsLayout& layout, std::string& reason,
             const std::function<void(const IpsRecord&)>& visit)
{
    if (!StartsWith(patch, IpsHeader, IpsHeaderSize)) {
        reason = Tr("IPS パッチの先頭が \"PATCH\" ではありません。", "The IPS patch does not begin with \"PATCH\".");
        return false;
    }
    const std::string cut = Tr("IPS パッチがレコードの途中で終わっています。",
                               "The IPS patch ends in the middle of a record.");
    std::size_t pos = IpsHeaderSize;
    for (;;) {
        if (patch.size() - pos < 3) {
            reason = pos == patch.size()
                         ? Tr("IPS パッチに終わりの印 \"EOF\" がありません。", "The IPS patch ends without its \"EOF\" mark.")
                         : cut;
            return false;
        }
        if (std::memcmp(patch.data() + pos, "EOF", 3) == 0) {
            pos += 3;
            break;
        }
        IpsRecord record;
        record.offset = ReadBig(patch, pos, 3);
        pos += 3;
        if (patch.size() - pos < 2) {
            reason = cut;
            return false;
        }
        record.length = ReadBig(patch, pos, 2);
        pos += 2;
        if (record.length > 0) {
            if (patch.size() - pos < record.length) {
                reason = cut;
                return false;
            }
            record.data = patch.subspan(pos, record.length);
            pos += record.length;
        } else {
            if (patch.size() - pos < 3) {
                reason = cut;
                return false;
            }
            record.length = ReadBig(patch, pos, 2);
            record.value = patch[pos + 2];
            pos += 3;
            if (record.length == 0) {
                reason = Tr("IPS パッチに長さ 0 の繰り返しレコードがあります。", "The IPS patch has a run record of length 0.");
                return false;
            }
        }
        layout.recordsEnd = std::max(layout.recordsEnd, record.offset + record.length);
        if (visit)
            visit(record);
    }
    const std::size_t rest = patch.size() - pos;
    if (rest == 3) {
        layout.truncateTo = ReadBig(patch, pos, 3);
    } else if (rest != 0) {
        reason = Fill(Tr("IPS パッチの \"EOF\" の後に余分なバイトが %1 バイトあります。",
                         "The IPS patch has %1 unexpected bytes after its \"EOF\" mark."),
                      {rest});
        return false;
    }
    return true;
}

// ---- BPS ----

class BpsWriter {
public:
    void Number(std::uint64_t value)
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
    void Action(int command, std::size_t length)
    {
        Number((static_cast<std::uint64_t>(length - 1) << 2) | static_cast<std::uint64_t>(command));
        ++actions;
    }
    void Little32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }

    std::vector<std::uint8_t> bytes;
    std::size_t actions = 0;
};

enum BpsCommand { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

std::uint32_t ReadLittle32(Bytes bytes, std::size_t at)
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

    bool AtEnd() const { return pos_ >= end_; }
    std::size_t Left() const { return end_ - pos_; }

    bool Number(std::uint64_t& value)
    {
        std::uint64_t data = 0, shift = 1;
        // Eight bytes hold 56 bits, far more than any image; more only overflows.
        for (int count = 0;; ++count) {
            if (pos_ >= end_) {
                reason_ = Tr("BPS パッチが数値の途中で終わっています。", "The BPS patch ends in the middle of a number.");
                return false;
            }
            const std::uint8_t x = patch_[pos_++];
            data += (x & 0x7F) * shift;
            if (x & 0x80)
                break;
            if (count == 7) {
                reason_ = Tr("BPS パッチの数値が大きすぎます。", "The BPS patch holds a number too large to be a size.");
                return false;
            }
            shift <<= 7;
            data += shift;
        }
        value = data;
        return true;
    }
    bool Offset(std::int64_t& value)
    {
        std::uint64_t number = 0;
        if (!Number(number))
            return false;
        const auto magnitude = static_cast<std::int64_t>(number >> 1);
        value = (number & 1) ? -magnitude : magnitude;
        return true;
    }
    void Skip(std::size_t length) { pos_ += std::min(length, Left()); }
    bool Take(std::size_t length, Bytes& bytes)
    {
        if (Left() < length) {
            reason_ = Tr("BPS パッチが操作のバイトの途中で終わっています。",
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

std::string ReadsOutsideSource()
{
    return Tr("BPS パッチの操作が元イメージの外を読みます。", "An action of the BPS patch reads outside the original image.");
}

} // namespace

std::optional<TPatchFormat> PatchFormatOfPath(std::string_view path)
{
    if (path.size() < 4 || path[path.size() - 4] != '.')
        return std::nullopt;
    std::string extension;
    for (char c : path.substr(path.size() - 3))
        extension += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == "ips")
        return TPatchFormat::Ips;
    if (extension == "bps")
        return TPatchFormat::Bps;
    return std::nullopt;
}

std::optional<TPatchFormat> PatchFormatOfBytes(std::span<const std::uint8_t> patch)
{
    if (StartsWith(patch, IpsHeader, IpsHeaderSize))
        return TPatchFormat::Ips;
    if (StartsWith(patch, BpsHeader, BpsHeaderSize))
        return TPatchFormat::Bps;
    return std::nullopt;
}

std::vector<std::uint8_t> MakeIps(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                                  std::size_t* records)
{
    const std::size_t n = edited.size();
    const bool truncates = n < original.size();
    if (n > IpsAddressable || (truncates && n >= IpsAddressable))
        throw VxError(Fill(Tr("IPS パッチは 16 MiB (%1 バイト) までしか扱えません。変更後のイメージは %2 バイトです。",
                              "An IPS patch reaches only 16 MiB (%1 bytes); the edited image has %2 bytes."),
                           {IpsAddressable, n}));
    const std::size_t common = std::min(original.size(), n);
    // Bytes past the original's end always count as changed: the output only grows by records.
    auto firstChange = [&](std::size_t from) {
        if (from >= common)
            return from;
        return static_cast<std::size_t>(
            std::mismatch(original.begin() + static_cast<std::ptrdiff_t>(from),
                          original.begin() + static_cast<std::ptrdiff_t>(common),
                          edited.begin() + static_cast<std::ptrdiff_t>(from)).first -
            original.begin());
    };
    auto endOfChange = [&](std::size_t from) {
        while (from < common && original[from] != edited[from])
            ++from;
        return from >= common ? n : from;
    };
    IpsWriter writer;
    for (std::size_t pos = firstChange(0); pos < n;) {
        std::size_t end = endOfChange(pos);
        while (end < n) {
            const std::size_t next = firstChange(end);
            if (next >= n || next - end >= IpsMergeGap)
                break;
            end = endOfChange(next);
        }
        WriteIpsRange(writer, edited, pos, end);
        pos = end < n ? firstChange(end) : n;
    }
    writer.End(truncates ? std::optional<std::size_t>(n) : std::nullopt);
    if (records)
        *records = writer.records;
    return std::move(writer.bytes);
}

std::vector<std::uint8_t> MakeBps(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                                  std::size_t* records)
{
    // A TargetCopy of a run costs about five bytes and splits the literal around it.
    constexpr std::size_t CopiedRun = 8;
    constexpr std::size_t Unflushed = static_cast<std::size_t>(-1);
    const std::size_t n = edited.size();
    const std::size_t common = std::min(original.size(), n);
    BpsWriter writer;
    writer.bytes.assign(BpsHeader, BpsHeader + BpsHeaderSize);
    writer.Number(original.size());
    writer.Number(n);
    writer.Number(0);

    std::size_t literal = Unflushed;
    auto flush = [&](std::size_t upto) {
        if (literal == Unflushed)
            return;
        writer.Action(TargetRead, upto - literal);
        writer.bytes.insert(writer.bytes.end(), edited.begin() + static_cast<std::ptrdiff_t>(literal),
                            edited.begin() + static_cast<std::ptrdiff_t>(upto));
        literal = Unflushed;
    };
    std::size_t targetRelative = 0;
    for (std::size_t i = 0; i < n;) {
        std::size_t same = 0;
        if (i < common)
            same = static_cast<std::size_t>(
                std::mismatch(original.begin() + static_cast<std::ptrdiff_t>(i),
                              original.begin() + static_cast<std::ptrdiff_t>(common),
                              edited.begin() + static_cast<std::ptrdiff_t>(i)).first -
                original.begin()) - i;
        if (same >= 3 || (same > 0 && i + same == n)) {
            flush(i);
            writer.Action(SourceRead, same);
            i += same;
            continue;
        }
        if (literal == Unflushed)
            literal = i;
        const std::size_t run = RunLength(edited, i, n);
        if (run < CopiedRun) {
            ++i;
            continue;
        }
        // The run's first byte ends the literal; the rest copies from one byte back.
        flush(i + 1);
        const std::int64_t offset = static_cast<std::int64_t>(i) - static_cast<std::int64_t>(targetRelative);
        writer.Action(TargetCopy, run - 1);
        writer.Number((static_cast<std::uint64_t>(offset < 0 ? -offset : offset) << 1) | (offset < 0 ? 1 : 0));
        targetRelative = i + run - 1;
        i += run;
    }
    flush(n);
    writer.Little32(Crc32(original));
    writer.Little32(Crc32(edited));
    writer.Little32(Crc32(writer.bytes));
    if (records)
        *records = writer.actions;
    return std::move(writer.bytes);
}

std::vector<std::uint8_t> MakePatch(TPatchFormat format, std::span<const std::uint8_t> original,
                                    std::span<const std::uint8_t> edited, std::size_t* records)
{
    return format == TPatchFormat::Ips ? MakeIps(original, edited, records) : MakeBps(original, edited, records);
}

bool ApplyIps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
              std::vector<std::uint8_t>& out, std::string& reason)
{
    // First every record is checked and the final size found, so nothing too large is made.
    IpsLayout layout;
    if (!ReadIps(patch, layout, reason, nullptr))
        return false;
    const std::size_t grown = std::max(image.size(), layout.recordsEnd);
    if (layout.truncateTo && *layout.truncateTo > grown) {
        reason = Fill(Tr("IPS パッチは %1 バイトに切り詰めますが、パッチを当てたイメージは %2 バイトしかありません。",
                         "The IPS patch truncates to %1 bytes, but the patched image has only %2 bytes."),
                      {*layout.truncateTo, grown});
        return false;
    }
    const std::size_t size = layout.truncateTo.value_or(grown);
    if (size > maxSize) {
        reason = TooLarge(size, maxSize);
        return false;
    }
    std::vector<std::uint8_t> result(size, 0);
    std::copy_n(image.begin(), std::min(image.size(), size), result.begin());
    ReadIps(patch, layout, reason, [&](const IpsRecord& record) {
        if (record.offset >= size)
            return;
        const std::size_t length = std::min(record.length, size - record.offset);
        if (record.data.empty())
            std::fill_n(result.begin() + static_cast<std::ptrdiff_t>(record.offset), length, record.value);
        else
            std::copy_n(record.data.begin(), length, result.begin() + static_cast<std::ptrdiff_t>(record.offset));
    });
    out = std::move(result);
    return true;
}

bool ApplyBps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
              std::vector<std::uint8_t>& out, std::string& reason)
{
    if (!StartsWith(patch, BpsHeader, BpsHeaderSize)) {
        reason = Tr("BPS パッチの先頭が \"BPS1\" ではありません。", "The BPS patch does not begin with \"BPS1\".");
        return false;
    }
    // The header, three one-byte numbers and the checksums at least.
    if (patch.size() < BpsHeaderSize + 3 + BpsFooterSize) {
        reason = Fill(Tr("BPS パッチが短すぎます (%1 バイト)。", "The BPS patch is too short (%1 bytes)."), {patch.size()});
        return false;
    }
    const std::size_t footer = patch.size() - BpsFooterSize;
    if (Crc32(patch.first(patch.size() - 4)) != ReadLittle32(patch, footer + 8)) {
        reason = Tr("BPS パッチのチェックサムが合いません。パッチが壊れているか途中で切れています。",
                    "The BPS patch's own checksum does not match: the patch is damaged or cut short.");
        return false;
    }
    BpsReader reader(patch, BpsHeaderSize, footer, reason);
    std::uint64_t sourceSize = 0, targetSize = 0, metadataSize = 0;
    if (!reader.Number(sourceSize) || !reader.Number(targetSize) || !reader.Number(metadataSize))
        return false;
    if (metadataSize > reader.Left()) {
        reason = Tr("BPS パッチのメタデータがパッチの終わりを越えています。",
                    "The BPS patch's metadata runs past the end of the patch.");
        return false;
    }
    reader.Skip(static_cast<std::size_t>(metadataSize));
    if (sourceSize != image.size()) {
        reason = Fill(Tr("このパッチは %1 バイトのイメージ用ですが、イメージは %2 バイトです。",
                         "This patch is for an image of %1 bytes, but the image has %2 bytes."),
                      {sourceSize, image.size()});
        return false;
    }
    if (Crc32(image) != ReadLittle32(patch, footer)) {
        reason = Tr("イメージのチェックサムがパッチの元イメージと合いません。別のイメージ用のパッチです。",
                    "The image's checksum does not match the one the patch was made from: the patch is for another image.");
        return false;
    }
    if (targetSize > maxSize) {
        reason = TooLarge(targetSize, maxSize);
        return false;
    }
    const auto size = static_cast<std::size_t>(targetSize);
    std::vector<std::uint8_t> result(size);
    std::size_t output = 0;
    std::int64_t sourceRelative = 0, targetRelative = 0;
    const auto imageSize = static_cast<std::int64_t>(image.size());
    while (!reader.AtEnd()) {
        std::uint64_t number = 0;
        if (!reader.Number(number))
            return false;
        const std::uint64_t length = (number >> 2) + 1;
        if (length > size - output) {
            reason = Fill(Tr("BPS パッチの操作がターゲットの大きさ (%1 バイト) を超えて書き込みます。",
                             "An action of the BPS patch writes past the target size of %1 bytes."),
                          {size});
            return false;
        }
        const auto count = static_cast<std::size_t>(length);
        std::uint8_t* to = result.data() + output;
        switch (number & 3) {
        case SourceRead:
            if (output + count > image.size()) {
                reason = ReadsOutsideSource();
                return false;
            }
            std::memcpy(to, image.data() + output, count);
            break;
        case TargetRead: {
            Bytes bytes;
            if (!reader.Take(count, bytes))
                return false;
            std::memcpy(to, bytes.data(), count);
            break;
        }
        case SourceCopy: {
            std::int64_t offset = 0;
            if (!reader.Offset(offset))
                return false;
            sourceRelative += offset;
            if (sourceRelative < 0 || sourceRelative > imageSize || static_cast<std::int64_t>(count) > imageSize - sourceRelative) {
                reason = ReadsOutsideSource();
                return false;
            }
            std::memcpy(to, image.data() + sourceRelative, count);
            sourceRelative += static_cast<std::int64_t>(count);
            break;
        }
        default: {
            std::int64_t offset = 0;
            if (!reader.Offset(offset))
                return false;
            targetRelative += offset;
            if (targetRelative < 0 || targetRelative >= static_cast<std::int64_t>(output)) {
                reason = Tr("BPS パッチの操作がまだ書かれていない出力を読みます。",
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
        reason = Fill(Tr("BPS パッチの出力 (%1 バイト) がターゲットの大きさ (%2 バイト) と合いません。",
                         "The BPS patch produced %1 bytes, not its target size of %2 bytes."),
                      {output, size});
        return false;
    }
    if (Crc32(result) != ReadLittle32(patch, footer + 4)) {
        reason = Tr("パッチを当てた結果のチェックサムが合いません。",
                    "The patched image's checksum does not match the patch's target checksum.");
        return false;
    }
    out = std::move(result);
    return true;
}

bool ApplyPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
                std::vector<std::uint8_t>& out, std::string& reason)
{
    const auto format = PatchFormatOfBytes(patch);
    if (!format) {
        reason = Tr("IPS パッチでも BPS パッチでもありません。", "This is neither an IPS nor a BPS patch.");
        return false;
    }
    return *format == TPatchFormat::Ips ? ApplyIps(patch, image, maxSize, out, reason)
                                        : ApplyBps(patch, image, maxSize, out, reason);
}

} // namespace vx
