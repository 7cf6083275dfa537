#include "batch/insertion.h"

#include "../support/marker_text.h"
#include "../support/unprivileged.h"
#include "batch/done_marker.h"
#include "batch/page_io.h"
#include "batch/text_fingerprint.h"
#include "support/line_reader.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tagwright {
namespace {

using testing::namesIn;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

const std::string kTag = "<meta name=\"keywords\" content=\"alpha, beta\">";
const std::string kMarker = "<meta name=\"QOVA done\" content=\"2024-03-05\">";

class InsertionTest : public ::testing::Test {
protected:
    InsertOutcome insert(const std::string& page, bool backup = false, bool withDone = false)
    {
        InsertRequest request;
        request.tag = kTag;
        request.path = folder.path(page);
        request.backup = backup;
        request.withDone = withDone;
        request.doneDate = "2024-03-05";
        request.logOldTag = true;
        request.logNewTag = true;
        return insertMetaTag(request, &log);
    }

    TempFolder folder;
    ReportLog log;
};

TEST_F(InsertionTest, ReplacesATagOnItsLineKeepingWhatSurroundsIt)
{
    writeBytes(folder.path("p.htm"), "<html>\r\n<head>\r\n<title>T</title>  <meta name=\"keywords\" content=\"old\">"
                                     "   <meta name=\"x\">\r\n\r\n</head>\r\n<body>\r\n\r\n</body>");
    EXPECT_EQ(insert("p.htm").result, kInserted);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))),
              "<html>\r\n<head>\r\n<title>T</title>  \r\n" + kTag +
                  "\r\n<meta name=\"x\">\r\n\r\n</head>\r\n<body>\r\n\r\n</body>");
    EXPECT_EQ(log.text(), "\r\nOLD: <meta name=\"keywords\" content=\"old\">\r\nNEW: " + kTag);
}

TEST_F(InsertionTest, TheHeadKeepsItsOwnLinesAndLosesOnlyThoseOfOldTags)
{
    // In LF and CR LF pages alike, for the tag and for the marker alone: a template string keeps
    // its empty line, so do the head's own empty lines and the indented end of the head, while
    // the lines that held only an old tag or marker, indented or not, go with them.
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        const auto lines = [&lineEnd](std::initializer_list<std::string> parts) {
            std::string text;
            for (const std::string& part : parts)
                text += part + lineEnd;
            return text;
        };
        const std::string top =
            lines({"<head>", "", "<script>const t = `first", "", "second`;</script>", ""});
        writeBytes(folder.path("p.htm"),
                   top + lines({"  <meta name=\"keywords\" content=\"old\">",
                                "\t<meta name=\"QOVA done\" content=\"2020-01-01\">", "",
                                "  </head>", "", "<body></body>"}));
        EXPECT_EQ(insert("p.htm", false, true).result, kInserted);
        EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))),
                  top + lines({kTag, kMarker, "", "  </head>", "", "<body></body>"}));

        writeBytes(folder.path("p.htm"), top + lines({"  </head>"}));
        EXPECT_EQ(insertDoneMetaTagOnly(folder.path("p.htm"), "2024-03-05").result, kInserted);
        EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))), top + lines({kMarker, "  </head>"}));
    }
}

