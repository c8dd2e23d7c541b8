#include "core/files/GimpPalette.h"
#include "core/files/PngPicture.h"

#include "tests/support/LanguageGuard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <zlib.h>

using namespace vx;

namespace {

using ByteVector = std::vector<std::uint8_t>;

class PictureFilesTest : public ::testing::Test {
protected:
    test::LanguageGuard english{Language::English};
};

void put32(ByteVector& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void chunk(ByteVector& png, const char* type, ByteVector data)
{
    put32(png, static_cast<std::uint32_t>(data.size()));
    data.insert(data.begin(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32(png, static_cast<std::uint32_t>(crc32_z(0, data.data(), data.size())));
}

// Made by hand, so that the reader is not only checked against its own writer. scanlines
// hold each row's filter byte (0) and packed pixels.
ByteVector handMadePng(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colourType,
                       const ByteVector& scanlines, const ByteVector& plte = {}, const ByteVector& trns = {})
{
    ByteVector png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, ihdr, packed(compressBound(scanlines.size()));
    put32(ihdr, width);
    put32(ihdr, height);
    ihdr.insert(ihdr.end(), {depth, colourType, 0, 0, 0});
    chunk(png, "IHDR", ihdr);
    for (const auto& [type, data] : {std::pair{"PLTE", plte}, std::pair{"tRNS", trns}})
        if (!data.empty())
            chunk(png, type, data);
    uLongf size = packed.size();
    compress(packed.data(), &size, scanlines.data(), scanlines.size());
    packed.resize(size);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", {});
    return png;
}

const ByteVector FourColours = {0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF};

// The refusal, or "(read)" and the picture in out.
std::string refusal(const ByteVector& png, PngPicture* out = nullptr)
{
    const Result<PngPicture> picture = decodePng(png, 256);
    if (picture.ok() && out)
        *out = picture.value();
    return picture.ok() ? "(read)" : picture.error().message;
}

// The colours read as "RRGGBB name|" each, or the refusal.
std::string paletteRead(std::string_view text, std::size_t minColours = 0)
{
    const Result<std::vector<PaletteFileColour>> read = readGimpPalette(text, minColours);
    if (!read.ok())
        return read.error().message;
    std::string colours;
    for (const PaletteFileColour& colour : read.value()) {
        char rgb[8];
        std::snprintf(rgb, sizeof rgb, "%06X", static_cast<unsigned>(colour.rgb));
        colours += std::string(rgb) + " " + colour.name + "|";
    }
    return colours;
}

TEST_F(PictureFilesTest, ReadsPackedIndicesAndRgbPngs)
{
    // 1 bit, ten pixels a row so that a row ends inside its second byte.
    PngPicture picture;
    ASSERT_EQ(refusal(handMadePng(10, 2, 1, 3, {0, 0xB1, 0x80, 0, 0x00, 0x40}, {1, 2, 3, 4, 5, 6}), &picture),
              "(read)");
    EXPECT_EQ(picture.indices, (ByteVector{1, 0, 1, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(picture.palette, (std::vector<std::uint32_t>{0x010203, 0x040506}));
    EXPECT_EQ(picture.colours[1], 0x010203u);

    ASSERT_EQ(refusal(handMadePng(5, 1, 2, 3, {0, 0xE4, 0xC0}, FourColours), &picture), "(read)");
    EXPECT_EQ(picture.indices, (ByteVector{3, 2, 1, 0, 3}));
    EXPECT_EQ(picture.colours, (std::vector<std::uint32_t>{0x0000FF, 0x00FF00, 0xFF0000, 0, 0x0000FF}));

    ASSERT_EQ(refusal(handMadePng(2, 1, 8, 2, {0, 0x12, 0x34, 0x56, 0xFF, 0x00, 0x80}), &picture), "(read)");
    EXPECT_FALSE(picture.indexed);
    EXPECT_EQ(picture.colours, (std::vector<std::uint32_t>{0x123456, 0xFF0080}));
}

TEST_F(PictureFilesTest, IndexedPngRoundTrip)
{
    for (std::size_t colours : {2u, 4u, 13u, 200u}) {
        std::vector<std::uint32_t> palette;
        for (std::size_t i = 0; i < colours; ++i)
            palette.push_back(static_cast<std::uint32_t>(i * 0x010305 + 0x400000) & 0xFFFFFF);
        ByteVector indices;
        for (std::size_t i = 0; i < 7 * 3; ++i)
            indices.push_back(static_cast<std::uint8_t>(i * 5 % colours));
        PngPicture picture;
        ASSERT_EQ(refusal(encodeIndexedPng(7, 3, indices, palette), &picture), "(read)");
        EXPECT_EQ(picture.indices, indices) << colours;
        EXPECT_EQ(picture.palette, palette);
        EXPECT_EQ(picture.colours[5], palette[indices[5]]);
    }
    EXPECT_EQ(encodeIndexedPng(1, 1, ByteVector{3}, std::vector<std::uint32_t>(4))[24], 2) << "bit depth";
    EXPECT_THROW(encodeIndexedPng(1, 1, ByteVector{1}, {{0}}), std::invalid_argument);
}

TEST_F(PictureFilesTest, RefusesPngsWithReasons)
{
    EXPECT_EQ(refusal({}), "This is not a PNG file.");

    ByteVector png = encodeIndexedPng(16, 16, ByteVector(256, 1), {{0, 0xFFFFFF}});
    EXPECT_EQ(refusal(ByteVector(png.begin(), png.end() - 13)), "The PNG file is cut short.");
    png[20] ^= 1;
    EXPECT_EQ(refusal(png), "The PNG file is broken: IHDR: CRC error.");

    EXPECT_EQ(refusal(handMadePng(300, 1, 8, 2, {})), "The picture is 300 x 1 pixels; at most 256 a side is read.");
    EXPECT_EQ(refusal(handMadePng(2, 1, 8, 6, {0, 1, 2, 3, 0xFF, 4, 5, 6, 0xFE})),
              "Pixel (1, 0) is transparent; only fully opaque pictures are read.");
    // tRNS matters only for an index that a pixel uses.
    const ByteVector three(FourColours.begin(), FourColours.end() - 3);
    EXPECT_EQ(refusal(handMadePng(3, 1, 2, 3, {0, 0x08}, three, {0xFF, 0x80})), "(read)");
    EXPECT_EQ(refusal(handMadePng(3, 1, 2, 3, {0, 0x04}, three, {0xFF, 0x80})),
              "Pixel (2, 0) is transparent; only fully opaque pictures are read.");
    EXPECT_EQ(refusal(handMadePng(3, 1, 2, 3, {0, 0x30}, three)),
              "Pixel (1, 0) uses palette entry 3, but the palette has only 3 colours.");

    const test::LanguageGuard japanese(Language::Japanese);
    EXPECT_EQ(refusal({1, 2, 3}), "PNG ファイルではありません。");
}

TEST_F(PictureFilesTest, GimpPalettes)
{
    const std::vector<PaletteFileColour> colours = {{0x123456, "Deep water"}, {0xFF0000, ""}};
    const std::string text = writeGimpPalette("Stage 1", colours);
    EXPECT_EQ(text, "GIMP Palette\nName: Stage 1\nColumns: 16\n#\n 18  52  86\tDeep water\n255   0   0\t\n");
    EXPECT_EQ(paletteRead(text, 2), "123456 Deep water|FF0000 |");

    const std::string crlf =
        "\xEF\xBB\xBF\r\nGIMP Palette\r\nName: x\r\nColumns: 4\r\n# note\r\n\r\n  0  16 255\tBlue  sky \r\n7\t8 9\r\n";
    EXPECT_EQ(paletteRead(crlf), "0010FF Blue  sky|070809 |");
    EXPECT_EQ(paletteRead(crlf, 3), "The palette holds 2 of the 3 colours needed.");
    EXPECT_EQ(paletteRead("\nJASC-PAL\n"),
              "Line 2: this is not a GIMP palette (it does not begin with \"GIMP Palette\").");
    EXPECT_EQ(paletteRead("GIMP Palette\n1 2 3\n1 2 3x\n"),
              "Line 3: a colour line is three whole numbers from 0 to 255 (red, green, blue), then an optional name.");
    EXPECT_EQ(paletteRead("GIMP Palette\n1 2 256\n"), "Line 2: a colour value is over 255.");
    EXPECT_EQ(paletteRead("GIMP Palette\n1 2 99999999999999999999\n"), "Line 2: a colour value is over 255.");
    EXPECT_EQ(paletteRead(""), "This is not a GIMP palette (there is no \"GIMP Palette\" line).");
}

} // namespace
