#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/model/EditHistory.h"
#include "core/model/StageCheck.h"
#include "render/PatternData.h"
#include "rules/MapRules.h"
#include "rules/ObjectRules.h"
#include "rules/ScrollRules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace vx {
namespace {

// Kana, CJK punctuation and ideographs (U+3000-9FFF), full-width forms (U+FF00-FFEF) in UTF-8.
bool hasJapanese(const std::string& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]), next = static_cast<unsigned char>(text[i + 1]);
        if ((lead >= 0xE3 && lead <= 0xE9) || (lead == 0xEF && next >= 0xBC && next <= 0xBF))
            return true;
    }
    return false;
}

// One text from each corner of the core: pop-up menu, hover hint, scroll list, undo caption,
// check report, file error, pattern warning.
std::vector<std::string> sampleTexts()
{
    return {objectMenuState(nullptr, -1).create.caption,
            roomCellHint(0x1A, 26, 0x35),
            scrollDescription(0x25),
            undoKindText(ukMapGrid),
            findingLine(Finding{Severity::Warning, 3, FindingPlace::EnemyList, -1, "x"}),
            fileErrorText(FileAction::Read, "a.nes", "x"),
            patternOverflowText(0x1234)};
}

// The user's locale is Japanese, so only the choice can make the texts English.
class InterfaceLanguage : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* value = std::getenv("LC_ALL"))
            savedLocale_ = value;
        ::setenv("LC_ALL", "ja_JP.UTF-8", 1);
    }
    void TearDown() override
    {
        chooseInterfaceLanguage(std::nullopt);
        if (savedLocale_)
            ::setenv("LC_ALL", savedLocale_->c_str(), 1);
        else
            ::unsetenv("LC_ALL");
    }

private:
    std::optional<std::string> savedLocale_;
};

TEST_F(InterfaceLanguage, EnglishChoiceLeavesNoJapanese)
{
    chooseInterfaceLanguage(Language::English);
    for (const std::string& text : sampleTexts())
        EXPECT_FALSE(hasJapanese(text)) << text;
    EXPECT_EQ(objectMenuState(nullptr, -1).create.caption, "Create New Object");
    EXPECT_EQ(roomCellHint(0x1A, 26, 0x35), "Room 1A, column 3, row 2: chip 35");
}

TEST_F(InterfaceLanguage, WithoutChoiceTextsStayJapanese)
{
    for (const std::string& text : sampleTexts())
        EXPECT_TRUE(hasJapanese(text)) << text;
    EXPECT_EQ(roomCellHint(0x1A, 26, 0x35), "部屋 1A 列 3 行 2 : チップ 35");
    // A caption is Japanese whatever the locale until English is chosen.
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(objectMenuState(nullptr, -1).create.caption, "オブジェクトの新規作成");
}

} // namespace
} // namespace vx
