#include "rules/CommandWords.h"

#include <gtest/gtest.h>

using namespace vx;

using Words = std::vector<std::string>;

TEST(CommandWords, SplitAsAShellDoesWithoutRunningOne)
{
    EXPECT_EQ(splitCommandWords("  emu  -f\t%f "), (Words{"emu", "-f", "%f"}));
    EXPECT_EQ(splitCommandWords("'/opt/my emu' \"two words\" a\\ b"), (Words{"/opt/my emu", "two words", "a b"}));
    // Single quotes keep everything; double quotes let \ escape only " \ $ `.
    EXPECT_EQ(splitCommandWords(R"('a\"b' "c\"d\e" x'y'"z")"), (Words{R"(a\"b)", R"(c"d\e)", "xyz"}));
    EXPECT_EQ(splitCommandWords("'' \"\""), (Words{"", ""})) << "empty quoted words are words";
    EXPECT_EQ(splitCommandWords(""), Words{});
    for (const char* open : {"emu 'x", "emu \"x", "emu x\\", "\"a\\\""})
        EXPECT_EQ(splitCommandWords(open), std::nullopt) << open;
}

TEST(CommandWords, AQuotedWordReadsBackAsItself)
{
    for (const std::string word : {"plain", "two words", "it's", "say \"hi\"", "a\\b", "$HOME", "", "tab\there"}) {
        const auto back = splitCommandWords(quoteCommandWord(word) + " %f");
        ASSERT_TRUE(back) << word;
        EXPECT_EQ(*back, (Words{word, "%f"})) << word;
    }
    EXPECT_EQ(quoteCommandWord("/usr/bin/emu"), "/usr/bin/emu");
}
