#include "analysis_fixture.h"
#include "engine/scanner.h"
#include "engine/word_counter.h"
#include "support/looks.h"

namespace tagwright::test {
namespace {

using ScannerTest = AnalysisTest;
using Values = std::map<std::string, float>;

TEST_F(ScannerTest, HeadingsBoldAndTitleSetTheValueOfAWord)
{
    ASSERT_EQ(analyse("<h1>Welcome</h1> to our site\r\n").result, 0);
    EXPECT_EQ(rawValues(33), (Values{{"welcome", 33}, {"our", 3}, {"site", 3}}));

    ASSERT_EQ(analyse("<h1><b>brave</b> heading</h1>\r\n<h2>Hello there!</h2> plain\r\n").result,
              0);
    EXPECT_EQ(rawValues(37),
              (Values{{"brave", 37}, {"heading", 33}, {"hello", 28}, {"there", 28}, {"plain", 3}}));

    // The title weight only, whatever is open around it.
    ASSERT_EQ(
        analyse("<table><font size=7><b><title>Caption</title></b></font></table> body\r\n").result,
        0);
    EXPECT_EQ(rawValues(90), (Values{{"caption", 90}, {"body", 3}}));
}

TEST_F(ScannerTest, MetaContentTakesItsOwnWeight)
{
    ASSERT_EQ(analyse("<meta name=\"description\" content=\"Garden tools\">\r\n"
                      "<meta name=\"keywords\" content=\"rakes\">\r\nshed\r\n")
                  .result,
              0);
    EXPECT_EQ(rawValues(50), (Values{{"garden", 50}, {"tools", 50}, {"rakes", 50}, {"shed", 3}}));
    EXPECT_TRUE(table.at(1).thresholdExempt);

    AnalysisSettings settings = keepingSettings();
    settings.descriptionWeight = 0;
    settings.existingKeywordsWeight = 0;
    ASSERT_EQ(analyse("<meta name=\"description\" content=\"Garden\">\r\n"
                      "<meta name=\"keywords\" content=\"rakes\">\r\nshed\r\n",
                      settings)
                  .result,
              0);
    EXPECT_EQ(rawValues(3), (Values{{"shed", 3}, {"garden", 0}}));

    // Blanks around the equals sign and capitals do not matter.
    ASSERT_EQ(analyse("<META NAME = \"Description\" CONTENT = \"Roomy words\"> body\r\n").result,
              0);
    EXPECT_EQ(rawValues(50), (Values{{"roomy", 50}, {"words", 50}, {"body", 3}}));

    // Content before name: everything from "content" to ">" is description text.
    ASSERT_EQ(analyse("<meta content=\"Fine words\" name=\"description\">\r\n").result, 0);
    EXPECT_EQ(rawValues(50),
              (Values{{"fine", 50}, {"words", 50}, {"name", 50}, {"description", 50}}));
}

TEST_F(ScannerTest, FontSizesAreStackedAndHonouredOnlyBeforeALaterFontWord)
{
    ASSERT_EQ(analyse("<font size=\"4\">alpha <font size=\"+2\">beta </font>gamma </font>delta\r\n")
                  .result,
              0);
    EXPECT_EQ(rawValues(6), (Values{{"alpha", 4}, {"beta", 6}, {"gamma", 4}, {"delta", 3}}));

    ASSERT_EQ(analyse("<font size=-9>tiny</font> <font size=12>huge</font>\r\n").result, 0);
    EXPECT_EQ(rawValues(7), (Values{{"tiny", 1}, {"huge", 7}}));

    // No "font" later on the line: the size stays as it was.
    ASSERT_EQ(analyse("<font size=7>alone\r\nnext</font>\r\n").result, 0);
    EXPECT_EQ(rawValues(3), (Values{{"alone", 3}, {"next", 3}}));
}

TEST_F(ScannerTest, ZeroWeightBlocksAreSkippedAcrossLinesAndNestingCountsOnce)
{
    AnalysisSettings settings = keepingSettings();
    settings.tableWeight = 0;
    ASSERT_EQ(
        analyse("before <table><tr><td>hidden\r\n<table>nested</table>\r\nstill</td></tr></table> "
                "after\r\n",
                settings)
            .result,
        0);
    EXPECT_EQ(words(), (std::vector<std::string>{"before", "after"}));

    settings.tableWeight = 1;
    settings.divWeight = 0;
    ASSERT_EQ(analyse("<div>gone <DIV>deeper</div>\r\nmore</Div>kept\r\n", settings).result, 0);
    EXPECT_EQ(words(), (std::vector<std::string>{"kept"}));

    ASSERT_EQ(analyse("<table><table><table>deep</table></table></table> out\r\n").result, 0);
    EXPECT_EQ(rawValues(4), (Values{{"deep", 4}, {"out", 3}}));
}

TEST_F(ScannerTest, CommentsScriptsStylesAndEntitiesAreSteppedOver)
{
    ASSERT_EQ(analyse("first <!-- opened\r\n<b>inside</b>\r\nstill\r\nclosed --> last\r\n").result,
              0);
    EXPECT_EQ(words(), (std::vector<std::string>{"first", "last"}));

    AnalysisSettings keepCase = keepingSettings();
    keepCase.preserveCase = true;
    ASSERT_EQ(
        analyse("<SCRIPT type=x>var code</Script> <Style>body color</STYLE> shown\r\n", keepCase)
            .result,
        0);
    EXPECT_EQ(words(), (std::vector<std::string>{"shown"}));

    // An undecoded entity goes whole; a lone ampersand before a blank alone.
    ASSERT_EQ(analyse("&zzhidden; &#9999; fish &amp;chips &bogus plain\r\n").result, 0);
    EXPECT_EQ(words(), (std::vector<std::string>{"fish", "chips", "bogus", "plain"}));
}

TEST_F(ScannerTest, TagsAreSteppedOverEvenAcrossLines)
{
    ASSERT_EQ(
        analyse("<a href=\"x\"\r\n   title=\"nothing\">anchor</a> <img alt=\"not counted\">\r\n")
            .result,
        0);
    EXPECT_EQ(words(), (std::vector<std::string>{"anchor"}));
}

TEST_F(ScannerTest, AnInvalidEndFontTagMayStopTheRun)
{
    AnalysisSettings settings = keepingSettings();
    settings.dialogForInvalidEndFontTag = true;
    host.proceedAfterInvalidEndFont = false;
    const AnalysisOutcome outcome = analyse("before </font> never\r\n", settings);
    EXPECT_EQ(outcome.result, kAnalysisStopped);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0],
              "There appears to be an invalid end-font tag\r\nin the file " +
                  folder.path("page.htm") +
                  ".\r\nThis is not a fatal error.  Do you wish to proceed anyway?");
    EXPECT_EQ(words(), (std::vector<std::string>{"before"}));

