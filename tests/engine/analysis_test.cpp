#include "analysis_fixture.h"

#include "engine/line_preparation.h"
#include "engine/overflow.h"
#include "support/line_reader.h"

#include <sys/stat.h>

namespace tagwright::test {
namespace {

using DriverTest = AnalysisTest;

// Distinct words that pass every filter and never merge as plurals: "ka" + five of ten letters.
std::string distinctWord(int n)
{
    static const std::string letters = "bdfghjkptw";
    std::string word = "ka";
    for (int i = 0; i < 5; ++i, n /= 10)
        word += letters[static_cast<std::size_t>(n % 10)];
    return word;
}

TEST_F(DriverTest, AFinishedRunRanksScalesAndReports)
{
    AnalysisSettings settings; // defaults: minimum frequency 2
    const AnalysisOutcome outcome =
        analyse("<title>Garden</title>\r\nroses roses tulips\r\n", settings);
    EXPECT_EQ(outcome.result, kAnalysisDone);
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.at(1), (WordEntry{"garden", 1, 100, true}));
    EXPECT_EQ(table.at(2), (WordEntry{"roses", 2, static_cast<float>(6.0 * 100 / 90), false}));
    EXPECT_EQ(table.totalWordCount(), 4);
    EXPECT_EQ(host.wordCountText, "Number of words found satisfying above conditions: 2");
    EXPECT_FALSE(host.busy);
    EXPECT_EQ(host.output, "garden roses tulips "); // single-file mode shows new words
    EXPECT_EQ(host.reportUpdates, 1);
}

TEST_F(DriverTest, BlankLinesGiveAnEmptyTable)
{
    EXPECT_EQ(analyse("   \r\n\r\n  \r\n").result, kAnalysisDone);
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(host.wordCountText, "Number of words found satisfying above conditions: 0");
}

TEST_F(DriverTest, StopIsTakenWhileAPageWithoutLineEndsIsStillRead)
{
    // A page of 20 MB without line ends is one line; Stop is looked at between the reads.
    std::string page;
    for (int n = 0; page.size() < 20'000'000; ++n)
        page += distinctWord(n % 20000) + ' ';
    host.stopAtRequest = 40;
    EXPECT_EQ(analyse(page).result, kAnalysisStopped);
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(host.output, "\r\n\r\nStopped with 0 words identified.");
}

TEST_F(DriverTest, StopIsTakenWhileAPageWithoutLineEndsIsPrepared)
{
    // Shorter than one read: the reader looks at Stop once (at the end of the file), and the
    // looks after it come from the preparation of the line; were they scan steps, each would
    // take a word.
    std::string page;
    for (int n = 0; page.size() < 12 * kBytesPerLook; ++n)
        page += distinctWord(n) + ' ';
    ASSERT_LT(page.size(), LineReader::kDefaultBufferSize);
    for (const int stopAt : {1, 2, 3, 5}) {
        host = RecordingHost{};
        host.stopAtRequest = stopAt;
        EXPECT_EQ(analyse(page).result, kAnalysisStopped) << stopAt;
        EXPECT_EQ(table.count(), 0) << stopAt;
        EXPECT_EQ(host.output, "\r\n\r\nStopped with 0 words identified.") << stopAt;
    }
}

TEST_F(DriverTest, StopEndsTheRunWithTheNumberOfWordsSoFar)
{
    host.stopAfterWords = 5;
    EXPECT_EQ(analyse("alpha beta gamma delta epsilon zeta eta theta\r\n").result,
              kAnalysisStopped);
    EXPECT_EQ(table.count(), 5);
    EXPECT_EQ(host.output,
              "alpha beta gamma delta epsilon \r\n\r\nStopped with 5 words identified.");
    EXPECT_EQ(host.wordCountText, "");

    host = RecordingHost{};
    host.stopAfterWords = 1;
    AnalysisSettings batch = keepingSettings();
    batch.singleFile = false;
    batch.displayWords = false;
    EXPECT_EQ(analyse("alpha beta\r\n", batch).result, kAnalysisStopped);
    EXPECT_EQ(host.output, "Stopped with 1 word identified.");
}

// The label counts up one new word at a time, also where the number gains a digit.
TEST_F(DriverTest, TheWordCountLabelShowsEveryCountInTurn)
{
    std::string page;
    for (int i = 0; i < 1100; ++i) // letters without "s": no word is another's plural
        page += std::string{'w', 'o', static_cast<char>('a' + i / 324),
                            static_cast<char>('a' + i / 18 % 18), static_cast<char>('a' + i % 18)} +
                ' ';
    for (const int stopAt : {9, 10, 99, 100, 1000}) {
        host = RecordingHost{};
        host.stopAfterWords = stopAt;
        EXPECT_EQ(analyse(page + "\r\n").result, kAnalysisStopped) << stopAt;
        EXPECT_EQ(table.count(), stopAt);
    }
}

TEST_F(DriverTest, UnixFilesAreAskedAboutOrFlaggedInBatchRuns)
{
    const std::string page = "<p>first\nsecond</p>\n";
    host.unixAnswer = QuestionAnswer::No;
    AnalysisOutcome outcome = analyse(page);
    EXPECT_EQ(outcome.result, kUnixFileDeclined);
    EXPECT_FALSE(outcome.stopRun);
    EXPECT_EQ(table.count(), 0);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(
        host.questions[0],
        "This is a Unix-type file!\r\nThis program processes files of this type but much more "
        "slowly.\r\nUse of this program with Unix/Linux files larger than 40 KB\r\nis not "
        "recommended.  The size of this file is 20 bytes (1 KB).");

    host.unixAnswer = QuestionAnswer::Cancel;
    EXPECT_TRUE(analyse(page).stopRun);

    host.unixAnswer = QuestionAnswer::Yes;
    EXPECT_EQ(analyse(page).result, kAnalysisDone);
    EXPECT_EQ(words(), (std::vector<std::string>{"first", "second"}));

    // A batch run without the question shows the warning and goes on.
    struct BatchHost : RecordingHost
    {
        std::string warning;
        void showUnixFileWarning(std::string_view text) override { warning = text; }
    } batchHost;
    AnalysisSettings settings = keepingSettings();
    settings.singleFile = false;
    settings.dialogForUnixFiles = false;
    settings.displayWords = false;
    EXPECT_EQ(
        doFile(folder.write("unix.htm", page), settings, commonWords, batchHost, table).result,
        kAnalysisDone);
    EXPECT_EQ(batchHost.warning, "Warning: File has Unix/Linux line endings");
    EXPECT_TRUE(batchHost.questions.empty());
    EXPECT_EQ(batchHost.output, ""); // "Now processing ..." gave way to the first word
}

TEST_F(DriverTest, AnLfPageIsReadByItsLinesLikeItsCrLfCopy)
{
    // Read as one line, every meta tag before the description would give its attribute words.
    const std::string page =
        "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=iso-8859-1\">\n<meta name=\"viewport\" content=\"width=device-width, "
        "initial-scale=1\">\n<meta name=\"description\" content=\"Growing tomatoes, garden\">\n"
        "<title>Tomatoes</title>\n</head>\n<body><p>tomatoes</p></body>\n</html>\n";
    std::string crLfPage;
    for (const char c : page)
        crLfPage += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string_view charset : {"", "<meta charset=\"utf-8\">\n"}) {
        analyse(std::string(charset) + crLfPage);
        const std::vector<std::string> expected = words();
        analyse(std::string(charset) + page);
        EXPECT_EQ(words(), expected) << charset;
        EXPECT_EQ(words(), (std::vector<std::string>{"tomatoes", "growing", "garden"})) << charset;
    }
}

