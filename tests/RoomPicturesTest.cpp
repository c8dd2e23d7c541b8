#include "core/model/RomImage.h"
#include "render/StageSheetPicture.h"
#include "render/StageSheets.h"
#include "tests/support/Images.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace vx;

// Rooms of the sample against pictures kept in tests/data: a fault in decoding, chip
// composition, palettes or map order shows even where every picture agrees with another.
// VX_WRITE_REFERENCE set renews the pictures after a deliberate change; look at them first.

namespace {

constexpr int Side = 256;

std::vector<std::uint8_t> colours()
{
    std::vector<std::uint8_t> file(192);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(i * 37);
    return file;
}

bool space(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The pixels of a binary PPM, Side x Side at maxval 255; empty for anything else.
std::vector<std::uint8_t> readPpm(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        return {};
    std::size_t at = 2;
    int fields[3] = {};
    for (int& field : fields) {
        // Whitespace and comments, from '#' to the end of the line, may stand between fields.
        while (at < bytes.size() && (space(bytes[at]) || bytes[at] == '#')) {
            if (bytes[at] != '#')
                ++at;
            else
                while (at < bytes.size() && bytes[at] != '\n' && bytes[at] != '\r')
                    ++at;
        }
        const std::size_t first = at;
        for (; at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9'; ++at)
            field = std::min(field * 10 + (bytes[at] - '0'), 1 << 20);
        if (at == first)
            return {};
    }
    // A single whitespace byte ends the header; the samples follow.
    if (at >= bytes.size() || !space(bytes[at++]) || fields[0] != Side || fields[1] != Side || fields[2] != 255 ||
        bytes.size() - at != 3u * Side * Side)
        return {};
    return {bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end()};
}

std::string rgb(const std::uint8_t* p)
{
    return "(" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + ", " + std::to_string(p[2]) + ")";
}

class RoomPictures : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "sample.nes").ok()); }

    // The room's map alone, as RGB rows.
    std::vector<std::uint8_t> draw(int stage, int room)
    {
        StageSheets sheets;
        prepareStageSheets(graphics, rom.stage(stage), rom.imageBytes(), sheets, nullptr);
        auto bitmap = graphics.createDisplayBitmap(Side, Side);
        drawRoomWithObjects(graphics, *bitmap, *sheets.chip32Sheet, rom.stage(stage), room, false);
        std::vector<std::uint8_t> pixels(3u * Side * Side);
        auto to = pixels.begin();
        for (int y = 0; y < Side; ++y)
            for (int x = 0; x < Side; ++x) {
                const Color c = bitmap->color(bitmap->pixel(x, y));
                *to++ = std::uint8_t(c);
                *to++ = std::uint8_t(c >> 8);
                *to++ = std::uint8_t(c >> 16);
            }
        return pixels;
    }

    void check(int stage, int room)
    {
        char name[32];
        std::snprintf(name, sizeof name, "room-s%02d-r%02d.ppm", stage, room);
        const std::string path = std::string(VX_REFERENCE_DIR) + "/" + name;
        const auto actual = draw(stage, room);
        const auto expected =
            std::filesystem::exists(path) ? readPpm(test::readBytes(path)) : std::vector<std::uint8_t>{};
        if (expected == actual)
            return;
        if (std::getenv("VX_WRITE_REFERENCE")) {
            const std::string header = "P6\n256 256\n255\n";
            std::vector<std::uint8_t> file(header.size() + actual.size());
            std::copy(actual.begin(), actual.end(), std::copy(header.begin(), header.end(), file.begin()));
            test::writeFile(path, file);
            return;
        }
        ASSERT_EQ(expected.size(), actual.size()) << path << " is missing or not a 256x256 P6 picture";
        std::size_t first = actual.size(), count = 0;
        for (std::size_t i = 0; i < actual.size(); i += 3)
            if (!std::equal(&actual[i], &actual[i] + 3, &expected[i]) && count++ == 0)
                first = i;
        const int at = static_cast<int>(first / 3);
        ADD_FAILURE() << name << ": " << count << " pixels differ, the first at (" << at % Side << ", " << at / Side
                      << "): expected " << rgb(&expected[first]) << ", drawn " << rgb(&actual[first]);
    }

    RomImage rom{test::defaultAddresses()};
    PaletteManager palette{colours(), "p"};
    GraphicManager graphics{palette};
};

} // namespace

// Three stages' patterns and palettes; walls, ladders, blocks and ground in several sub-palettes.
TEST_F(RoomPictures, Stage1Room12) { check(1, 12); }
TEST_F(RoomPictures, Stage4Room34) { check(4, 34); }
TEST_F(RoomPictures, Stage7Room10) { check(7, 10); }
