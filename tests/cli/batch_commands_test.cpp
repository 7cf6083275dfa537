// show, insert and batch as real processes on real files.

#include "../support/marker_text.h"
#include "../support/temp_folder.h"
#include "cli_process.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tagwright {
namespace {

using testing::CliResult;
using testing::runCli;
using test::readBytes;
using test::TempFolder;

const std::string kPage = "<html>\r\n<head>\r\n<title>Tomato garden</title>\r\n"
                          "<meta name=\"Keywords\" content=\"old\">\r\n</head>\r\n<body>\r\n"
                          "<p>tomato tomato garden garden soil</p>\r\n</body>\r\n</html>\r\n";

class BatchCommands : public ::testing::Test
{
protected:
    CliResult run(const std::vector<std::string>& args) const { return runCli(args, folder.path()); }

    TempFolder folder;
};

TEST_F(BatchCommands, ShowPrintsTheTagsThePageCarries)
{
    folder.write("page.htm", kPage);
    const CliResult shown = run({"show", "page.htm"});
    EXPECT_EQ(shown.exitStatus, 0);
    EXPECT_EQ(shown.out, "TITLE: Tomato garden\n\nKEYWORDS meta tag: <meta name=\"Keywords\" content=\"old\">\n\n");
    const CliResult missing = run({"show", "missing.htm"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.err, "tagwright-cli: missing.htm: Input file not found.\n");
}

TEST_F(BatchCommands, InsertWritesTheTagWithBackupAndMarker)
{
    const std::string page = folder.write("page.htm", kPage);
    const CliResult inserted = run({"insert", "page.htm", "--backup", "--done", "--today", "2024-03-05"});
    EXPECT_EQ(inserted.exitStatus, 0) << inserted.err;
    EXPECT_EQ(inserted.out, "Meta tag inserted successfully into document.\n"
                            "The original file was backed up as\npage.bak.htm\n");
    EXPECT_EQ(readBytes(folder.path("page.bak.htm")), kPage);
    const std::string now = test::withoutFingerprints(readBytes(page));
    EXPECT_NE(now.find("<meta name=\"keywords\" content=\"tomato, garden"), std::string::npos) << now;
    EXPECT_NE(now.find("\r\n<meta name=\"QOVA done\" content=\"2024-03-05\">\r\n</head>"), std::string::npos) << now;
    EXPECT_EQ(now.find("content=\"old\""), std::string::npos);
}

TEST_F(BatchCommands, InsertRefusalsFailAndLeaveThePage)
{
    const std::string headless = "<html><title>Tomato garden</title><p>tomato garden tomato garden</p>\r\n";
    folder.write("headless.htm", headless);
    const CliResult refused = run({"insert", "headless.htm", "--backup"});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.err, "tagwright-cli: headless.htm: Keywords meta tag NOT inserted because "
                           "</head> is missing.\n");
    EXPECT_EQ(readBytes(folder.path("headless.htm")), headless);
    EXPECT_FALSE(std::filesystem::exists(folder.path("headless.bak.htm")));

    EXPECT_EQ(run({"insert", "headless.htm", "--today", "someday"}).exitStatus, 2);
}

TEST_F(BatchCommands, BatchPrintsTheReportAndSavesIt)
{
    std::filesystem::create_directory(folder.path("site"));
    std::filesystem::create_directory(folder.path("site/sub"));
    folder.write("site/a.htm", kPage);
    folder.write("site/sub/b.html", kPage);
    const CliResult ran = run({"batch", "site", "--recursive", "--log-old", "--today", "2024-03-05",
                               "--report", "report.txt"});
    EXPECT_EQ(ran.exitStatus, 0) << ran.err;
    EXPECT_TRUE(ran.out.starts_with("Folder: site\n\nFile: a.htm\nOLD: <meta name=\"Keywords\" content=\"old\">\n"
                                    "NEW: <meta name=\"keywords\" content=\"tomato, garden"))
        << ran.out;
    EXPECT_NE(ran.out.find("\nFolder: site/sub\n\nFile: b.html\n"), std::string::npos) << ran.out;
    EXPECT_TRUE(ran.out.ends_with("A keywords meta tag was inserted in the following 2 files:\n\n"
                                  "site/a.htm\nsite/sub/b.html\n\n"))
        << ran.out;
    std::string saved = readBytes(folder.path("report.txt"));
    // Saved as printed: UTF-8 with LF.
    EXPECT_EQ(saved, ran.out);

    // A second run on the same day skips what the first one did.
    const CliResult again = run({"batch", "site", "--skip-done", "1", "--today", "2024-03-05"});
    EXPECT_EQ(again.exitStatus, 0);
    EXPECT_NE(again.out.find("File: a.htm  ---  Done already on 2024-03-05."), std::string::npos) << again.out;
}

TEST_F(BatchCommands, LfPagesAreShownRewrittenAndSkippedByTheirLines)
{
    std::filesystem::create_directory(folder.path("site"));
    std::filesystem::copy_file(std::string(TAGWRIGHT_TEST_DATA_DIR) + "/../examples/bakery.html",
                               folder.path("site/bakery.html"));
    const CliResult shown = run({"show", "site/bakery.html"});
    EXPECT_NE(
        shown.out.find(
            "\nKEYWORDS meta tag: <meta name=\"keywords\" content=\"bread, baking, recipes\">\n"),
        std::string::npos)
        << shown.out;

    std::string lfPage = kPage;
    std::erase(lfPage, '\r');
    folder.write("site/a.htm", lfPage);
    EXPECT_EQ(run({"batch", "site", "--today", "2024-03-05"}).exitStatus, 0);
    const std::string rewritten = test::withoutFingerprints(readBytes(folder.path("site/a.htm")));
    EXPECT_EQ(rewritten.find('\r'), std::string::npos) << rewritten;
    EXPECT_NE(rewritten.find("\n<meta name=\"QOVA done\" content=\"2024-03-05\">\n</head>\n"),
              std::string::npos)
        << rewritten;
    const CliResult again = run({"batch", "site", "--skip-done", "1", "--today", "2024-03-05"});
    EXPECT_NE(again.out.find("File: a.htm  ---  Done already on 2024-03-05."), std::string::npos)
        << again.out;
    EXPECT_NE(again.out.find("File: bakery.html  ---  Done already on 2024-03-05."),
              std::string::npos)
        << again.out;
}

TEST_F(BatchCommands, BatchFailuresAndUsageErrors)
{
    std::filesystem::create_directory(folder.path("site"));
    folder.write("site/a.htm", kPage);
    const CliResult missing = run({"batch", "nowhere"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.err, "tagwright-cli: nowhere: Folder does not exist\n");
    for (const auto& args : std::vector<std::vector<std::string>>{{"batch"},
                                                                  {"batch", "site", "--skip-done", "8"},
                                                                  {"batch", "site", "--ext", "htm,php"},
                                                                  {"batch", "site", "--log-old", "--no-log-new"},
                                                                  {"batch", "site", "--report", "--no-done"},
                                                                  {"batch", "site", "--today", "0000-01-01"},
                                                                  {"batch", "site", "--jobs", "0"},
                                                                  {"insert", "site/a.htm", "--today", "10000-01-01"}})
        EXPECT_EQ(run(args).exitStatus, 2) << args.back();
    EXPECT_EQ(readBytes(folder.path("site/a.htm")), kPage);
    // The operand is used as given: a blank is part of a name.
    EXPECT_EQ(run({"batch", "site "}).exitStatus, 1);
    EXPECT_EQ(run({"show", "site/a.htm "}).exitStatus, 1);

    // A report that cannot be saved leaves no file behind, and says so.
    const CliResult unsaved = run({"batch", "site", "--report", "no/such/folder/report.txt"});
    EXPECT_EQ(unsaved.exitStatus, 1);
    EXPECT_NE(unsaved.err.find("No such file or directory"), std::string::npos) << unsaved.err;
    EXPECT_FALSE(std::filesystem::exists(folder.path("no")));
}

} // namespace
} // namespace tagwright
