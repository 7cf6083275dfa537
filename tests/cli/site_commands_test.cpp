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
    const auto original = test::treeContents(folder.path("site"));
    ASSERT_EQ(run({"batch", "site", "--recursive", "--backup", "--today", "2024-03-05"}).exitStatus,
              0);
    const std::string foreign = "<html><head></head><body>another text</body></html>\r\n";
    folder.write("site/sub/other.htm", "<html><head><meta name=\"keywords\" content=\"x\"></head>"
                                       "<body>a text</body></html>\r\n");
    folder.write("site/sub/other.bak.htm", foreign);

    const CliResult restored = run({"restore", "site", "--recursive"});
    EXPECT_EQ(restored.exitStatus, 1); // the pair that is not this program's
    EXPECT_EQ(restored.out, "site/index.htm\trestored\n"
                            "site/sub/other.htm\tleft alone: the page and the backup differ "
                            "after </head>\n"
                            "site/sub/soil.html\trestored\n");
    auto now = test::treeContents(folder.path("site"));
    EXPECT_EQ(now["sub/other.bak.htm"], foreign);
    now.erase("sub/other.htm");
    now.erase("sub/other.bak.htm");
    EXPECT_EQ(now, original);
}

} // namespace
} // namespace tagwright
