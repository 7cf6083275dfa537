#include "engine/overflow.h"
#include "engine/word_index.h"
#include "engine/word_table.h"
#include "literal_word_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tagwright {
namespace {

struct Occurrence
{
    std::string word;
    float value;
    bool exempt;
};

std::vector<std::string> texts(const WordTable& table)
{
    std::vector<std::string> result;
    for (const WordEntry& entry : table.entries())
        result.push_back(entry.text);
    return result;
}

void count(WordTable& table, std::string word, float value = 3, bool exempt = false)
{
    table.countOccurrence(word, value, exempt);
}

TEST(WordTable, SingularAndPluralShareOneEntryWhicheverComesFirst)
{
    WordTable table;
    count(table, "apple");
    count(table, "apples");
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.at(1), (WordEntry{"apple", 2, 6, false}));

    table.clear();
    count(table, "apples");
    count(table, "apple");
    EXPECT_EQ(table.at(1), (WordEntry{"apple", 2, 6, false}));
}

TEST(WordTable, EqualValuesKeepTheOrderInWhichTheyWereReached)
{
    WordTable table;
    count(table, "alpha", 3);
    count(table, "beta", 6);
    count(table, "gamma", 3);
    count(table, "alpha", 3); // reaches 6 after beta: stays below it
    EXPECT_EQ(texts(table), (std::vector<std::string>{"beta", "alpha", "gamma"}));
    count(table, "gamma", 4); // overtakes both
    EXPECT_EQ(texts(table), (std::vector<std::string>{"gamma", "beta", "alpha"}));
    count(table, "delta", 0);
    count(table, "epsilon", 0);
    count(table, "delta", 0); // a zero value does not move it behind epsilon
    EXPECT_EQ(texts(table),
              (std::vector<std::string>{"gamma", "beta", "alpha", "delta", "epsilon"}));
}

TEST(WordTable, MinimumFrequencyKeepsExemptWordsAndScalingMakesTheFirst100)
{
    WordTable table;
    count(table, "title", 90, true);
    count(table, "body", 3);
    count(table, "twice", 3);
    count(table, "twice", 3);
    table.applyMinimumFrequency(2);
    EXPECT_EQ(texts(table), (std::vector<std::string>{"title", "twice"}));
    table.normaliseKeyValues();
    EXPECT_EQ(table.at(1).keyValue, 100);
    EXPECT_FLOAT_EQ(table.at(2).keyValue, static_cast<float>(6.0 * 100 / 90));

    WordTable zeros;
    count(zeros, "nothing", 0);
    zeros.normaliseKeyValues();
    EXPECT_EQ(zeros.at(1).keyValue, 0);
}

TEST(WordTable, CaseVariantsMergeOnlyWhenTheyDifferInTheFirstLetter)
{
    WordTable table;
    count(table, "Apple");
    count(table, "apple");
    count(table, "APPLE");
    count(table, "apple");
    table.mergeCaseVariants();
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.at(1), (WordEntry{"apple", 3, 9, false}));
    EXPECT_EQ(table.at(2).text, "APPLE");
}

TEST(WordTable, TheCountAndFrequenciesAreSixteenBit)
{
    WordTable table;
    // Appended: GCC 12 sees a false overlap in "w" + std::to_string(i) in release builds.
    for (int i = 0; i < 32767; ++i)
        count(table, std::string("w").append(std::to_string(i)));
    EXPECT_THROW(count(table, "another"), Overflow);
    EXPECT_EQ(table.count(), 32767);

    WordTable frequent;
    for (int i = 0; i < 32767; ++i)
        count(frequent, "again");
    EXPECT_THROW(count(frequent, "again"), Overflow);
    EXPECT_EQ(frequent.at(1).frequency, 32767);
}

// Documents made to stress the rules where hashing could part from the plain algorithm: long
// plural chains (bos, boss, bosss), words that are one "s" apart in both directions, case
// variants of the first letter, many equal values, zero values, exempt first occurrences.
std::vector<Occurrence> generatedDocument(std::mt19937& random)
{
    static const std::vector<std::string> stems = {"bo",  "ca",  "Ca",  "idea", "Idea",
                                                   "mas", "Mas", "gla", "a",    "s"};
    static const std::vector<float> values = {0, 3, 3, 3, 4, 5, 7, 33, 37, 90};
    std::uniform_int_distribution<int> length(1, 400);
    std::uniform_int_distribution<std::size_t> stem(0, stems.size() - 1);
    std::uniform_int_distribution<int> esses(0, 3);
    std::uniform_int_distribution<std::size_t> value(0, values.size() - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> tail(0, 40);

    std::vector<Occurrence> document(static_cast<std::size_t>(length(random)));
    for (Occurrence& occurrence : document) {
        occurrence.word = stems[stem(random)];
        if (percent(random) < 60)
            occurrence.word +=
                static_cast<char>('a' + tail(random) % 26) + std::to_string(tail(random) % 7);
        occurrence.word.append(static_cast<std::size_t>(esses(random)), 's');
        if (percent(random) < 10)
            occurrence.word[0] = static_cast<char>(occurrence.word[0] & ~0x20);
        occurrence.value = values[value(random)];
        occurrence.exempt = percent(random) < 15;
    }
    return document;
}

TEST(WordTable, MatchesThePlainAlgorithmOnGeneratedDocuments)
{
    std::mt19937 random(20261207);
    for (int run = 0; run < 3000; ++run) {
        const std::vector<Occurrence> document = generatedDocument(random);
        WordTable fast;
        testing::LiteralWordTable plain;
        for (const Occurrence& occurrence : document) {
            std::string fastWord = occurrence.word;
            std::string plainWord = occurrence.word;
            const bool fastAdded =
                fast.countOccurrence(fastWord, occurrence.value, occurrence.exempt);
            const bool plainAdded =
                plain.countOccurrence(plainWord, occurrence.value, occurrence.exempt);
            ASSERT_EQ(fastWord, plainWord) << "run " << run;
            ASSERT_EQ(fastAdded, plainAdded) << "run " << run;
        }
        ASSERT_EQ(fast.entries(), plain.entries()) << "run " << run << " after counting";
        const int minimum = 1 + run % 3;
        fast.applyMinimumFrequency(minimum);
        plain.applyMinimumFrequency(minimum);
        ASSERT_EQ(fast.entries(), plain.entries()) << "run " << run << " after the minimum";
        fast.mergeCaseVariants();
        plain.mergeCaseVariants();
        ASSERT_EQ(fast.entries(), plain.entries()) << "run " << run << " after merging";
        fast.normaliseKeyValues();
        plain.normaliseKeyValues();
        ASSERT_EQ(fast.entries(), plain.entries()) << "run " << run << " after scaling";
    }
}

// Texts of every length up to past the longest compared without the library, differing in one
// byte at each position: the overlapping loads must see every byte.
TEST(WordIndex, TextsThatDifferInAnyOneByteAreNotTheSame)
{
    for (std::size_t length = 0; length <= 20; ++length) {
        const std::string text(length, 'a');
        EXPECT_TRUE(WordIndex::sameText(text, std::string(length, 'a'))) << length;
        EXPECT_FALSE(WordIndex::sameText(text, text + 'a')) << length;
        for (std::size_t at = 0; at < length; ++at) {
            std::string other = text;
            other[at] = 'b';
            EXPECT_FALSE(WordIndex::sameText(text, other)) << length << " at " << at;
        }
    }
}

} // namespace
} // namespace tagwright