TEST_F(InsertionTest, OnlyTheNameAttributeOfAMetaTagMakesAKeywordsTag)
{
    // A minified head: a title or a script that mentions "keywords", and meta tags that carry
    // the word in another attribute, stay as they are; only the real tag and marker go.
    const std::string kept =
        "<head><meta name=\"viewport\" content=\"width=device-width\">"
        "<title>How the \"keywords\" meta tag works</title>"
        "<script type=\"application/ld+json\">{\"keywords\": \"garden\"}</script>"
        "<meta itemprop=\"keywords\" content=\"i\"><meta data-name=\"keywords\" content=\"d\">";
    writeBytes(folder.path("p.htm"),
               kept +
                   "<meta content=\"old\" name = \"Keywords\" ><link rel=\"a\">"
                   "<meta\tname=\"QOVA done\" content=\"x\"><meta name=\"QOVA done\" content=\"y\">"
                   "</head>\r\n");
    EXPECT_EQ(insert("p.htm").result, kInserted);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))), kept + "\r\n" + kTag +
                                                   "\r\n<link rel=\"a\"><meta\tname=\"QOVA done\" "
                                                   "content=\"x\">\r\n</head>\r\n");
    EXPECT_EQ(log.text(), "\r\nOLD: <meta content=\"old\" name = \"Keywords\" >\r\nNEW: " + kTag);

    writeBytes(folder.path("p.htm"), kept + "</head>\r\n");
    EXPECT_EQ(insert("p.htm").result, kInserted);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))), kept + "\r\n" + kTag + "\r\n</head>\r\n");
}

TEST_F(InsertionTest, WritesTheTagBeforeHeadEndWhenThereIsNone)
{
    writeBytes(folder.path("p.htm"), "<HEAD><title>x</title></HEAD>  <body>\r\n<p>a\nb</p>");
    EXPECT_EQ(insert("p.htm").result, kInserted);
    // From the end of the head, which keeps its capitals, the page is copied byte for byte.
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))),
              "<HEAD><title>x</title>\r\n" + kTag + "\r\n</HEAD>  <body>\r\n<p>a\nb</p>");
}

TEST_F(InsertionTest, AnLfPageKeepsItsLineEnds)
{
    // The first 16,384 bytes make it an LF page; a CR after them is an ordinary character.
    const std::string sample = "<head>\n<!-- " + std::string(kLineEndSampleBytes, 'x') + " -->\n";
    writeBytes(folder.path("p.htm"),
               sample + "<title>A\rB</title>\n\n<meta name=\"keywords\" content=\"old\"> x\n"
                        "<meta name=\"QOVA done\" content=\"2020-01-01\">\n</head>\n<p>a\r\nb</p>");
    EXPECT_EQ(insert("p.htm", false, true).result, kInserted);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))), sample + "<title>A\rB</title>\n\n" + kTag + "\n" +
                                                   kMarker + "\nx\n</head>\n<p>a\r\nb</p>");
    // The marker alone, written where the head ends on a page without a line end after it.
    writeBytes(folder.path("p.htm"), "<head>\n<title>T</title></head>");
    EXPECT_EQ(insertDoneMetaTagOnly(folder.path("p.htm"), "2024-03-05").result, kInserted);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))),
              "<head>\n<title>T</title>\n" + kMarker + "\n</head>");
}

TEST_F(InsertionTest, RecognisesCapitalsAndLeavesTheBodyAlone)
{
    const std::string bodyTag = "<meta name=\"keywords\" content=\"body\">";
    writeBytes(folder.path("p.htm"), "<head>\r<META NAME=\"KEYWORDS\" CONTENT=\"OLD\">\r\n</head>\r\n\r\n" + bodyTag);
    EXPECT_EQ(insert("p.htm").result, kInserted);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))),
              "<head>\r\n" + kTag + "\r\n</head>\r\n\r\n" + bodyTag);
}

TEST_F(InsertionTest, OneNewTagAndMarkerReplaceAllOldOnes)
{
    writeBytes(folder.path("p.htm"), "<head>\r\n<meta name=\"qova DONE\" content=\"2020-01-01\">\r\n"
                                     "<meta name=\"keywords\" content=\"a\">\r\n<meta name=\"keywords\" content=\"b\">\r\n"
                                     "</head>\r\n" + kMarker + "\r\n");
    EXPECT_EQ(insert("p.htm", false, true).result, kInserted);
    // A second old tag goes without a second new one; the marker in the body is not the head's.
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))),
              "<head>\r\n" + kTag + "\r\n" + kMarker + "\r\n</head>\r\n" + kMarker + "\r\n");
}

