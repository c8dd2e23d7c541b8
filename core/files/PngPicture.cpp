#include "core/files/PngPicture.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/files/PatchFormat.h"

#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <png.h>
#include <stdexcept>

namespace vx {
namespace {

using Bytes = std::span<const std::uint8_t>;

// libpng leaves a failing call by longjmp, which must not pass over anything with a
// destructor; so everything its callbacks touch is plain data, and every C++ object the
// guarded code fills lives in a caller's frame.
struct LibpngMessage {
    char text[240] = {};
    bool outOfMemory = false; // an allocation failed: libpng's "insufficient memory" and the like
};

struct ReadSource {
    Bytes bytes;
    std::size_t pos = 0;
    bool cutShort = false;
};

struct WriteSink {
    std::vector<std::uint8_t>* out = nullptr;
};

[[noreturn]] void keepMessage(png_structp png, png_const_charp message)
{
    auto* kept = static_cast<LibpngMessage*>(png_get_error_ptr(png));
    std::snprintf(kept->text, sizeof kept->text, "%s", message ? message : "");
    png_longjmp(png, 1);
}

// Warnings are about chunks the picture does without; libpng would print them.
void ignoreWarning(png_structp, png_const_charp) {}

void readFromSpan(png_structp png, png_bytep out, std::size_t length)
{
    auto* source = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (length > source->bytes.size() - source->pos) {
        source->cutShort = true;
        png_error(png, "cut short");
    }
    std::memcpy(out, source->bytes.data() + source->pos, length);
    source->pos += length;
}

// libpng's allocations, so that a failed one is told apart from a broken file.
png_voidp allocate(png_structp png, png_alloc_size_t size)
{
    void* block = std::malloc(size);
    if (!block)
        static_cast<LibpngMessage*>(png_get_mem_ptr(png))->outOfMemory = true;
    return block;
}

void release(png_structp, png_voidp block) { std::free(block); }

void writeToVector(png_structp png, png_bytep data, std::size_t length)
{
    auto* sink = static_cast<WriteSink*>(png_get_io_ptr(png));
    bool full = false;
    try {
        sink->out->insert(sink->out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        full = true;
    }
    // Only once the handler is done: png_error does not come back.
    if (full) {
        static_cast<LibpngMessage*>(png_get_mem_ptr(png))->outOfMemory = true;
        png_error(png, "out of memory");
    }
}

void flushNothing(png_structp) {}

struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ReadStructs() = default;
    ReadStructs(const ReadStructs&) = delete;
    ReadStructs& operator=(const ReadStructs&) = delete;
    ~ReadStructs() { png_destroy_read_struct(&png, &info, nullptr); }
};

struct WriteStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    WriteStructs() = default;
    WriteStructs(const WriteStructs&) = delete;
    WriteStructs& operator=(const WriteStructs&) = delete;
    ~WriteStructs() { png_destroy_write_struct(&png, &info); }
};

enum class ReadOutcome {
    Read,
    Failed, // libpng's message says why
    TooLarge,
    Unexpected // the transforms did not give the layout asked for
};

// The pixels as one byte per palette index or four bytes RGBA per pixel, row by row.
struct RawPixels {
    std::vector<png_byte> bytes;
    std::vector<png_bytep> rows;
    std::array<std::uint8_t, 256> alpha{}; // a palette entry's opacity from tRNS
};

// Holds the only setjmp: nothing with a destructor is made in this frame.
ReadOutcome readPixels(const ReadStructs& structs, int maxSide, PngPicture& picture, RawPixels& raw)
{
    png_structp png = structs.png;
    png_infop info = structs.info;
    if (setjmp(png_jmpbuf(png)))
        return ReadOutcome::Failed;

    // Only the pixels matter; skipping the ancillary chunks also spares inflating text and
    // colour profiles.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    // Sizes are checked below, with the sizes in the message.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    if (maxSide < 1 || width > static_cast<png_uint_32>(maxSide) || height > static_cast<png_uint_32>(maxSide))
        return ReadOutcome::TooLarge;

    picture.indexed = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE;
    std::size_t pixelSize = 4;
    if (picture.indexed) {
        png_set_packing(png);
        pixelSize = 1;
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &entries, &count) == 0 || count < 0 || count > 256)
            count = 0;
        picture.palette.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            picture.palette.push_back(std::uint32_t{entries[i].red} << 16 | std::uint32_t{entries[i].green} << 8 |
                                      entries[i].blue);
        raw.alpha.fill(0xFF);
        png_bytep opacity = nullptr;
        int opacities = 0;
        if (png_get_tRNS(png, info, &opacity, &opacities, nullptr) != 0 && opacity)
            for (int i = 0; i < opacities && i < 256; ++i)
                raw.alpha[static_cast<std::size_t>(i)] = opacity[i];
    } else {
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const std::size_t rowBytes = png_get_rowbytes(png, info);
    if (png_get_bit_depth(png, info) != 8 || png_get_channels(png, info) != pixelSize || rowBytes != width * pixelSize)
        return ReadOutcome::Unexpected;
    raw.bytes.resize(rowBytes * height);
    raw.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        raw.rows[y] = raw.bytes.data() + rowBytes * y;
    png_read_image(png, raw.rows.data());
    // Reads through IEND, so that a file cut after its pixels is refused as well.
    png_read_end(png, nullptr);
    return ReadOutcome::Read;
}

