#include "core/Errors.h"
#include "core/Language.h"
#include "render/PaletteManager.h"
#include "tests/support/LanguageGuard.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vx;

namespace {

std::vector<std::uint8_t> ColorFile(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return bytes;
}

std::array<std::uint8_t, 64> Frames()
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
    EXPECT_NO_THROW(TPaletteManager(ColorFile(192), "fcpalette.pal"));
    for (std::size_t size : {0u, 191u, 193u}) {
        try {
            TPaletteManager manager(ColorFile(size), "fcpalette.pal");
            ADD_FAILURE() << size << " bytes accepted";
        } catch (const VxError& error) {
            EXPECT_STREQ(error.what(), "Invalid File Size: fcpalette.pal");
        }
    }
    ForceLanguage(Language::Japanese);
    try {
        TPaletteManager manager(ColorFile(191), "fcpalette.pal");
        ADD_FAILURE();
    } catch (const VxError& error) {
        EXPECT_STREQ(error.what(), "fcpalette.palのファイルサイズが不正です");
    }
}

TEST(PaletteManager, FileIsLookedUpInTheCurrentFolderByItsBareName)
{
    test::TempDir here, elsewhere;
    test::WriteFile(here.File("fcpalette.pal"), ColorFile(192));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(here.Path());
    EXPECT_NO_THROW(TPaletteManager("fcpalette.pal"));
    std::filesystem::current_path(elsewhere.Path());
    EXPECT_THROW(TPaletteManager("fcpalette.pal"), VxError);
    std::filesystem::current_path(previous);
}

TEST(PaletteManager, RecordsBecomeRgbWithRedInTheLowByte)
{
    std::vector<std::uint8_t> file(192, 0);
    file[0] = 0x11; file[1] = 0x22; file[2] = 0x33;
    file[189] = 0xAA; file[190] = 0xBB; file[191] = 0xCC;
    TPaletteManager manager(file, "p");
    EXPECT_EQ(manager.GetRGB(0), 0x332211u);
    EXPECT_EQ(manager.GetRGB(63), 0xCCBBAAu);
    EXPECT_EQ(manager.GetRGB(64), 0x808080u);
    EXPECT_EQ(manager.GetRGB(-1), 0x808080u);
}

TEST(PaletteManager, AnimationNeedsOneToFourFramesAndAPositiveTimer)
{
    TPaletteManager manager(ColorFile(192), "p");
    const auto frames = Frames();
    struct Case { int count, timer; bool on; };
    for (const Case c : {Case{5, 15, false}, Case{0, 15, false}, Case{2, 0, false}, Case{1, 1, true},
                         Case{4, 255, true}, Case{-1, 3, false}}) {
        manager.SetPaletteAnime(c.count, c.timer, frames);
        EXPECT_EQ(manager.IsAnimated(), c.on) << c.count << "/" << c.timer;
        EXPECT_EQ(manager.GetAnimeFrame(), c.on ? 0 : -1);
        EXPECT_EQ(manager.FrameTimer(), c.timer);
        EXPECT_EQ(manager.FrameCount(), c.on ? c.count : 0);
    }
}

TEST(PaletteManager, EachFrameLastsFrameTimerTicksAndNotifiesOnItsFirst)
{
    TPaletteManager manager(ColorFile(192), "p");
    int notifications = 0;
    manager.OnChange = [&](TPaletteManager&) { ++notifications; };
    manager.SetPaletteAnime(2, 3, Frames());
    EXPECT_EQ(notifications, 1) << "frame 0 is shown at once";

    const bool expectedTicks[] = {true, false, false, true, false, false, true};
    const int expectedFrame[] = {0, 0, 0, 1, 1, 1, 0};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(manager.GetPaletteEntry(5), 0x10 * expectedFrame[i] + 5) << "tick " << i;
        EXPECT_EQ(manager.Tick(), expectedTicks[i]) << "tick " << i;
    }
    EXPECT_EQ(notifications, 1 + 3);

    manager.SetPaletteAnime(3, 1, Frames());
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(manager.GetAnimeFrame(), i % 3);
        EXPECT_TRUE(manager.Tick());
    }
}

TEST(PaletteManager, BackgroundPaletteShowsOnlyWhileTheAnimationIsOff)
{
    TPaletteManager manager(ColorFile(192), "p");
    int notifications = 0;
    manager.OnChange = [&](TPaletteManager&) { ++notifications; };
    std::array<std::uint8_t, 16> bg{};
    bg.fill(0x2A);
    manager.SetBGPalette(bg);
    EXPECT_EQ(manager.GetPaletteEntry(3), 0x2A);
    manager.SetPaletteAnime(2, 5, Frames());
    bg.fill(0x30);
    manager.SetBGPalette(bg);
    EXPECT_EQ(notifications, 3);
    EXPECT_EQ(manager.GetPaletteEntry(3), 0x03) << "the animation frame hides the background palette";
    EXPECT_FALSE(TPaletteManager(ColorFile(192), "p").Tick()) << "no animation, no frame";
}