TEST_F(InsertionTest, CommentedOutTagsStayAsTheyAre)
{
    const std::string comment = "<!-- <meta name=\"keywords\" content=\"was\">\r\n\r\n" + kMarker + " -->\r\n";
    writeBytes(folder.path("p.htm"), "<head>\r\n" + comment + "<meta name=\"keywords\" content=\"old\">\r\n</head>");
    EXPECT_EQ(insert("p.htm").result, kInserted);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))), "<head>\r\n" + comment + kTag + "\r\n</head>");

    // A live tag after a comment on the same line is replaced.
    writeBytes(folder.path("p.htm"), "<head>\r\n<!-- x --> <meta name=\"keywords\" content=\"old\">\r\n</head>");
    EXPECT_EQ(insert("p.htm").result, kInserted);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))), "<head>\r\n<!-- x --> \r\n" + kTag + "\r\n</head>");
}

TEST_F(InsertionTest, ScriptsAndStylesOpenNoCommentAndHoldNoTags)
{
    const std::string scripts =
        "<script>document.write(\"<!--\");</script>\r\n"
        "<SCRIPT type=\"x\">var t = '<meta name=\"keywords\" content=\"s\">';\r\n</script>"
        "<style>/* <!-- */</style >\r\n";
    writeBytes(folder.path("p.htm"),
               "<head>\r\n" + scripts + "<meta name=\"keywords\" content=\"old\">\r\n</head>");
    EXPECT_EQ(insert("p.htm").result, kInserted);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))), "<head>\r\n" + scripts + kTag + "\r\n</head>");
    EXPECT_EQ(log.text(), "\r\nOLD: <meta name=\"keywords\" content=\"old\">\r\nNEW: " + kTag);
}

TEST_F(InsertionTest, RefusalsLeaveThePageUntouched)
{
    const std::string unclosed = "<head>\r\n<meta name=\"keywords\"\r\ncontent=\"a\">\r\n</head>\r\n";
    const std::string headless = "<html>\r\n\r\n<meta name=\"keywords\" content=\"a\">\r\n<body>x</body>";
    writeBytes(folder.path("unclosed.htm"), unclosed);
    writeBytes(folder.path("headless.htm"), headless);
    writeBytes(folder.path("noext"), headless);
    std::filesystem::create_directory(std::filesystem::path(folder.path()) / "dir.d");
    writeBytes(std::filesystem::path(folder.path()) / "dir.d" / "page", headless);
    ::mkfifo(folder.path("pipe.htm").c_str(), 0600);
    std::filesystem::create_directory(std::filesystem::path(folder.path()) / "folder.htm");

    EXPECT_EQ(insert("unclosed.htm", true).result, kInsertOldTagOverLines);
    EXPECT_EQ(insert("headless.htm", true).result, kInsertHeadEndMissing);
    EXPECT_EQ(insert("noext", true).result, kInsertNoExtension);
    EXPECT_EQ(insert("dir.d/page").result, kInsertNoExtension);
    EXPECT_EQ(insert("missing.htm").result, kInsertFileNotFound);
    EXPECT_EQ(insert("pipe.htm").result, kInsertFileNotFound);
    EXPECT_EQ(insert("folder.htm").result, kInsertFileNotFound);

    EXPECT_EQ(readBytes(folder.path("unclosed.htm")), unclosed);
    EXPECT_EQ(readBytes(folder.path("headless.htm")), headless);
    EXPECT_EQ(readBytes(folder.path("noext")), headless);
    EXPECT_EQ(namesIn(folder.path()),
              (std::set<std::string>{"unclosed.htm", "headless.htm", "noext", "dir.d", "pipe.htm", "folder.htm"}));
    EXPECT_EQ(log.text(), "");
}