    host.proceedAfterInvalidEndFont = true;
    EXPECT_EQ(analyse("before </font> too\r\n", settings).result, 0);
    EXPECT_EQ(table.count(), 2);
}

// A line costs time in proportion to its length: the searches of the scan read each byte a
// bounded number of times, however the line repeats what starts a search (a page without line
// ends is one line). Counted in bytes read, not timed.
TEST_F(ScannerTest, SearchesReadEachByteOfALineABoundedNumberOfTimes)
{
    const AnalysisSettings settings = keepingSettings();
    for (const std::string unit :
         {"Fish & chips ", "&", "<meta name=\"description\"> ", "<meta name=\"keywords\"> ",
          "<font ", "<font size=2>x ", "<a href=x>y</a> &x; ", "<!-- open --> <style>s</style> "}) {
        std::string line;
        while (line.size() < 100'000)
            line += unit;
        line += ' ';
        WordCounter counter(settings, commonWords, host, table);
        Scanner scanner(settings, host, counter, table, "page.htm");
        scanner.scanLine(line);
        EXPECT_LE(scanner.bytesSearched(), 16 * line.size()) << unit;
    }
    // A meta tag looks for its name only inside itself, so that a tag at the top of a page without
    // line ends does not read the page twice more.
    std::string line = "<meta name=\"x\" content=\"y\"> ";
    while (line.size() < 100'000)
        line += "1, 2; ";
    WordCounter counter(settings, commonWords, host, table);
    Scanner scanner(settings, host, counter, table, "page.htm");
    scanner.scanLine(line);
    EXPECT_LE(scanner.bytesSearched(), line.size() + 100);
}

// One step of the scan can read the rest of a line as long as the file (a page without line ends
// is one line): a tag, comment or zero-weight block that does not end, a run of blanks. Such a
// step looks at Stop once per kBytesPerLook bytes, and Stop there ends the scan.
TEST_F(ScannerTest, AStepThatReadsALongLineLooksAtStopWhileItReads)
{
    struct CountingHost : SilentAnalysisHost
    {
        int looks = 0;
        int stopAt = -1;
        bool stopRequested() override { return ++looks >= stopAt && stopAt > 0; }
    };
    AnalysisSettings settings = keepingSettings();
    settings.tableWeight = 0;
    const std::size_t length = 64 * kBytesPerLook;
    const auto repeated = [length](const std::string& start, std::string_view unit) {
        std::string line = start;
        while (line.size() < length)
            line += unit;
        return line + ' ';
    };
    for (const std::string& line :
         {repeated("<meta name=\"x\" ", "1, 2; "), repeated("<font ", "1, 2; "),
          repeated("<!-- ", "1, 2; "), repeated("<a ", "1, 2; "), repeated("<a<b", "<c>"),
          repeated("<table>", "<td>1</td>"), repeated("a", " ") + "b"}) {
        for (const int stopAt : {-1, 10}) {
            CountingHost counting;
            counting.stopAt = stopAt;
            WordCounter counter(settings, commonWords, counting, table);
            Scanner scanner(settings, counting, counter, table, "page.htm");
            scanner.scanLine(line);
            if (stopAt < 0) {
                EXPECT_GE(counting.looks, 60) << line.substr(0, 12);
                EXPECT_FALSE(scanner.stopped());
            } else {
                EXPECT_EQ(counting.looks, stopAt) << line.substr(0, 12);
                EXPECT_TRUE(scanner.stopped());
            }
        }
    }
}

} // namespace
} // namespace tagwright::test
