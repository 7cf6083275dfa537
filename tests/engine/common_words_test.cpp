#include "engine/analysis_settings.h"
#include "engine/common_words.h"

#include <gtest/gtest.h>

namespace tagwright {
namespace {

TEST(CommonWords, ListsAreSortedLowerCaseAndDistinct)
{
    CommonWordList list;
    EXPECT_EQ(list.add("The"), CommonWordList::AddResult::Added);
    EXPECT_EQ(list.add("and"), CommonWordList::AddResult::Added);
    EXPECT_EQ(list.add("\xC9t\xC9"), CommonWordList::AddResult::Added); // ÉTÉ
    EXPECT_EQ(list.add("the"), CommonWordList::AddResult::AlreadyPresent);
    EXPECT_EQ(list.words(), (std::vector<std::string>{"and", "the", "\xE9t\xE9"}));
    EXPECT_TRUE(list.contains("THE"));
    EXPECT_FALSE(list.contains("th\xE9")); // thé is not the
}

TEST(CommonWords, AListHoldsAtMost2000Words)
{
    CommonWordList list;
    // Appended: GCC 12 sees a false overlap in "w" + std::to_string(i) in release builds.
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(list.add(std::string("w").append(std::to_string(i))),
                  CommonWordList::AddResult::Added);
    EXPECT_EQ(list.add("w1"), CommonWordList::AddResult::AlreadyPresent);
    EXPECT_EQ(list.add("extra"), CommonWordList::AddResult::Full);
    EXPECT_EQ(list.count(), 2000);
}

TEST(CommonWords, EachLanguageHasItsOwnListAndAnEmptyOneKnowsNothing)
{
    CommonWords words;
    words.list(LanguageIndex::English).add("the");
    EXPECT_TRUE(words.isCommonWord("The", LanguageIndex::English));
    EXPECT_FALSE(words.isCommonWord("the", LanguageIndex::French));
    EXPECT_FALSE(words.list(LanguageIndex::AllLanguages).available());
}

TEST(AnalysisSettings, WordsToIgnoreAreNormalisedIntoACommaList)
{
    EXPECT_EQ(normaliseWordsToIgnore("  Foo   BAR,, baz, "), "foo,bar,baz");
    EXPECT_EQ(wordsToIgnoreList(" foo bar "), "foo,bar,");
    EXPECT_EQ(normaliseWordsToIgnore("   "), "");
}

} // namespace
} // namespace tagwright