std::string transparentText(std::size_t x, std::size_t y)
{
    return fillNumbers(localized("ピクセル (%1, %2) が透明です。完全に不透明な画像だけを読"
                                 "み込めます。",
                                 "Pixel (%1, %2) is transparent; only fully opaque pictures are read."),
                       {x, y});
}

// Fills indices and colours from the raw pixels, or says which pixel cannot be taken.
Result<void> takePixels(const RawPixels& raw, PngPicture& picture)
{
    const auto width = static_cast<std::size_t>(picture.width);
    const std::size_t count = width * static_cast<std::size_t>(picture.height);
    picture.colours.resize(count);
    if (picture.indexed) {
        picture.indices.assign(raw.bytes.begin(), raw.bytes.begin() + static_cast<std::ptrdiff_t>(count));
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t index = picture.indices[i];
            if (index >= picture.palette.size())
                return Error{
                    fillNumbers(localized("ピクセル (%1, %2) はパレットの %3 番を使っていますが"
                                          "、パレットに"
                                          "は %4 色しかありません。",
                                          "Pixel (%1, %2) uses palette entry %3, but the palette has only %4 colours."),
                                {i % width, i / width, index, picture.palette.size()})};
            if (raw.alpha[index] != 0xFF)
                return Error{transparentText(i % width, i / width)};
            picture.colours[i] = picture.palette[index];
        }
        return Done;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const png_byte* pixel = raw.bytes.data() + i * 4;
        if (pixel[3] != 0xFF)
            return Error{transparentText(i % width, i / width)};
        picture.colours[i] = std::uint32_t{pixel[0]} << 16 | std::uint32_t{pixel[1]} << 8 | pixel[2];
    }
    return Done;
}

std::string brokenText(const std::string& reason)
{
    std::string text = localized("PNG ファイルが壊れています: ", "The PNG file is broken: ");
    text += reason.empty() ? localized("理由は不明です", "no reason given") : reason;
    return sentence(std::move(text));
}

int bitDepthFor(std::size_t paletteSize)
{
    if (paletteSize <= 2)
        return 1;
    if (paletteSize <= 4)
        return 2;
    return paletteSize <= 16 ? 4 : 8;
}

// Holds the only setjmp of the writer, as readPixels does for the reader.
bool writePixels(const WriteStructs& structs, int width, int height, std::span<const std::uint8_t> indices,
                 const std::array<png_color, 256>& colours, int colourCount)
{
    png_structp png = structs.png;
    png_infop info = structs.info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    const int depth = bitDepthFor(static_cast<std::size_t>(colourCount));
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), depth,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, colours.data(), colourCount);
    png_write_info(png, info);
    // One index a byte in, packed to the bit depth by libpng.
    png_set_packing(png);
    for (int y = 0; y < height; ++y)
        png_write_row(png, indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width));
    png_write_end(png, nullptr);
    return true;
}

} // namespace

