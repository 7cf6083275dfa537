#include "analysis_fixture.h"
#include "engine/word_rules.h"

namespace tagwright::test {
namespace {

using WordRulesTest = AnalysisTest;
using Words = std::vector<std::string>;

TEST_F(WordRulesTest, FiltersDropNonKeywords)
{
    ASSERT_EQ(analyse("quickly walked alfred limited monopoly\r\n"
                      "mix civil mill XIV html www rhythm aaa zzzz ab\r\n")
                  .result,
              0);
    EXPECT_EQ(words(), (Words{"alfred", "limited", "monopoly", "rhythm"}));

    AnalysisSettings settings = keepingSettings();
    settings.wordsToIgnore = wordsToIgnoreList("keyword  other");
    ASSERT_EQ(analyse("keyword word other her brother kept\r\n", settings).result, 0);
    EXPECT_EQ(words(), (Words{"brother", "kept"})); // an entry also drops its tails: word, her

    commonWords.list(LanguageIndex::German).add("und");
    settings = keepingSettings();
    settings.ignoreCommonWords = true;
    settings.language = LanguageIndex::German;
    ASSERT_EQ(analyse("Hund und Katze\r\n", settings).result, 0);
    EXPECT_EQ(words(), (Words{"hund", "katze"}));
}

TEST_F(WordRulesTest, ShortAndLongWordsAtTheirLimits)
{
    AnalysisSettings settings = keepingSettings();
    settings.shortWordSize = 4;
    const std::string hundred = "b" + std::string(99, 'a');
    ASSERT_EQ(analyse("tree trees house " + hundred + " " + hundred + "a\r\n", settings).result, 0);
    EXPECT_EQ(words(), (Words{"trees", "house", hundred}));

    settings.ignoreShortWords = false;
    ASSERT_EQ(analyse("ox ab\r\n", settings).result, 0);
    EXPECT_EQ(words(), (Words{"ox", "ab"}));
}

TEST_F(WordRulesTest, PluralsMergeTextually)
{
    ASSERT_EQ(analyse("apple apples ideas idea\r\n").result, 0);
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.at(1), (WordEntry{"apple", 2, 100, false}));
    EXPECT_EQ(table.at(2).text, "idea");
}

TEST_F(WordRulesTest, ContractionsAndTheirFragments)
{
    ASSERT_EQ(analyse("don't like it's fine isn't. wasn't here\r\n").result, 0);
    EXPECT_EQ(words(), (Words{"like", "fine", "here"}));
    // don't and wasn't leave no word; it, s, like, fine, isn, t, here are taken.
    EXPECT_EQ(table.totalWordCount(), 7);
}

TEST_F(WordRulesTest, FrenchKeepsHyphensAndApostrophesInsideWords)
{
    AnalysisSettings settings = keepingSettings();
    settings.language = LanguageIndex::French;
    ASSERT_EQ(analyse("aujourd'hui peut-\xEAtre\r\n", settings).result, 0);
    EXPECT_EQ(words(), (Words{"aujourd'hui", "peut-\xEAtre"}));

    ASSERT_EQ(analyse("aujourd'hui peut-\xEAtre\r\n").result, 0);
    EXPECT_EQ(words(), (Words{"aujourd", "hui", "peut", "\xEAtre"}));
}

TEST_F(WordRulesTest, CaseVariantsMergeWhenCaseIsKept)
{
    AnalysisSettings settings = keepingSettings();
    settings.preserveCase = true;
    ASSERT_EQ(analyse("Apple apple APPLE\r\n", settings).result, 0);
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.at(1), (WordEntry{"apple", 2, 100, false}));
    EXPECT_EQ(table.at(2).text, "APPLE");
}

TEST(WordChar, LettersIncludeTheWindows1252LettersButNotDigitsUnlessAllowed)
{
    for (const char c : std::string("Az\xC0\xFF\x8A\x9A\x8C\x9C\x8E\x9E\x9F"))
        EXPECT_TRUE(isWordChar(c, false, "")) << int(static_cast<unsigned char>(c));
    for (const char c : std::string("\xD7\xF7\x80\x85-'1 "))
        EXPECT_FALSE(isWordChar(c, false, "")) << int(static_cast<unsigned char>(c));
    EXPECT_TRUE(isWordChar('7', true, ""));
    EXPECT_TRUE(isWordChar('-', false, "-'"));
}

} // namespace
} // namespace tagwright::test
