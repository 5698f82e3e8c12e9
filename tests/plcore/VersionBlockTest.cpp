#include "plcore/VersionBlock.h"
#include "tests/fixtures/PeBuilder.h"

#include <gtest/gtest.h>

using namespace plcore;
using pltest::TextValue;

namespace
{

TEST(VersionBlock, LanguageZeroCodePage1252FindsTheLowerCaseTable)
{
    const auto block = pltest::BuildVersionBlock(
        0x000004E4, u"000004e4", {TextValue(u"PL_Culture", u"de-DE"), TextValue(u"X", u"y")});
    CVersionBlock v;
    ASSERT_TRUE(v.Parse(block));
    EXPECT_EQ(v.Translation(), 0x000004E4u);
    EXPECT_EQ(CVersionBlock::TableName(v.Translation()), u"000004E4");
    const auto culture = v.FindString(v.Translation(), u"PL_Culture");
    ASSERT_TRUE(culture);
    EXPECT_EQ(culture->text, u"de-DE");
    EXPECT_EQ(v.FindString(v.Translation(), u"X")->text, u"y");
    EXPECT_FALSE(v.FindString(v.Translation(), u"PL_StubVersion"));
}

TEST(VersionBlock, OnlyTheFirstTranslationsTableIsConsulted)
{
    const auto block =
        pltest::BuildVersionBlock(0x040704B0, u"040904B0", {TextValue(u"PL_Culture", u"en-US")});
    CVersionBlock v;
    ASSERT_TRUE(v.Parse(block));
    EXPECT_EQ(v.Translation(), 0x040704B0u);
    EXPECT_FALSE(v.FindString(v.Translation(), u"PL_Culture"));
}

TEST(VersionBlock, NoTranslationEntryGivesZero)
{
    const auto block =
        pltest::BuildVersionBlock(0, u"040904B0", {TextValue(u"PL_Culture", u"en-US")}, false);
    CVersionBlock v;
    ASSERT_TRUE(v.Parse(block));
    EXPECT_EQ(v.Translation(), 0u);
}

TEST(VersionBlock, PaddedValueReportsItsRoom)
{
    const auto block = pltest::BuildVersionBlock(0x040904B0, u"040904B0",
                                                 {TextValue(u"PL_Culture", u"en-US", 16)});
    CVersionBlock v;
    ASSERT_TRUE(v.Parse(block));
    const auto culture = v.FindString(0x040904B0, u"pl_culture");
    ASSERT_TRUE(culture);
    EXPECT_EQ(culture->text, u"en-US");
    EXPECT_EQ(culture->capacity, 16u);
}

TEST(VersionBlock, DamagedBlocksFindNothing)
{
    auto block =
        pltest::BuildVersionBlock(0x040904B0, u"040904B0", {TextValue(u"PL_Culture", u"en-US")});
    CVersionBlock v;
    EXPECT_FALSE(v.Parse({}));
    EXPECT_FALSE(v.Parse(std::span(block).first(5)));
    // A truncated block: the root claims more than there is.
    EXPECT_FALSE(v.Parse(std::span(block).first(block.size() - 4)));
    // A child whose length runs past its parent.
    auto broken = block;
    broken[0x5C] = 0xFF;
    broken[0x5D] = 0x7F;
    ASSERT_TRUE(v.Parse(broken));
    EXPECT_FALSE(v.FindString(0x040904B0, u"PL_Culture"));
}

} // namespace
