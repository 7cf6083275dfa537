#include "batch/old_tag_reader.h"

#include "faulty_file_system.h"
#include "support/dates.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using testing::TempFolder;
using testing::writeBytes;

const std::int32_t kToday = gregorianToJdn(2024, 3, 5);

class OldTagReaderTest : public ::testing::Test
{
  protected:
    OldTagAndDoneDate read(const std::string& bytes, int lessThanDays = 1)
    {
        writeBytes(folder.path("p.htm"), bytes);
        return readOldTagAndDoneDate(folder.path("p.htm"), kToday, lessThanDays);
    }

    TempFolder folder;
};

TEST_F(OldTagReaderTest, LaterKeywordsTagOverridesAndNoneGivesTheMessage)
{
    EXPECT_EQ(read("<meta name=\"keywords\" content=\"a\">\r\n <META NAME=\"KEYWORDS\" "
                   "content=\"b\"> x \r\n</head>")
                  .oldTag,
              "<META NAME=\"KEYWORDS\" content=\"b\">");
    EXPECT_EQ(read("<head></head>\r\n").oldTag, "No keywords meta tag found.");
}

TEST_F(OldTagReaderTest, TagAndMarkerOfAMinifiedHeadAreReadAlone)
{
    const OldTagAndDoneDate found =
        read("<meta name=\"viewport\" content=\"w\"><meta name=\"keywords\" content=\"a\">"
             "<meta content=\"2024-03-05\" name=\"QOVA done\"><title>t</title>\r\n</head>");
    EXPECT_EQ(found.oldTag, "<meta name=\"keywords\" content=\"a\">");
    EXPECT_TRUE(found.doneRecently);
    // The whole head on the line that ends it, as minified pages have it.
    const OldTagAndDoneDate oneLine =
        read("<head><meta name=\"keywords\" content=\"a\"><meta name=\"QOVA done\" "
             "content=\"2024-03-05\"></head><body><meta name=\"keywords\" content=\"b\">\n");
    EXPECT_EQ(oneLine.oldTag, "<meta name=\"keywords\" content=\"a\">");
    EXPECT_TRUE(oneLine.doneRecently);
    EXPECT_EQ(read("<meta name=\"viewport\" content=\"w\"><title>The \"keywords\" tag</title>\r\n")
                  .oldTag,
              "No keywords meta tag found.");
}

TEST_F(OldTagReaderTest, DayRule)
{
    const std::string yesterday = "<meta name=\"QOVA done\" content=\"2024-03-04\">\r\n</head>";
    EXPECT_FALSE(read(yesterday, 1).doneRecently);
    const OldTagAndDoneDate recent = read(yesterday, 2);
    EXPECT_TRUE(recent.doneRecently);
    EXPECT_EQ(recent.doneDate, "2024-03-04");
    EXPECT_TRUE(read("<meta name=\"qova done\" content=\"2024-03-05\">", 1).doneRecently);
    // A date in the future counts as recent.
    EXPECT_TRUE(read("<meta name=\"QOVA done\" content=\"2030-01-01\">", 1).doneRecently);
    // One-digit month and day: the quote and ">" taken with them are dropped before reading.
    EXPECT_TRUE(read("<meta name=\"QOVA done\" content=\"2024-3-5\">", 1).doneRecently);
}

TEST_F(OldTagReaderTest, AnLfPageIsReadByItsLines)
{
    const OldTagAndDoneDate found =
        read("<head>\n<meta name=\"keywords\" content=\"a\">\n"
             "<meta name=\"QOVA done\" content=\"2024-03-05\">\n</head>\n");
    EXPECT_EQ(found.oldTag, "<meta name=\"keywords\" content=\"a\">");
    EXPECT_TRUE(found.doneRecently);
}

TEST_F(OldTagReaderTest, CommentsAreThoseThatTheRewriteSees)
{
    // A "<!--" written by a script opens no comment, and a comment closed on a line hides
    // nothing after it.
    const OldTagAndDoneDate found =
        read("<head>\r\n<script>document.write(\"<!--\");</script>\r\n"
             "<!-- x --> <meta name=\"keywords\" content=\"a\">\r\n"
             "<meta name=\"QOVA done\" content=\"2024-03-05\">\r\n</head>");
    EXPECT_EQ(found.oldTag, "<meta name=\"keywords\" content=\"a\">");
    EXPECT_TRUE(found.doneRecently);
}

TEST_F(OldTagReaderTest, MarkersThatDoNotCount)
{
    // In a comment, after "</head>", with an unreadable date, or without content.
    EXPECT_FALSE(read("<!--\r\n<meta name=\"QOVA done\" content=\"2024-03-05\">\r\n-->\r\n</head>")
                     .doneRecently);
    EXPECT_FALSE(read("</head><meta name=\"QOVA done\" content=\"2024-03-05\">").doneRecently);
    EXPECT_FALSE(read("<meta name=\"QOVA done\" content=\"yesterday\">").doneRecently);
    EXPECT_FALSE(read("<meta name=\"QOVA done\">").doneRecently);
    EXPECT_FALSE(read("<meta name=\"QOVA done\" content=").doneRecently);
}

TEST_F(OldTagReaderTest, FailuresGiveTheErrorText)
{
    EXPECT_EQ(readOldTagAndDoneDate(folder.path("missing.htm"), kToday, 7).oldTag,
              "Error when getting old keywords meta tag.");
    EXPECT_EQ(read("<head>\r\n<!-- never closed\r\n").oldTag,
              "Error when getting old keywords meta tag.");
    writeBytes(folder.path("p.htm"), "<meta name=\"QOVA done\" content=\"2024-03-05\">\r\n");
    testing::FaultyFileSystem failingRead(testing::Step::Read, 1);
    const OldTagAndDoneDate failed =
        readOldTagAndDoneDate(folder.path("p.htm"), kToday, 7, failingRead);
    EXPECT_EQ(failed.oldTag, "Error when getting old keywords meta tag.");
    EXPECT_FALSE(failed.doneRecently);
}

// A page without line ends is one line as long as the file: its head is read no further than a
// little past "</head>", so that a batch run does not read the whole page first (nor fail on
// what lies far beyond it).
TEST_F(OldTagReaderTest, AOneLinePageIsReadOnlyAsFarAsItsHeadEnd)
{
    std::string page = "<head><meta name=\"keywords\" content=\"a\"></HEAD><body>";
    while (page.size() < 1024 * 1024)
        page += "words and more words ";
    writeBytes(folder.path("p.htm"), page);
    testing::FaultyFileSystem failingRead(testing::Step::Read, 5);
    EXPECT_EQ(readOldTagAndDoneDate(folder.path("p.htm"), kToday, 7, failingRead).oldTag,
              "<meta name=\"keywords\" content=\"a\">");
    EXPECT_LT(failingRead.calls(testing::Step::Read), 5);
}

} // namespace
} // namespace tagwright