TEST_F(InsertionTest, RefusesTextsThatAreNotAKeywordsTag)
{
    writeBytes(folder.path("p.htm"), "<head></head>");
    InsertRequest request;
    request.tag = "Existing keywords meta tag: " + kTag;
    request.path = folder.path("p.htm");
    EXPECT_EQ(insertMetaTag(request, nullptr).result, kInsertNotAKeywordsTag);
    for (const std::string tag :
         {"<meta name=keywords content=\"a\">", "<meta itemprop=\"keywords\" content=\"a\">",
          "<meta name=\"keywords\" content=\"a\""}) {
        request.tag = tag;
        EXPECT_EQ(insertMetaTag(request, nullptr).result, kInsertNotAKeywordsTag) << tag;
    }
    request.tag = kTag;
    request.path.clear();
    EXPECT_EQ(insertMetaTag(request, nullptr).result, kInsertPathEmpty);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))), "<head></head>");
}

TEST_F(InsertionTest, BackupHoldsTheContentJustBeforeEachInsertion)
{
    const std::string first = "<head>\r\n</head>\r\n";
    writeBytes(folder.path("page.htm"), first);
    const InsertOutcome outcome = insert("page.htm", true);
    EXPECT_EQ(outcome.result, kInserted);
    EXPECT_EQ(outcome.backupFile, folder.path("page.bak.htm"));
    EXPECT_EQ(readBytes(folder.path("page.bak.htm")), first);
    const std::string second = readBytes(folder.path("page.htm"));
    EXPECT_EQ(second, "<head>\r\n" + kTag + "\r\n</head>\r\n");

    EXPECT_EQ(insert("page.htm", true).result, kInserted);
    EXPECT_EQ(readBytes(folder.path("page.bak.htm")), second);
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"page.htm", "page.bak.htm"}));
}

TEST_F(InsertionTest, NoOtherFileIsEverReplaced)
{
    writeBytes(folder.path("page.htm"), "<head></head>");
    writeBytes(folder.path("page.htmx"), "someone's htmx");
    writeBytes(folder.path("page.bak.htm"), "someone's backup");
    EXPECT_EQ(insert("page.htm", false).result, kInserted);
    EXPECT_EQ(readBytes(folder.path("page.bak.htm")), "someone's backup");
    EXPECT_EQ(insert("page.htm", true).result, kInserted);
    EXPECT_EQ(readBytes(folder.path("page.htmx")), "someone's htmx");
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"page.htm", "page.htmx", "page.bak.htm"}));
}

TEST_F(InsertionTest, Utf8PageGetsAUtf8TagAndKeepsEveryOtherByte)
{
    const std::string head = "<head>\r\n<meta charset=\"utf-8\">\r\n<title>Caf\xC3\xA9 \xE2\x82\xAC</title>\r\n";
    const std::string rest = "</head>\r\n<body>\xC5\x93uvre \xF0\x9F\x98\x80</body>\r\n";
    writeBytes(folder.path("u.htm"), head + rest);
    InsertRequest request;
    request.tag = "<meta name=\"keywords\" content=\"caf\xE9, \x9C" "uvre\">";
    request.path = folder.path("u.htm");
    request.utf8 = true;
    request.logNewTag = true;
    EXPECT_EQ(insertMetaTag(request, &log).result, kInserted);
    EXPECT_EQ(readBytes(folder.path("u.htm")),
              head + "<meta name=\"keywords\" content=\"caf\xC3\xA9, \xC5\x93uvre\">\r\n" + rest);
    // The report stays in Windows-1252.
    EXPECT_EQ(log.text(), "\r\nNEW: " + request.tag);
}

