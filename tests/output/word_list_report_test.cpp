#include "output/word_list_report.h"
#include "word_tables.h"

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using testing::tableOf;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos;
         start = end + 2, end = text.find("\r\n", start))
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

TEST(WordList, LinesHoldRankValueFrequencyDensityAndWordInTheirColumns)
{
    const WordTable table = tableOf(
        {{"keyword", 100, 12}, {"b", 60}, {"c", 50}, {"d", 40}, {"e", 30}, {"f", 20}, {"g", 10}},
        320);
    const auto lines = linesOf(showWordList(table, {}));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "Rank Value Freq. Density");
    EXPECT_EQ(lines[1], "   1   100   12  3.75%  keyword");
    EXPECT_EQ(lines[7], "   7    10    1  0.31%  g");
}

TEST(WordList, ValuesRoundHalvesToEvenAndZeroValuesAreNotedAfterTheLastWord)
{
    const WordTable table =
        tableOf({{"three", 3.5f}, {"two", 2.5f}, {"half", 0.5f}, {"small", 0.4f}}, 4);
    EXPECT_EQ(showWordList(table, {}), "Rank Value Freq. Density\r\n"
                                       "   1     4    1  25.00%  three\r\n"
                                       "   2     2    1  25.00%  two\r\n"
                                       "\r\nWords with key value 0 not shown.\r\n");
}

TEST(WordList, AllValuesZeroGiveTheHeadingAndTheNote)
{
    EXPECT_EQ(showWordList(tableOf({{"nothing", 0}}, 1), {}),
              "Rank Value Freq. Density\r\n\r\nWords with key value 0 not shown.\r\n");
}

TEST(WordList, WideDensityIsWrittenWhole)
{
    const auto lines = linesOf(showWordList(tableOf({{"often", 100, 1250}}, 10000), {}));
    EXPECT_EQ(lines[1], "   1   100 1250  12.50%  often");
}

TEST(WordList, RankColumnWidensFromTenThousandEntries)
{
    // Ten thousand words of four consonants: no two are singular and plural of each other.
    const std::string letters = "bcdfghjklm";
    std::vector<testing::CountedWord> words;
    for (int i = 0; i < 10000; ++i)
        words.push_back(
            {{letters[i / 1000], letters[i / 100 % 10], letters[i / 10 % 10], letters[i % 10]},
             100});
    const auto lines = linesOf(showWordList(tableOf(words, 10000), {}));
    ASSERT_EQ(lines.size(), 10001u);
    EXPECT_EQ(lines[1], "    1   100    1  0.01%  bbbb");
    EXPECT_EQ(lines[10000], "10000   100    1  0.01%  mmmm");
}

TEST(WordList, LongListsAreShownInBatchesOfATenthAtLeastTen)
{
    const auto batchesOf = [](int words) {
        std::vector<testing::CountedWord> counted;
        const std::string letters = "bcdfghjklm";
        for (int i = 0; i < words; ++i)
            counted.push_back({{letters[i / 100], letters[i / 10 % 10], letters[i % 10]}, 100});
        std::vector<std::size_t> lines;
        const std::string text =
            showWordList(tableOf(counted), {}, [&](std::string_view textSoFar) {
                lines.push_back(linesOf(std::string(textSoFar)).size() - 1);
            });
        EXPECT_EQ(linesOf(text).size() - 1, static_cast<std::size_t>(words));
        return lines;
    };
    EXPECT_EQ(batchesOf(25), (std::vector<std::size_t>{10, 20}));
    const std::vector<std::size_t> long250 = batchesOf(250);
    ASSERT_EQ(long250.size(), 10u);
    EXPECT_EQ(long250.front(), 25u);
    EXPECT_EQ(long250.back(), 250u);
    EXPECT_EQ(batchesOf(9), (std::vector<std::size_t>{}));
}

TEST(WordList, EmptyTableGivesTheNoWordsMessage)
{
    AnalysisSettings settings;
    EXPECT_EQ(showWordList(WordTable(), settings),
              "No words with more than 2 letters occur at least twice.");
    settings.ignoreShortWords = false;
    settings.minimumFrequency = 1;
    EXPECT_EQ(showNoWordsMessage(settings), "No words occur at least once.");
    settings.ignoreShortWords = true;
    settings.shortWordSize = 1;
    settings.minimumFrequency = 5;
    EXPECT_EQ(showNoWordsMessage(settings),
              "No words with more than 1 letter occur at least 5 times.");
}

} // namespace
} // namespace tagwright
