#include "core/files/IpsPatch.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace vx {
namespace {

using Bytes = std::span<const std::uint8_t>;

// A record offset of these three bytes reads as "EOF", the end mark.
constexpr std::size_t IpsEofOffset = 0x454F46;
constexpr std::size_t IpsMaxRecord = 0xFFFF;
constexpr std::size_t IpsAddressable = 0x1000000;
// Fewer equal bytes than this between two changes cost less inside one record than a
// second record's five-byte head.
constexpr std::size_t IpsMergeGap = 5;

class IpsWriter {
public:
    IpsWriter() { bytes.assign(IpsMark.begin(), IpsMark.end()); }

    void literal(std::size_t offset, Bytes data)
    {
        head(offset, data.size());
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    void run(std::size_t offset, std::size_t length, std::uint8_t value)
    {
        head(offset, 0);
        big(length, 2);
        bytes.push_back(value);
    }
    void end(std::optional<std::size_t> truncateTo)
    {
        bytes.insert(bytes.end(), {'E', 'O', 'F'});
        if (truncateTo)
            big(*truncateTo, 3);
    }

    std::vector<std::uint8_t> bytes;
    std::size_t records = 0;

private:
    void head(std::size_t offset, std::size_t size)
    {
        big(offset, 3);
        big(size, 2);
        ++records;
    }
    void big(std::size_t value, int count)
    {
        for (int shift = 8 * (count - 1); shift >= 0; shift -= 8)
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
};

// Writes the changed bytes [begin, end) of edited as literal and run records.
void writeIpsRange(IpsWriter& writer, Bytes edited, std::size_t begin, std::size_t end)
{
    // A run record costs 8 bytes; inside a literal it also costs the literal's 5-byte head
    // again after it.
    constexpr std::size_t RunAtEdge = 8, RunInside = 13, RunAlone = 3;
    std::size_t pos = begin;
    while (pos < end) {
        const std::size_t run = equalRunLength(edited, pos, std::min(end, pos + IpsMaxRecord));
        const bool reachesEnd = pos + run == end;
        if (pos != IpsEofOffset && run > (reachesEnd ? RunAlone : RunAtEdge)) {
            writer.run(pos, run, edited[pos]);
            pos += run;
            continue;
        }
        // A record may not start at the end mark's offset: take the byte before along.
        const std::size_t start = pos == IpsEofOffset ? pos - 1 : pos;
        std::size_t q = pos;
        bool first = true;
        while (q < end && q - start < IpsMaxRecord) {
            const std::size_t room = IpsMaxRecord - (q - start);
            const std::size_t length = equalRunLength(edited, q, std::min(end, q + IpsMaxRecord));
            if (!first && (length > RunInside || (q + length == end && length > RunAtEdge)))
                break;
            q += (first && pos == IpsEofOffset) ? 1 : std::min(length, room);
            first = false;
        }
        writer.literal(start, edited.subspan(start, q - start));
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

std::size_t readBig(Bytes bytes, std::size_t at, int count)
{
    std::size_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

// Walks the records, checking that each lies inside the patch and that only a truncation
// length may follow the end mark.
bool readIps(Bytes patch, IpsLayout& layout, std::string& reason, const std::function<void(const IpsRecord&)>& visit)
{
    if (!beginsWith(patch, IpsMark)) {
        reason = localized("IPS パッチの先頭が \"PATCH\" ではありません"
                           "。",
                           "The IPS patch does not begin with \"PATCH\".");
        return false;
    }
    const std::string cut = localized("IPS パッチがレコードの途中で終わっています"
                                      "。",
                                      "The IPS patch ends in the middle of a record.");
    std::size_t pos = IpsMark.size();
    for (;;) {
        if (patch.size() - pos < 3) {
            reason = pos == patch.size() ? localized("IPS パッチに終わりの印 \"EOF\" がありません。",
                                                     "The IPS patch ends without its \"EOF\" mark.")
                                         : cut;
            return false;
        }
        if (std::memcmp(patch.data() + pos, "EOF", 3) == 0) {
            pos += 3;
            break;
        }
        IpsRecord record;
        record.offset = readBig(patch, pos, 3);
        pos += 3;
        if (patch.size() - pos < 2) {
            reason = cut;
            return false;
        }
        record.length = readBig(patch, pos, 2);
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
            record.length = readBig(patch, pos, 2);
            record.value = patch[pos + 2];
            pos += 3;
            if (record.length == 0) {
                reason = localized("IPS パッチに長さ 0 の繰り返しレコードがあります。",
                                   "The IPS patch has a run record of length 0.");
                return false;
            }
        }
        layout.recordsEnd = std::max(layout.recordsEnd, record.offset + record.length);
        if (visit)
            visit(record);
    }
    const std::size_t rest = patch.size() - pos;
    if (rest == 3) {
        layout.truncateTo = readBig(patch, pos, 3);
    } else if (rest != 0) {
        reason = fillNumbers(localized("IPS パッチの \"EOF\" の後に余分なバイトが %1 バイトあり"
                                       "ます。",
                                       rest == 1 ? "The IPS patch has %1 unexpected byte after its \"EOF\" mark."
                                                 : "The IPS patch has %1 unexpected bytes after its \"EOF\" mark."),
                             {rest});
        return false;
    }
    return true;
}

} // namespace

std::vector<std::uint8_t> makeIps(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                                  std::size_t* records)
{
    const std::size_t n = edited.size();
    const bool truncates = n < original.size();
    if (n > IpsAddressable || (truncates && n >= IpsAddressable))
        throw UserError(
            fillNumbers(localized("IPS パッチは 16 MiB (%1 バイト) までしか扱えません。変更後"
                                  "のイメー"
                                  "ジは %2 バイトです。",
                                  "An IPS patch reaches only 16 MiB (%1 bytes); the edited image has %2 bytes."),
                        {IpsAddressable, n}));
    const std::size_t common = std::min(original.size(), n);
    // Bytes past the original's end always count as changed: the output only grows by records.
    auto firstChange = [&](std::size_t from) {
        if (from >= common)
            return from;
        return static_cast<std::size_t>(std::mismatch(original.begin() + static_cast<std::ptrdiff_t>(from),
                                                      original.begin() + static_cast<std::ptrdiff_t>(common),
                                                      edited.begin() + static_cast<std::ptrdiff_t>(from))
                                            .first -
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
        writeIpsRange(writer, edited, pos, end);
        pos = end < n ? firstChange(end) : n;
    }
    writer.end(truncates ? std::optional<std::size_t>(n) : std::nullopt);
    if (records)
        *records = writer.records;
    return std::move(writer.bytes);
}

namespace {

bool applyIpsInto(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
                  std::vector<std::uint8_t>& out, std::string& reason)
{
    // First every record is checked and the final size found, so nothing too large is made.
    IpsLayout layout;
    if (!readIps(patch, layout, reason, nullptr))
        return false;
    const std::size_t grown = std::max(image.size(), layout.recordsEnd);
    if (layout.truncateTo && *layout.truncateTo > grown) {
        reason = fillNumbers(localized("IPS パッチは %1 バイトに切り詰めますが、パッチを当て"
                                       "たイメージ"
                                       "は %2 バイトしかありません。",
                                       "The IPS patch truncates to %1 bytes, but the patched image has only %2 bytes."),
                             {*layout.truncateTo, grown});
        return false;
    }
    const std::size_t size = layout.truncateTo.value_or(grown);
    if (size > maxSize) {
        reason = patchedTooLargeText(size, maxSize);
        return false;
    }
    std::vector<std::uint8_t> result(size, 0);
    std::copy_n(image.begin(), std::min(image.size(), size), result.begin());
    readIps(patch, layout, reason, [&](const IpsRecord& record) {
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

} // namespace

Result<std::vector<std::uint8_t>> applyIps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image,
                                           std::size_t maxSize)
{
    return patchedImage(applyIpsInto, patch, image, maxSize);
}

} // namespace vx