TEST_F(InsertionTest, KeepsPermissionBits)
{
    writeBytes(folder.path("private.htm"), "<head></head>");
    ::chmod(folder.path("private.htm").c_str(), 0640);
    EXPECT_EQ(insert("private.htm", true).result, kInserted);
    struct stat status {};
    ASSERT_EQ(::stat(folder.path("private.htm").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(InsertionTest, RewritesALinkedPageAtItsTarget)
{
    std::filesystem::create_directory(std::filesystem::path(folder.path()) / "real");
    writeBytes(std::filesystem::path(folder.path()) / "real" / "page.htm", "<head></head>");
    std::filesystem::create_symlink("real/page.htm", std::filesystem::path(folder.path()) / "link.htm");
    EXPECT_EQ(insert("link.htm", true).result, kInserted);
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::path(folder.path()) / "link.htm"));
    EXPECT_EQ(readBytes(std::filesystem::path(folder.path()) / "real" / "page.htm"),
              "<head>\r\n" + kTag + "\r\n</head>");
    EXPECT_EQ(readBytes(std::filesystem::path(folder.path()) / "real" / "page.bak.htm"), "<head></head>");
}

TEST_F(InsertionTest, ReadOnlyFolderFailsWithThePageIntact)
{
    writeBytes(folder.path("page.htm"), "<head></head>");
    // Root ignores permissions, so as root the folder goes to an ordinary user who inserts.
    if (testing::runningAsRoot()) {
        ASSERT_EQ(::chown(folder.path("page.htm").c_str(), test::kNobody, test::kNobody), 0);
        ASSERT_EQ(::chown(folder.path().c_str(), test::kNobody, test::kNobody), 0);
    }
    ::chmod(folder.path().c_str(), 0555);
    const int result = test::runUnprivileged([&] { return -insert("page.htm", true).result; });
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_EQ(-result, kInsertFailed);
    EXPECT_EQ(readBytes(folder.path("page.htm")), "<head></head>");
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"page.htm"});
}

TEST_F(InsertionTest, TheMarkersFingerprintFollowsTheTextAndNothingElse)
{
    const auto markerFingerprintOf = [&] {
        const std::string page = readBytes(folder.path("p.htm"));
        const auto at = page.find(" data-fingerprint=\"");
        return at == std::string::npos ? std::string() : page.substr(at + 19, 16);
    };
    const auto fingerprintOf = [&](const std::string& page) {
        writeBytes(folder.path("q.htm"), page);
        FileSystem fs;
        return textFingerprint(fs, folder.path("q.htm")).value_or("");
    };
    // An old tag in the middle of a line, an old marker, and the end of the head after text.
    const std::string page = "<html><head><title>T</title><meta name=\"keywords\" content=\"old\">"
                             "<meta name=\"x\">\r\n<meta name=\"QOVA done\" content=\"2020-01-01\">"
                             "<style>p{}</style></head>\r\n<body><p>tomatoes</p></body>\r\n";
    writeBytes(folder.path("p.htm"), page);
    ASSERT_EQ(insert("p.htm", false, true).result, kInserted);
    const std::string tagged = markerFingerprintOf();
    ASSERT_EQ(tagged.size(), 16u);
    EXPECT_EQ(fingerprintOf(page), tagged);
    EXPECT_EQ(fingerprintOf(readBytes(folder.path("p.htm"))), tagged);
    // Tagged again, or with the marker alone, the text is the same.
    ASSERT_EQ(insert("p.htm", false, true).result, kInserted);
    EXPECT_EQ(markerFingerprintOf(), tagged);
    ASSERT_EQ(insertDoneMetaTagOnly(folder.path("p.htm"), "2024-03-06").result, kInserted);
    EXPECT_EQ(markerFingerprintOf(), tagged);
    // Line ends and blanks at the ends of lines are no text; a word, a sign or another tag is.
    std::string lineFeeds = page;
    std::erase(lineFeeds, '\r');
    EXPECT_EQ(fingerprintOf(lineFeeds), tagged);
    EXPECT_EQ(fingerprintOf("  " + page + "\r\n\r\n"), tagged);
    for (const auto& [from, to] : {std::pair{"tomatoes", "tomatoe"}, {"<p>", "<p>!"},
                                    {"<style>", "<link><style>"}, {"\"x\"", "\"y\""}}) {
        std::string edited = page;
        edited.replace(edited.find(from), std::string(from).size(), to);
        EXPECT_NE(fingerprintOf(edited), tagged) << to;
    }
}

