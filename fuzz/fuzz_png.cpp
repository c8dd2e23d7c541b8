// Any bytes as a PNG, up to 256 pixels a side, and read as tiles: nothing may be read or
// written outside a buffer, a refusal always says why, a picture's sizes agree with its width and height,
// and a palette picture written back reads the same.
//
// The bytes are read as they are, then again with every chunk's CRC put right, so that
// the fuzzer reaches the chunks' contents rather than stopping at the checksums.
#include "core/files/PngPicture.h"
#include "core/model/TileSheet.h"

#include <array>

#include <cstdlib>
#include <zlib.h>

using namespace vx;

namespace {

constexpr int MaxSide = 256;

std::uint32_t big32(const std::uint8_t* at)
{
    return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 | at[3];
}

bool fixCrcs(std::vector<std::uint8_t>& png)
{
    bool changed = false;
    for (std::size_t pos = 8; pos + 12 <= png.size();) {
        const std::uint32_t length = big32(png.data() + pos);
        if (length > png.size() - pos - 12)
            break;
        const auto crc = static_cast<std::uint32_t>(crc32_z(0, png.data() + pos + 4, length + 4));
        std::uint8_t* stored = png.data() + pos + 8 + length;
        if (big32(stored) != crc) {
            for (int i = 0; i < 4; ++i)
                stored[i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
            changed = true;
        }
        pos += 12 + length;
    }
    return changed;
}

void check(std::span<const std::uint8_t> bytes)
{
    const Result<PngPicture> read = decodePng(bytes, MaxSide);
    if (!read.ok()) {
        if (read.error().message.empty())
            std::abort();
        return;
    }
    const PngPicture& picture = read.value();
    // The tile import reads any picture the decoder accepts: a sheet or a reason, never a crash.
    static const std::array<std::uint8_t, TileTableLength> table{};
    const std::uint32_t colours[4] = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};
    const auto sheet = sheetOfPicture(picture, colours, table);
    if (sheet.ok() ? sheet.value().size() != SheetSide * SheetSide : sheet.error().message.empty())
        std::abort();
    if (picture.width < 1 || picture.height < 1 || picture.width > MaxSide || picture.height > MaxSide)
        std::abort();
    const auto count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    if (picture.colours.size() != count)
        std::abort();
    for (std::uint32_t rgb : picture.colours)
        if (rgb > 0xFFFFFF)
            std::abort();
    if (!picture.indexed) {
        if (!picture.indices.empty() || !picture.palette.empty())
            std::abort();
        return;
    }
    if (picture.indices.size() != count || picture.palette.empty() || picture.palette.size() > 256)
        std::abort();
    for (std::size_t i = 0; i < count; ++i)
        if (picture.indices[i] >= picture.palette.size() || picture.colours[i] != picture.palette[picture.indices[i]])
            std::abort();

    const std::vector<std::uint8_t> png =
        encodeIndexedPng(picture.width, picture.height, picture.indices, picture.palette);
    const Result<PngPicture> again = decodePng(png, MaxSide);
    if (!again.ok() || again.value().indices != picture.indices || again.value().palette != picture.palette ||
        again.value().colours != picture.colours)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    check(std::span(data, size));
    std::vector<std::uint8_t> fixed(data, data + size);
    if (fixCrcs(fixed))
        check(fixed);
    return 0;
}
