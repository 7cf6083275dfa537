#include "analysis_fixture.h"
#include "literal_word_table.h"
#include "support/strings.h"

#include <random>

namespace tagwright::test {
namespace {

// Documents written word by word, each word in a context of known value, analysed by the real
// run and counted by the plain table from the same words and values: the word lists must agree.
struct Context
{
    std::string open;
    std::string close;
    float value;
    bool exempt;
};

const std::vector<Context> kContexts = {
    {"", "", 3, false},
    {"<b>", "</b>", 7, false},
    {"<i>", "</i>", 7, false},
    {"<h1>", "</h1>", 33, true},
    {"<h3>", "</h3>", 23, true},
    {"<title>", "</title>", 90, true},
    {"<font size=5>", "</font>", 5, false},
    {"<table><tr><td>", "</td></tr></table>", 4, false},
};

// Words that pass every filter (ignoring short words off): stems with vowels, letters that
// make no Roman numeral, "ed", "ly" or contraction ending, and up to three plural "s".
std::string generatedWord(std::mt19937& random)
{
    static const std::vector<std::string> stems = {"bo", "ca", "idea", "mas", "gla", "pa", "tu"};
    static const std::string endings = "bfgkprtw";
    std::uniform_int_distribution<std::size_t> stem(0, stems.size() - 1);
    std::uniform_int_distribution<std::size_t> ending(0, endings.size() - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> esses(0, 3);
    std::string word = stems[stem(random)];
    if (percent(random) < 50)
        word += endings[ending(random)];
    word.append(static_cast<std::size_t>(esses(random)), 's');
    if (percent(random) < 15)
        word[0] = static_cast<char>(word[0] - 'a' + 'A');
    return word;
}

TEST_F(AnalysisTest, RealRunsMatchThePlainTableOnGeneratedDocuments)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<std::size_t> context(0, kContexts.size() - 1);
    std::uniform_int_distribution<int> length(1, 300);
    std::uniform_int_distribution<int> perLine(1, 8);
    for (int run = 0; run < 2000; ++run) {
        AnalysisSettings settings = keepingSettings();
        settings.ignoreShortWords = false;
        settings.preserveCase = run % 2 == 1;
        settings.minimumFrequency = 1 + run % 3;

        testing::LiteralWordTable plain;
        std::string page;
        for (int n = length(random), onLine = 0; n > 0; --n) {
            const Context& where = kContexts[context(random)];
            std::string word = generatedWord(random);
            page +=
                where.open + word + where.close + (++onLine % perLine(random) == 0 ? "\r\n" : " ");
            if (!settings.preserveCase)
                word = lowerCaseAccented(word);
            plain.countOccurrence(word, where.value, where.exempt);
        }
        ASSERT_EQ(analyse(page, settings).result, kAnalysisDone) << page;
        plain.applyMinimumFrequency(settings.minimumFrequency);
        plain.mergeCaseVariants();
        plain.normaliseKeyValues();
        ASSERT_EQ(table.entries(), plain.entries()) << "run " << run << ":\n" << page;
    }
}

} // namespace
} // namespace tagwright::test