// The marker is written before the text after it is hashed, and given its fingerprint once the
// page is written: in what is still to be written, or in the file when that part is written out.
TEST_F(InsertionTest, TheMarkersFingerprintIsThatOfThePageWrittenWhateverItsLength)
{
    for (const std::string_view lineEnd : {"\r\n", "\n"}) {
        for (const std::size_t length : {std::size_t{500}, std::size_t{70'000}, std::size_t{300'000}}) {
            std::string page = "<html><head>  <title>T</title> \t" + std::string(lineEnd) + kTag +
                               std::string(lineEnd) + "</head>" + std::string(lineEnd) + "<body>";
            for (int line = 0; page.size() < length; ++line)
                page += "  <p>line " + std::to_string(line) + "</p> " + std::string(lineEnd);
            writeBytes(folder.path("p.htm"), page);
            ASSERT_EQ(insert("p.htm", false, true).result, kInserted);
            const std::string written = readBytes(folder.path("p.htm"));
            const auto at = written.find(" data-fingerprint=\"");
            ASSERT_NE(at, std::string::npos);
            FileSystem fs;
            EXPECT_EQ(written.substr(at + 19, 16), textFingerprint(fs, folder.path("p.htm")))
                << length << " bytes";
            EXPECT_EQ(test::withoutFingerprints(written).size() + 36, written.size());
        }
    }
}

// The writer hands what it holds to the file 64 KB at a time: bytes written earlier are
// replaced wherever they stand by then, in the file, in what it still holds, or across the two.
TEST_F(InsertionTest, BytesWrittenEarlierAreReplacedWhereverTheyStand)
{
    constexpr std::size_t kHandedOut = 64 * 1024;
    const int fd = ::open(folder.path("out.txt").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    FileSystem fs;
    PageWriter writer(fs, fd);
    writer.writeBytes(std::string(kHandedOut - 4, 'a') + "----");
    writer.writeBytes("----tail");
    writer.overwrite(kHandedOut - 4, "12345678");
    writer.overwrite(2, "bb");
    writer.overwrite(kHandedOut + 4, "TA");
    EXPECT_TRUE(writer.finish());
    ::close(fd);
    std::string expected(kHandedOut - 4, 'a');
    expected.replace(2, 2, "bb");
    EXPECT_TRUE(readBytes(folder.path("out.txt")) == expected + "12345678TAil");
}

TEST_F(InsertionTest, DoneMarkerAloneReplacesOldOnesAndLeavesKeywords)
{
    const std::string keywords = "<meta name=\"keywords\" content=\"k\">";
    writeBytes(folder.path("p.htm"), "<head>\r\n" + keywords + "\r\n<meta name=\"QOVA Done\" content=\"2020-01-01\"\r\n"
                                     "\r\n</head>");
    EXPECT_EQ(insertDoneMetaTagOnly(folder.path("p.htm"), "2024-03-05").result, kInserted);
    EXPECT_EQ(test::withoutFingerprints(readBytes(folder.path("p.htm"))),
              "<head>\r\n" + keywords + "\r\n\r\n" + kMarker + "\r\n</head>");

    const std::string headless = "<body>\r\n\r\n" + kMarker + "</body>";
    writeBytes(folder.path("headless.htm"), headless);
    EXPECT_EQ(insertDoneMetaTagOnly(folder.path("headless.htm"), "2024-03-05").result,
              kInsertHeadEndMissing);
    EXPECT_EQ(readBytes(folder.path("headless.htm")), headless);
}

} // namespace
} // namespace tagwright
