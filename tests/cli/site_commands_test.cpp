// check and restore on a site after a batch run, as real processes on real files.

#include "../support/temp_folder.h"
#include "cli_process.h"
#include "tree_contents.h"

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using test::readBytes;
using test::TempFolder;
using testing::CliResult;
using testing::runCli;
namespace fs = std::filesystem;

class SiteCommands : public ::testing::Test
{
  protected:
    SiteCommands()
    {
        fs::create_directories(folder.path("site/sub"));
        folder.write("site/index.htm", "<html><head><title>Garden tomatoes</title></head><body>\r\n"
                                       "<p>garden tomatoes garden soil</p>\r\n</body></html>\r\n");
        folder.write("site/sub/soil.html", "<html>\n<head>\n<title>Soil</title>\n"
                                           "<meta name=\"keywords\" content=\"old\"></head>\n"
                                           "<body>\n<p>soil soil worms</p>\n</body>\n</html>\n");
        folder.write("site/notes.htm", "no head here\r\n"); // passed over by rule
    }

    CliResult run(const std::vector<std::string>& args) const
    {
        return runCli(args, folder.path());
    }

    TempFolder folder;
};

TEST_F(SiteCommands, CheckPassesAfterABatchRunAndNamesWhatIsMissingOrStale)
{
    folder.write("site/twice.htm", "<html><head><meta name=\"keywords\" content=\"a\">\r\n"
                                   "<meta name=\"keywords\" content=\"b\"></head><body>\r\n"
                                   "<p>tomatoes tomatoes</p></body></html>\r\n");
    // A tag written by a script is no tag of the page, and a "<!--" in a script hides nothing.
    folder.write(
        "site/scripted.htm",
        "<html><head><script>var t = '<meta name=\"keywords\" content=\"s\">';</script>\r\n"
        "<meta name=\"keywords\" content=\"a\"><script>document.write(\"<!--\");</script>\r\n"
        "<meta name=\"QOVA done\" content=\"2024-03-05\"></head><body>\r\n"
        "<p>tomatoes tomatoes</p></body></html>\r\n");
    const CliResult before = run({"check", "site", "--recursive"});
    EXPECT_EQ(before.exitStatus, 1);
    EXPECT_EQ(before.out, "site/index.htm\tmissing\nsite/twice.htm\tseveral\n");

    ASSERT_EQ(run({"batch", "site", "--recursive", "--today", "2024-03-05"}).exitStatus, 0);
    const std::string contentBefore = readBytes(folder.path("site/index.htm"));
    EXPECT_EQ(run({"check", "site", "--recursive", "--today", "2024-03-06"}).exitStatus, 0);
    const CliResult stale =
        run({"check", "site", "--recursive", "--today", "2024-03-06", "--max-age", "1"});
    EXPECT_EQ(stale.exitStatus, 1);
    EXPECT_EQ(stale.out, "site/index.htm\tstale\nsite/scripted.htm\tstale\nsite/twice.htm\tstale\n"
                         "site/sub/soil.html\tstale\n");

    std::string page = contentBefore;
    const auto tag = page.find("<meta name=\"keywords\"");
    page.erase(tag, page.find('>', tag) + 1 - tag);
    folder.write("site/index.htm", page);
    const CliResult missing = run({"check", "site", "--recursive", "--today", "2024-03-06"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.out, "site/index.htm\tmissing\n");
    EXPECT_EQ(readBytes(folder.path("site/index.htm")), page); // check writes nothing
}

TEST_F(SiteCommands, TheSitesRecipePassesAfterEachRunAndFailsAfterAnEditOrALostTag)
{
    const auto edit = [&](const std::string& page, const std::string& from, const std::string& to) {
        std::string text = readBytes(folder.path(page));
        text.replace(text.find(from), from.size(), to);
        folder.write(page, text);
    };
    const auto keywordsTagOf = [&](const std::string& page) {
        const std::string text = readBytes(folder.path(page));
        const auto start = text.find("<meta name=\"keywords\"");
        return text.substr(start, text.find('>', start) + 1 - start);
    };
    const std::vector<std::string> batch = {"batch", "site", "--recursive", "--quiet"};
    const std::vector<std::string> check = {"check", "site", "--recursive"};
    ASSERT_EQ(run(batch).exitStatus, 0);
    EXPECT_EQ(run(check).exitStatus, 0);
    // A second run finds nothing to do, and the site still passes on later days.
    const auto tagged = test::treeContents(folder.path("site"));
    ASSERT_EQ(run(batch).exitStatus, 0);
    EXPECT_EQ(test::treeContents(folder.path("site")), tagged);
    EXPECT_EQ(run({"check", "site", "--recursive", "--today", "2031-01-01"}).exitStatus, 0);

    // A sign added leaves the words and so the tag as they were: the run renews the marker.
    edit("site/index.htm", "soil</p>", "soil!</p>");
    edit("site/sub/soil.html", "worms", "worms beetles");
    const CliResult edited = run(check);
    EXPECT_EQ(edited.exitStatus, 1);
    EXPECT_EQ(edited.out, "site/index.htm\tedited\nsite/sub/soil.html\tedited\n");
    const std::string keywords = keywordsTagOf("site/index.htm");
    const CliResult renewed = run({"batch", "site", "--recursive"});
    EXPECT_EQ(renewed.exitStatus, 0);
    EXPECT_NE(renewed.out.find("File: index.htm  ---  New keywords meta tag is the same as the "
                               "existing one.  ---  Done meta tag renewed: the text has changed "
                               "since it was tagged.\n"),
              std::string::npos)
        << renewed.out;
    EXPECT_EQ(keywordsTagOf("site/index.htm"), keywords);
    EXPECT_EQ(run(check).exitStatus, 0);

    edit("site/index.htm", keywords, "");
    edit("site/sub/soil.html", "</head>", "<meta name=\"keywords\" content=\"more\"></head>");
    const CliResult lost = run(check);
    EXPECT_EQ(lost.exitStatus, 1);
    EXPECT_EQ(lost.out, "site/index.htm\tmissing\nsite/sub/soil.html\tseveral\n");
    ASSERT_EQ(run(batch).exitStatus, 0);
    EXPECT_EQ(run(check).exitStatus, 0);
}

TEST_F(SiteCommands, CheckJudgesTheTagsOfPagesThatItsUserMayNotWrite)
{
    folder.write("site/twice.htm", "<html><head><meta name=\"keywords\" content=\"a\">\r\n"
                                   "<meta name=\"keywords\" content=\"b\"></head><body>\r\n"
                                   "<p>tomatoes tomatoes</p></body></html>\r\n");
    // A site that its checker may read but not write in (as root, the checker is nobody).
    for (const std::string& path : {folder.path(), folder.path("site"), folder.path("site/sub")})
        fs::permissions(path, fs::perms(0755));
    const CliResult site = runCli({"check", "site", "--recursive"}, folder.path(), {}, true);
    EXPECT_EQ(site.exitStatus, 1);
    EXPECT_EQ(site.out, "site/index.htm\tmissing\nsite/twice.htm\tseveral\n");
    EXPECT_EQ(site.err, "");
    const CliResult page = runCli({"check", "site/sub/soil.html"}, folder.path(), {}, true);
    EXPECT_EQ(page.exitStatus, 0);
    EXPECT_EQ(page.err, "");
}

TEST_F(SiteCommands, RestoreSaysWhyABackupItCannotReadIsLeftAlone)
{
    ASSERT_EQ(run({"batch", "site", "--backup", "--today", "2024-03-05"}).exitStatus, 0);
    fs::permissions(folder.path("site/index.bak.htm"), fs::perms::none);
    for (const std::string& path : {folder.path(), folder.path("site")})
        fs::permissions(path, fs::perms(0755));
    const CliResult restored = runCli({"restore", "site"}, folder.path(), {}, true);
    EXPECT_EQ(restored.exitStatus, 1);
    EXPECT_EQ(restored.out,
              "site/index.htm\tleft alone: the backup cannot be read (Permission denied)\n");
}

TEST_F(SiteCommands, RestoreGivesBackTheTreeOfBeforeABackupRunAndLeavesOtherPairsAlone)
{
    // A UTF-8 page with empty lines, an old marker and an old tag in its head, and an LF page
    // with a marker alone, beside the CR LF page without tags and the LF page with an old tag.
    folder.write("site/sub/marked.htm",
                 "<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n\r\n<title>Caf\xc3\xa9 "
                 "cr\xc3\xa8me</title>\r\n<meta name=\"QOVA done\" content=\"2023-01-02\">\r\n"
                 "<meta name=\"keywords\" content=\"vieux\">\r\n</head>\r\n<body>\r\n"
                 "<p>caf\xc3\xa9 cr\xc3\xa8me caf\xc3\xa9 \xc5\x93uvre</p>\r\n</body></html>\r\n");
    folder.write("site/lf.html", "<html><head>\n<meta name=\"qova done\" content=\"2023-01-02\">"
                                 "\n<title>Beans</title></head>\n<body><p>beans beans peas</p>\n"
                                 "</body></html>\n");
    const auto original = test::treeContents(folder.path("site"));
    ASSERT_EQ(run({"batch", "site", "--recursive", "--backup", "--today", "2024-03-05"}).exitStatus,
              0);
    const std::string foreign = "<html><head></head><body>another text</body></html>\r\n";
    folder.write("site/sub/other.htm", "<html><head><meta name=\"keywords\" content=\"x\"></head>"
                                       "<body>a text</body></html>\r\n");
    folder.write("site/sub/other.bak.htm", foreign);
    // A page made private after the run stays private.
    fs::permissions(folder.path("site/lf.html"), fs::perms(0600));

    const auto written = test::treeContents(folder.path("site"));
    const CliResult dryRun = run({"restore", "site", "--recursive", "--dry-run"});
    EXPECT_EQ(dryRun.exitStatus, 1);
    EXPECT_EQ(dryRun.out.substr(0, dryRun.out.find("site/sub/other.htm")),
              "site/index.htm\twould be restored\nsite/lf.html\twould be restored\n"
              "site/sub/marked.htm\twould be restored\n");
    EXPECT_EQ(test::treeContents(folder.path("site")), written);
    EXPECT_EQ(dryRun.err, "4 of 5 pages would be restored from their backups. 1 left alone. "
                          "Dry run: no file was written.\n");

    const CliResult restored = run({"restore", "site", "--recursive"});
    EXPECT_EQ(restored.exitStatus, 1); // the pair that is not this program's
    EXPECT_EQ(restored.out, "site/index.htm\trestored\n"
                            "site/lf.html\trestored\n"
                            "site/sub/marked.htm\trestored\n"
                            "site/sub/other.htm\tleft alone: the page is not what this program "
                            "makes of the backup\n"
                            "site/sub/soil.html\trestored\n");
    EXPECT_EQ(restored.err, "4 of 5 pages restored from their backups. 1 left alone.\n");
    auto now = test::treeContents(folder.path("site"));
    EXPECT_EQ(now["sub/other.bak.htm"], foreign);
    now.erase("sub/other.htm");
    now.erase("sub/other.bak.htm");
    EXPECT_EQ(now, original);
    EXPECT_EQ(fs::status(folder.path("site/lf.html")).permissions(), fs::perms(0600));
}

// Pairs that only look like this program's: a hand-made backup of a page with a hand-written
// tag, a page edited after the run, and a page that is a link out of the folder (whose target
// a run with backups did rewrite).
TEST_F(SiteCommands, RestoreLeavesAlonePairsThatItsRunsDidNotMakeAndWritesNothingOutside)
{
    folder.write("site/index.html", "<html><head><title>Garden 2024</title>\r\n"
                                    "<meta name=\"keywords\" content=\"garden, tomatoes\">\r\n"
                                    "</head><body>\r\n<p>garden tomatoes</p>\r\n</body></html>\r\n");
    folder.write("site/index.bak.html", "<html><head><title>Garden 2023</title>\r\n"
                                        "</head><body>\r\n<p>garden tomatoes</p>\r\n</body></html>\r\n");

    ASSERT_EQ(run({"batch", "site/sub", "--backup", "--today", "2024-03-05"}).exitStatus, 0);
    std::string edited = readBytes(folder.path("site/sub/soil.html"));
    edited.replace(edited.find("<title>"), 7, "<title>EDITED ");
    folder.write("site/sub/soil.html", edited);

    fs::create_directories(folder.path("shared"));
    fs::copy_file(folder.path("site/index.htm"), folder.path("shared/x.html"));
    ASSERT_EQ(run({"batch", "shared", "--backup", "--today", "2024-03-05"}).exitStatus, 0);
    fs::rename(folder.path("shared/x.bak.html"), folder.path("site/x.bak.html"));
    fs::create_symlink("../shared/x.html", folder.path("site/x.html"));

    const auto before = test::treeContents(folder.path());
    const CliResult restored = run({"restore", "site", "--recursive"});
    EXPECT_EQ(restored.exitStatus, 1);
    EXPECT_EQ(restored.out,
              "site/index.html\tleft alone: the page is not what this program makes of the "
              "backup\n"
              "site/x.html\tleft alone: the page is a link (a run keeps a linked page's backup "
              "beside its target)\n"
              "site/sub/soil.html\tleft alone: the page is not what this program makes of the "
              "backup\n");
    EXPECT_EQ(test::treeContents(folder.path()), before);
}

} // namespace
} // namespace tagwright