Result<PngPicture> decodePng(std::span<const std::uint8_t> bytes, int maxSide)
{
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
        return Error{localized("PNG ファイルではありません。", "This is not a PNG file.")};

    LibpngMessage message;
    ReadSource source{bytes, 8};
    ReadStructs structs;
    structs.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &message, keepMessage, ignoreWarning, &message,
                                           allocate, release);
    if (structs.png)
        structs.info = png_create_info_struct(structs.png);
    if (!structs.png || !structs.info)
        return Error{outOfMemoryMessage()};
    png_set_read_fn(structs.png, &source, readFromSpan);

    PngPicture picture;
    RawPixels raw;
    // A maxSide far above the default can ask for more memory than there is.
    try {
        switch (readPixels(structs, maxSide, picture, raw)) {
        case ReadOutcome::Read: break;
        case ReadOutcome::Failed:
            if (message.outOfMemory)
                return Error{outOfMemoryMessage()};
            if (source.cutShort)
                return Error{localized("PNG ファイルが途中で切れています"
                                       "。",
                                       "The PNG file is cut short.")};
            return Error{brokenText(message.text)};
        case ReadOutcome::TooLarge:
            return Error{
                fillNumbers(localized("画像は %1 x %2 ピクセルです。読み込めるのは縦横 %3 ピ"
                                      "クセルまでです。",
                                      "The picture is %1 x %2 pixels; at most %3 a side is read."),
                            {static_cast<std::uint64_t>(picture.width), static_cast<std::uint64_t>(picture.height),
                             static_cast<std::uint64_t>(maxSide < 0 ? 0 : maxSide)})};
        case ReadOutcome::Unexpected:
            return Error{brokenText(localized("想定外の画素の形式", "an unexpected pixel layout"))};
        }
        if (Result<void> taken = takePixels(raw, picture); !taken.ok())
            return taken.error();
        return picture;
    } catch (const std::bad_alloc&) {
        return Error{outOfMemoryMessage()};
    }
}

std::vector<std::uint8_t> encodeIndexedPng(int width, int height, std::span<const std::uint8_t> indices,
                                           std::span<const std::uint32_t> palette)
{
    if (width < 1 || height < 1 || static_cast<std::size_t>(width) * static_cast<std::size_t>(height) != indices.size())
        throw std::invalid_argument("encodeIndexedPng: the indices do not fill width x height");
    if (palette.empty() || palette.size() > 256)
        throw std::invalid_argument("encodeIndexedPng: a palette has 1 to 256 colours");
    for (std::uint8_t index : indices)
        if (index >= palette.size())
            throw std::invalid_argument("encodeIndexedPng: an index is beyond the palette");

    std::array<png_color, 256> colours{};
    for (std::size_t i = 0; i < palette.size(); ++i)
        colours[i] = png_color{static_cast<png_byte>(palette[i] >> 16), static_cast<png_byte>(palette[i] >> 8),
                               static_cast<png_byte>(palette[i])};

    std::vector<std::uint8_t> out;
    WriteSink sink{&out};
    LibpngMessage message;
    WriteStructs structs;
    structs.png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, &message, keepMessage, ignoreWarning, &message,
                                            allocate, release);
    if (structs.png)
        structs.info = png_create_info_struct(structs.png);
    if (!structs.png || !structs.info)
        throw std::bad_alloc();
    png_set_write_fn(structs.png, &sink, writeToVector, flushNothing);
    if (!writePixels(structs, width, height, indices, colours, static_cast<int>(palette.size()))) {
        if (message.outOfMemory)
            throw std::bad_alloc();
        throw std::runtime_error(std::string("encodeIndexedPng: libpng failed: ") + message.text);
    }
    return out;
}

} // namespace vx
