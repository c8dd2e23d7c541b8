#include "core/EditedFlagData.h"
#include "core/Errors.h"
#include "core/Language.h"
#include "core/UndoData.h"
#include "tests/support/LanguageGuard.h"

#include <gtest/gtest.h>
#include <string>

using namespace vx;

TEST(UndoData, EachConstructorRefusesKindsOfTheOtherForm)
{
    const std::uint8_t block[64] = {};
    for (std::uint8_t kind = 0; kind <= 12; ++kind) {
        const bool blockKind = kind == 6 || kind == 8 || kind == 9;
        if (blockKind) {
            EXPECT_THROW(TUndoData(kind, 1, 0), VxError) << int(kind);
            EXPECT_NO_THROW(TUndoData(kind, block, 0)) << int(kind);
        } else {
            EXPECT_NO_THROW(TUndoData(kind, 1, 0)) << int(kind);
            EXPECT_THROW(TUndoData(kind, block, 0), VxError) << int(kind);
        }
    }
    test::LanguageGuard english(Language::English);
    std::string message = "(nothing thrown)";
    try {
        TUndoData(ukMapGrid, 1, 0);
    } catch (const VxError& error) {
        message = error.what();
    }
    EXPECT_EQ(message, "不正なパラメータです") << "the same text in both languages";
}

TEST(UndoData, KindNamesInBothLanguages)
{
    ForceLanguage(Language::English);
    EXPECT_EQ(UndoKindText(ukPaletteAnimeFrameCount), "Edit PalAnime");
    EXPECT_EQ(UndoKindText(ukMapGrid), "Edit Map(Grid)");
    EXPECT_EQ(UndoKindText(ukChip32x32Attr), "Edit 32x32Tile(Attr)");
    EXPECT_EQ(UndoKindText(11), "Unknown");
    ForceLanguage(Language::Japanese);
    EXPECT_EQ(UndoKindText(ukPaletteAnimeFrameCount), "パレットアニメの編集");
    EXPECT_EQ(UndoKindText(ukScroll), "スクロールの編集");
    EXPECT_EQ(UndoKindText(-1), "不明な編集");
    ForceLanguage(std::nullopt);
}

TEST(UndoData, StackIsLastInFirstOut)
{
    TUndoStack stack;
    EXPECT_EQ(stack.Pop(), nullptr);
    stack.Push(std::make_unique<TUndoData>(ukMap, 1, 10));
    stack.Push(std::make_unique<TUndoData>(ukScroll, 2, 20));
    const TUndoData* top = stack.Peek();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->Kind(), ukScroll);
    const auto popped = stack.Pop();
    ASSERT_NE(popped, nullptr);
    EXPECT_EQ(popped->Position(), 20);
    EXPECT_EQ(stack.Count(), 1);
    stack.Clear();
    EXPECT_EQ(stack.Peek(), nullptr);
}

TEST(EditedFlagData, AnyOfTenFlagsAndClear)
{
    TEditedFlagData flags;
    EXPECT_FALSE(flags.Any());
    flags.Set(9, true);
    EXPECT_TRUE(flags.Any());
    flags.Set(10, true);
    EXPECT_FALSE(flags.Get(10));
    flags.Clear();
    EXPECT_FALSE(flags.Any());
}
