#include "output/meta_tag.h"
#include "word_tables.h"

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using testing::tableOf;

const WordTable kGarden = tableOf({{"garden", 9},
                                   {"compost", 8},
                                   {"tomatoes", 7},
                                   {"basil", 6},
                                   {"lettuce", 5},
                                   {"beans", 4},
                                   {"thyme", 3}});

std::string content(const std::string& tag)
{
    const std::size_t open = tag.find("content=\"") + 9;
    return tag.substr(open, tag.find('"', open) - open);
}

AnalysisSettings multipleFiles()
{
    AnalysisSettings settings;
    settings.singleFile = false;
    return settings;
}

TEST(MetaTag, SingleFileModeAddsTheTwoCountLinesWithoutTheClosingInTheBytes)
{
    EXPECT_EQ(generateKeywordMetaTag(tableOf({{"garden", 2}, {"compost", 1}}), {}, {}),
              "<meta name=\"keywords\" content=\"garden, compost\">\r\n\r\n"
              "Number of keywords in meta tag: 2\r\n"
              "Number of bytes in meta tag: 46");
}

TEST(MetaTag, MultipleFilesModeGivesTheTagAloneAndSlashClosingOnRequest)
{
    TagSettings tag;
    tag.forwardSlash = true;
    tag.spaceAfterComma = false;
    EXPECT_EQ(generateKeywordMetaTag(kGarden, tag, multipleFiles()),
              "<meta name=\"keywords\" content=\"garden,compost,tomatoes,basil,lettuce,beans,"
              "thyme\" />");
}

TEST(MetaTag, BeginPhraseOpensTheContentAndCountsTowardsTheKeywordLimit)
{
    TagSettings tag;
    tag.maxKeywords = 5;
    tag.beginWith = "  a, b, c  ";
    EXPECT_EQ(content(generateKeywordMetaTag(kGarden, tag, multipleFiles())),
              "a,b,c, garden, compost");
    tag.spaceAfterComma = false;
    EXPECT_EQ(content(generateKeywordMetaTag(kGarden, tag, multipleFiles())),
              "a,b,c,garden,compost");
}

TEST(MetaTag, BeginPhraseLosesOneTrailingCommaAndFollowsTheCaseSetting)
{
    TagSettings tag;
    tag.maxKeywords = 5;
    tag.beginWith = "Alpha, Beta,";
    EXPECT_EQ(content(generateKeywordMetaTag(kGarden, tag, multipleFiles())),
              "alpha,beta, garden, compost, tomatoes");
    AnalysisSettings keepCase = multipleFiles();
    keepCase.preserveCase = true;
    EXPECT_EQ(content(generateKeywordMetaTag(kGarden, tag, keepCase)),
              "Alpha,Beta, garden, compost, tomatoes");
}

TEST(MetaTag, BeginPhraseOfOnlyACommaAddsNoKeyword)
{
    TagSettings tag;
    tag.beginWith = ",";
    tag.maxKeywords = 5;
    const std::string box = generateKeywordMetaTag(kGarden, tag, {});
    EXPECT_EQ(content(box), "garden, compost, tomatoes, basil, lettuce");
    EXPECT_NE(box.find("Number of keywords in meta tag: 5\r\n"), std::string::npos);
}

TEST(MetaTag, ByteLimitCountsOneSeparatorCharacterAndStopsAtTheFirstWordThatDoesNotFit)
{
    TagSettings tag;
    tag.maxBytes = 40;
    // 31 + 8 + 1 = 40 fits; the 9-letter word does not, and the shorter words after it are
    // not tried.
    EXPECT_EQ(content(generateKeywordMetaTag(tableOf({{"abcdefgh", 2}}), tag, {})), "abcdefgh");
    EXPECT_EQ(content(generateKeywordMetaTag(tableOf({{"abcdefghi", 2}, {"plum", 1}}), tag, {})),
              "");
    tag.maxBytes = 0;
    EXPECT_EQ(content(generateKeywordMetaTag(tableOf({{"abcdefghi", 2}, {"plum", 1}}), tag, {})),
              "abcdefghi, plum");
}

TEST(MetaTag, LimitsOfZeroOrLessMeanNoLimit)
{
    std::vector<testing::CountedWord> words;
    const std::string letters = "bcdfghjklmnp";
    for (int i = 0; i < 120; ++i)
        words.push_back({{'a', letters[i / 10], 'o', letters[i % 10]}, 200.0f - i});
    TagSettings tag;
    tag.maxKeywords = 0;
    tag.maxBytes = -1;
    const std::string box = generateKeywordMetaTag(tableOf(words), tag, {});
    EXPECT_NE(box.find("Number of keywords in meta tag: 120\r\n"), std::string::npos) << box;
    EXPECT_NE(box.find("Number of bytes in meta tag: 749"), std::string::npos) << box;
}

TEST(MetaTag, WordsInsideTheTagTextAreSkippedAndDoNotCount)
{
    TagSettings tag;
    tag.maxKeywords = 5;
    const WordTable table = tableOf({{"carpet", 9},
                                     {"car", 8},
                                     {"meta", 7},
                                     {"tent", 6},
                                     {"key", 5},
                                     {"Garden", 4},
                                     {"road", 3},
                                     {"wheel", 2},
                                     {"engine", 1.5f},
                                     {"brake", 1}});
    const std::string box = generateKeywordMetaTag(table, tag, {});
    EXPECT_EQ(content(box), "carpet, Garden, road, wheel, engine");
    EXPECT_NE(box.find("Number of keywords in meta tag: 5\r\n"), std::string::npos);
}

TEST(MetaTag, WordsLeftOutArePassedOverInAnyCaseBeforeTheLimitsAndTheRestFillsThem)
{
    TagSettings tag;
    tag.maxKeywords = 3;
    tag.maxBytes = 60;
    tag.leftOut = {"navigationsidebar", "garden"};
    const WordTable table = tableOf({{"Garden", 9},
                                     {"compost", 8},
                                     {"tomatoes", 7},
                                     {"NavigationSidebar", 6},
                                     {"basil", 5},
                                     {"lettuce", 4}});
    // A word left out neither counts towards the keywords nor ends the tag at the byte limit,
    // which it alone would pass.
    EXPECT_EQ(content(generateKeywordMetaTag(table, tag, multipleFiles())),
              "compost, tomatoes, basil");
    tag.beginWith = "garden";
    EXPECT_EQ(content(generateKeywordMetaTag(table, tag, multipleFiles())),
              "garden, compost, tomatoes");
    EXPECT_EQ(tagWords(table, tag, multipleFiles()),
              (std::vector<std::string>{"compost", "tomatoes"}));
}

TEST(MetaTag, EmptyTableGivesTheNoWordsMessage)
{
    EXPECT_EQ(generateKeywordMetaTag(WordTable(), {}, {}),
              "No words with more than 2 letters occur at least twice.");
}

TEST(MetaTag, GetMetaTagTakesTheTagOutOfTheBoxText)
{
    const std::string tag = "<meta name=\"keywords\" content=\"garden, compost\">";
    EXPECT_EQ(getMetaTag("  " + tag +
                         "\r\n\r\nNumber of keywords in meta tag: 2\r\n"
                         "Number of bytes in meta tag: 46"),
              tag);
    EXPECT_EQ(getMetaTag("\t\r\n" + tag + " \r\n"), tag);
    EXPECT_EQ(getMetaTag(" \r\n "), "");
}

} // namespace
} // namespace tagwright
