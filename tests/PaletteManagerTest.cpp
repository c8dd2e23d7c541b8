#include "render/PaletteManager.h"
#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "tests/support/LanguageGuard.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vx;

namespace {

std::vector<std::uint8_t> colorFile(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return bytes;
}

std::array<std::uint8_t, 64> collectFrames()
{
    std::array<std::uint8_t, 64> data{};
    for (int f = 0; f < 4; ++f)
        for (int e = 0; e < 16; ++e)
            data[f * 16 + e] = static_cast<std::uint8_t>(0x10 * f + e);
    return data;
}

} // namespace

TEST(PaletteManager, ColourFileMustBeExactly192Bytes)
{
    test::LanguageGuard english(Language::English);
    EXPECT_NO_THROW(PaletteManager(colorFile(192), "fcpalette.pal"));
    for (std::size_t size : {0u, 191u, 193u}) {
        try {
            PaletteManager manager(colorFile(size), "fcpalette.pal");
            ADD_FAILURE() << size << " bytes accepted";
        } catch (const UserError& error) {
            EXPECT_STREQ(error.what(), "Invalid File Size: fcpalette.pal");
        }
    }
    forceLanguage(Language::Japanese);
    try {
        PaletteManager manager(colorFile(191), "fcpalette.pal");
        ADD_FAILURE();
    } catch (const UserError& error) {
        EXPECT_STREQ(error.what(), "fcpalette.palのファイルサイズが不正です");
    }
}

TEST(PaletteManager, FileIsLookedUpInTheCurrentFolderByItsBareName)
{
    test::TempDir here, elsewhere;
    test::writeFile(here.file("fcpalette.pal"), colorFile(192));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(here.path());
    EXPECT_NO_THROW(PaletteManager("fcpalette.pal"));
    std::filesystem::current_path(elsewhere.path());
    EXPECT_THROW(PaletteManager("fcpalette.pal"), UserError);
    std::filesystem::current_path(previous);
}

TEST(PaletteManager, RecordsBecomeRgbWithRedInTheLowByte)
{
    std::vector<std::uint8_t> file(192, 0);
    file[0] = 0x11;
    file[1] = 0x22;
    file[2] = 0x33;
    file[189] = 0xAA;
    file[190] = 0xBB;
    file[191] = 0xCC;
    PaletteManager manager(file, "p");
    EXPECT_EQ(manager.getRGB(0), 0x332211u);
    EXPECT_EQ(manager.getRGB(63), 0xCCBBAAu);
    EXPECT_EQ(manager.getRGB(64), 0x808080u);
    EXPECT_EQ(manager.getRGB(-1), 0x808080u);
}

TEST(PaletteManager, AnimationNeedsOneToFourFramesAndAPositiveTimer)
{
    PaletteManager manager(colorFile(192), "p");
    const auto frames = collectFrames();
    struct Case {
        int count, timer;
        bool on;
    };
    for (const Case c : {Case{5, 15, false}, Case{0, 15, false}, Case{2, 0, false}, Case{1, 1, true},
                         Case{4, 255, true}, Case{-1, 3, false}}) {
        manager.setPaletteAnime(c.count, c.timer, frames);
        EXPECT_EQ(manager.isAnimated(), c.on) << c.count << "/" << c.timer;
        EXPECT_EQ(manager.getAnimeFrame(), c.on ? 0 : -1);
        EXPECT_EQ(manager.frameTimer(), c.timer);
        EXPECT_EQ(manager.frameCount(), c.on ? c.count : 0);
    }
}

TEST(PaletteManager, EachFrameLastsFrameTimerTicksAndNotifiesOnItsFirst)
{
    PaletteManager manager(colorFile(192), "p");
    int notifications = 0;
    manager.onChange = [&](PaletteManager&) { ++notifications; };
    manager.setPaletteAnime(2, 3, collectFrames());
    EXPECT_EQ(notifications, 1) << "frame 0 is shown at once";

    const bool expectedTicks[] = {true, false, false, true, false, false, true};
    const int expectedFrame[] = {0, 0, 0, 1, 1, 1, 0};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(manager.getPaletteEntry(5), 0x10 * expectedFrame[i] + 5) << "tick " << i;
        EXPECT_EQ(manager.tick(), expectedTicks[i]) << "tick " << i;
    }
    EXPECT_EQ(notifications, 1 + 3);

    manager.setPaletteAnime(3, 1, collectFrames());
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(manager.getAnimeFrame(), i % 3);
        EXPECT_TRUE(manager.tick());
    }
}

TEST(PaletteManager, BackgroundPaletteShowsOnlyWhileTheAnimationIsOff)
{
    PaletteManager manager(colorFile(192), "p");
    int notifications = 0;
    manager.onChange = [&](PaletteManager&) { ++notifications; };
    std::array<std::uint8_t, 16> bg{};
    bg.fill(0x2A);
    manager.setBGPalette(bg);
    EXPECT_EQ(manager.getPaletteEntry(3), 0x2A);
    manager.setPaletteAnime(2, 5, collectFrames());
    bg.fill(0x30);
    manager.setBGPalette(bg);
    EXPECT_EQ(notifications, 3);
    EXPECT_EQ(manager.getPaletteEntry(3), 0x03) << "the animation frame hides the background palette";
    EXPECT_FALSE(PaletteManager(colorFile(192), "p").tick()) << "no animation, no frame";
}
