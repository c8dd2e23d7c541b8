#include "core/files/NameLists.h"
#include "core/base/Errors.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(NameLists, LinesAreTrimmedAndCommentsAndBlanksSkipped)
{
    const auto names = readNameLines("\xEF\xBB\xBF first \r\n; comment\n\n\t\nsecond\rthird\x01");
    EXPECT_EQ(names, (std::vector<std::string>{"first", "second", "third"}));
}

TEST(NameLists, ChipAttributeNamesArePaddedTo56)
{
    std::string ten;
    for (int i = 0; i < 10; ++i)
        ten += "name" + std::to_string(i) + "\n";
    const auto names = chipAttributeNamesFromText(ten);
    ASSERT_EQ(names.size(), 56u);
    EXPECT_EQ(names[9], "name9");
    EXPECT_EQ(names[10], "????????");
    EXPECT_EQ(names[55], "????????");
    std::string sixty;
    for (int i = 0; i < 60; ++i)
        sixty += "n\n";
    EXPECT_EQ(chipAttributeNamesFromText(sixty).size(), 60u);
}

TEST(NameLists, ObjectNamesAreExactly256WithNumbersForMissingOnes)
{
    std::string many;
    for (int i = 0; i < 300; ++i)
        many += "kind" + std::to_string(i) + "\n";
    const auto cut = objectNamesFromText(many);
    ASSERT_EQ(cut.size(), 256u);
    EXPECT_EQ(cut[255], "kind255");

    std::string few;
    for (int i = 0; i < 250; ++i)
        few += ";c\n\nk\n";
    const auto padded = objectNamesFromText(few);
    ASSERT_EQ(padded.size(), 256u);
    EXPECT_EQ(padded[249], "k");
    EXPECT_EQ(padded[250], "FA");
    EXPECT_EQ(padded[255], "FF");
}

TEST(NameLists, ShippedListsLoad)
{
    const auto chips = loadChipAttributeNames(VX_DATA_DIR "/ChipAttributeList.txt");
    EXPECT_EQ(chips.size(), 56u);
    EXPECT_EQ(std::count(chips.begin(), chips.end(), "????????"), 0);
    const auto objects = loadObjectNames(VX_DATA_DIR "/ObjectList.txt");
    EXPECT_EQ(objects.size(), 256u);
    EXPECT_THROW(loadObjectNames(VX_DATA_DIR "/absent.txt"), UserError);
}
