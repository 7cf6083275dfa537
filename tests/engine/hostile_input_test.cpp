// Pages built to break the analysis: counts that pass 16 bits, blocks that never end, binary
// bytes at the limits of the text check, other encodings, broken UTF-8, unreadable files. Each
// ends with its own result code and message, never with a crash or a hang.

#include "../support/unprivileged.h"
#include "analysis_fixture.h"

#include "engine/overflow.h"

#include <sys/stat.h>

#include <algorithm>

namespace tagwright::test {
namespace {

using HostileInput = AnalysisTest;

std::string repeated(std::string_view piece, int times)
{
    std::string text;
    text.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

const UserMessage kError6{"Error", "An error of an unknown kind has occurred: 6", MessageIcon::Warning};

TEST_F(HostileInput, AFrequencyPast32767EndsWithError6)
{
    EXPECT_EQ(analyse(repeated("garden ", 32767)).result, kAnalysisDone);
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.at(1).frequency, 32767);

    const AnalysisOutcome outcome = analyse(repeated("garden ", 32768));
    EXPECT_EQ(outcome.result, kOverflowError);
    EXPECT_EQ(analysisResultMessage(outcome), kError6);
}

TEST_F(HostileInput, NestingPast32767EndsWithError6)
{
    AnalysisSettings skipping = keepingSettings();
    skipping.tableWeight = 0; // counted while the content is skipped
    const struct {
        std::string page;
        AnalysisSettings settings;
    } pages[] = {
        {repeated("<table>", 32768) + " word", keepingSettings()},
        {repeated("<table>", 32768) + " word", skipping},
        {repeated("<div><span>", 32768), keepingSettings()},
        {repeated("<font size=+1>", 32768), keepingSettings()},
        {"<a " + repeated("<x", 32768) + ">", keepingSettings()},
    };
    for (const auto& [page, settings] : pages) {
        SCOPED_TRACE(page.substr(0, 20));
        const AnalysisOutcome outcome = analyse(page, settings);
        EXPECT_EQ(outcome.result, kOverflowError);
        EXPECT_EQ(analysisResultMessage(outcome), kError6);
        EXPECT_FALSE(host.busy);
    }
    EXPECT_EQ(analyse(repeated("<table>", 32767) + " word").result, kAnalysisDone);
}

TEST_F(HostileInput, AMillionLetterWordIsCutAndDropped)
{
    const AnalysisOutcome outcome = analyse(std::string(1000000, 'a') + "b garden\r\n");
    EXPECT_EQ(outcome.result, kAnalysisDone);
    EXPECT_EQ(words(), std::vector<std::string>{"garden"});
    // The scanner takes at most 65000 letters at a time: 16 pieces of the long word, then garden.
    EXPECT_EQ(table.totalWordCount(), 17);
}

TEST_F(HostileInput, BlocksLeftOpenSwallowTheRestOfThePage)
{
    for (const std::string opening : {"<!-- never closed", "<script type=\"text/javascript\">", "<STYLE>",
                                      "<a href=\"x\"", "<table"}) {
        SCOPED_TRACE(opening);
        EXPECT_EQ(analyse("<p>before</p> " + opening + "\r\nhidden words\r\n" + repeated("more text ", 100)).result,
                  kAnalysisDone);
        EXPECT_EQ(words(), std::vector<std::string>{"before"});
    }
}

TEST_F(HostileInput, NulBytesAtTheLimitsOfTheTextCheck)
{
    // 0.1 percent of the 16384 bytes examined: 16 control bytes pass, 17 do not.
    std::string page(20000, 'a');
    for (std::size_t at = 16000; at < 16016; ++at)
        page[at] = '\0';
    EXPECT_EQ(analyse(page).result, kAnalysisDone);
    page[15000] = '\0';
    const AnalysisOutcome seventeen = analyse(page);
    EXPECT_EQ(seventeen.result, kNotATextFile);
    EXPECT_EQ(seventeen.position, 15001);
    EXPECT_EQ(seventeen.offendingByte, 0);

    // Bytes beyond the sample are never examined.
    std::string tail(16384, 'a');
    tail += std::string(5000, '\0');
    EXPECT_EQ(analyse(tail + " garden").result, kAnalysisDone);

    // In a 1000-byte file one control byte is exactly 0.1 percent and passes; a second fails.
    std::string small(1000, 'a');
    small[999] = '\x01';
    EXPECT_EQ(analyse(small).result, kAnalysisDone);
    small[0] = '\x02';
    EXPECT_EQ(analyse(small).offendingByte, 2);

    // A file shorter than five bytes is read without the byte test.
    EXPECT_EQ(analyse(std::string(4, '\0')).result, kAnalysisDone);
}

TEST_F(HostileInput, OtherEncodingsAreReadAsBytesWithoutHarm)
{
    const std::string words16 = std::string("g\0a\0r\0d\0e\0n\0 \0", 14);
    const std::string pages[] = {
        "{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Times;}} garden \\par }",
        "\xFF\xFE" + repeated(words16, 3000),
        "\xFE\xFF" + repeated(std::string("\0g\0a\0r", 6), 3000),
        std::string("\0\0\xFE\xFF\0\0\0g\0\0\0a", 12),
        std::string("\xFF\xFE\0\0g\0\0\0", 8),
    };
    for (const std::string& page : pages) {
        SCOPED_TRACE(page.substr(0, 8));
        EXPECT_EQ(analyse(page).result, kAnalysisDone);
        for (const WordEntry& entry : table.entries())
            EXPECT_EQ(entry.text.find('\0'), std::string::npos);
    }

    // A UTF-8 byte-order mark makes the page UTF-8; the words after it are whole.
    EXPECT_EQ(analyse("\xEF\xBB\xBF<title>Caf\xC3\xA9 garden</title>\r\n").result, kAnalysisDone);
    const std::vector<std::string> found = words();
    EXPECT_NE(std::find(found.begin(), found.end(), "caf\xE9"), found.end());
    EXPECT_NE(std::find(found.begin(), found.end(), "garden"), found.end());
}

TEST_F(HostileInput, BrokenUtf8UnderAUtf8CharsetIsReadAsItComes)
{
    const std::string page = "<meta charset=utf-8>\r\ncaf\xC3 garden \xC0\xAF \x80\x80 \xC3\x28 \xE2\x80 \xF0\x9F\x98\x80\r\n"
                             "\xED\xA0\x80 \xF8\x88\x80\x80\x80 \xC2\r\nend\xC3";
    EXPECT_EQ(analyse(page).result, kAnalysisDone);
    const std::vector<std::string> found = words();
    EXPECT_NE(std::find(found.begin(), found.end(), "garden"), found.end());
    for (const WordEntry& entry : table.entries()) {
        EXPECT_FALSE(entry.text.empty());
        EXPECT_LE(entry.text.size(), 100U);
    }
}

TEST_F(HostileInput, AnUnreadablePageEndsWithTheSystemsErrorNumber)
{
    const std::string page = folder.write("private.htm", "<p>garden</p>\r\n");
    ASSERT_EQ(::chmod(page.c_str(), 0), 0);
    const int result = runUnprivileged([&] {
        RecordingHost quiet;
        WordTable unread;
        return static_cast<int>(doFile(page, keepingSettings(), commonWords, quiet, unread).result);
    });
    EXPECT_EQ(result, kPermissionDeniedError);
    AnalysisOutcome denied;
    denied.result = kPermissionDeniedError;
    EXPECT_EQ(analysisResultMessage(denied),
              (UserMessage{"Error", "An error of an unknown kind has occurred: 70", MessageIcon::Warning}));
}

} // namespace
} // namespace tagwright::test