TEST_F(DriverTest, AMinifiedHeadGivesTheWordsOfItsDescriptionNotTheAttributesOfOtherMetaTags)
{
    const std::string head =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=iso-8859-1\"><meta name=\"viewport\" content=\"width=device-width, "
        "initial-scale=1\"><meta name=\"description\"><title>Tomatoes</title><meta "
        "name=\"description\" content=\"Growing tomatoes, garden\"><meta name=\"keywords\" "
        "content=\"seeds\"></head><body><p>tomatoes</p><p>content</p></body></html>";
    for (const std::string_view end : {"", "\r\n"}) {
        analyse(head + std::string(end));
        EXPECT_EQ(words(),
                  (std::vector<std::string>{"tomatoes", "growing", "garden", "seeds", "content"}))
            << end.size();
    }
}

TEST_F(DriverTest, TheSixteenBitCountEndsTheRunWithError6)
{
    std::string page;
    for (int i = 0; i <= 32767; ++i)
        page += distinctWord(i) + (i % 10 == 9 ? "\r\n" : " ");
    const AnalysisOutcome outcome = analyse(page);
    EXPECT_EQ(outcome.result, kOverflowError);
    EXPECT_EQ(table.count(), 32767);
    EXPECT_FALSE(host.busy);
    EXPECT_EQ(analysisResultMessage(outcome),
              (UserMessage{"Error", "An error of an unknown kind has occurred: 6",
                           MessageIcon::Warning}));
}

TEST_F(DriverTest, FilesThatCannotBeReadAreRefusedWithoutHanging)
{
    std::string page(1000, 'a');
    page[119] = '\0';
    page[700] = '\0';
    const AnalysisOutcome binary = analyse(page);
    EXPECT_EQ(binary.result, kNotATextFile);
    EXPECT_EQ(analysisResultMessage(binary),
              (UserMessage{"Not a text file",
                           "This file is not a text file.\r\nThe byte at position 120 with value "
                           "0\r\n is neither text "
                           "nor whitespace.",
                           MessageIcon::Information}));

    const std::string fifo = folder.path("pipe.htm");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(doFile(fifo, keepingSettings(), commonWords, host, table).result, kFileNotFoundError);
    EXPECT_EQ(doFile("/dev/zero", keepingSettings(), commonWords, host, table).result,
              kFileNotFoundError);
    EXPECT_EQ(inputFileMessage(fifo),
              (UserMessage{"File not found", "Input file does not exist.", MessageIcon::Warning}));
    EXPECT_EQ(inputFileMessage(""),
              (UserMessage{"Error", "Input file not specified.", MessageIcon::Warning}));

    // A four-byte page is read without the byte test.
    EXPECT_EQ(analyse("tree").result, kAnalysisDone);
}

TEST(ReportTail, TheStatusOfTheFileBecomesNowGenerating)
{
    EXPECT_EQ(reportWithNowGenerating("File: a.htm  Now processing ..."),
              "File: a.htm  Now generating meta tag ...");
    EXPECT_EQ(reportWithNowGenerating("short"), "short");
}

} // namespace
} // namespace tagwright::test
