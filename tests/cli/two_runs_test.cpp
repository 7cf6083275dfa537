// Two runs over one tree, as real processes: a second run waits for the first, or ends at once
// with --no-wait, before it touches anything. The first run is this test holding the run's lock.

#include "../support/temp_folder.h"
#include "batch/run_lock.h"
#include "cli_process.h"
#include "tree_contents.h"

#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using test::TempFolder;
using testing::BackgroundCli;
using testing::runCli;
namespace fs = std::filesystem;

constexpr std::string_view kPage = "<html><head><title>Garden tomatoes</title></head><body>\r\n"
                                   "<p>garden tomatoes garden soil</p>\r\n</body></html>\r\n";

class TwoRuns : public ::testing::Test
{
  protected:
    TwoRuns()
    {
        for (const char* page : {"site/index.htm", "site/sub/a.htm", "site/side/b.htm"}) {
            fs::create_directories(fs::path(folder.path(page)).parent_path());
            folder.write(page, kPage);
        }
    }

    // Another run over a folder of the site, holding it until it is reset.
    void holdAsAnotherRun(const std::string& name)
    {
        other.emplace(folder.path(name), [](const std::string&) { return false; });
        ASSERT_EQ(other->state(), RunLock::State::Held);
    }

    TempFolder folder;
    std::optional<RunLock> other;
};

TEST_F(TwoRuns, ASecondRunWaitsForTheFirstOrWithNoWaitEndsAtOnce)
{
    holdAsAnotherRun("site");
    const auto before = test::treeContents(folder.path("site"));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"batch", "site", "--backup", "--no-wait"},
          std::vector<std::string>{"restore", "site", "--no-wait"}}) {
        const auto ended = runCli(args, folder.path());
        EXPECT_EQ(ended.exitStatus, 1) << args[0];
        EXPECT_EQ(ended.err, "tagwright-cli: site: Another run over this folder has not finished.\n")
            << args[0];
    }
    // A dry run writes nothing and waits for nothing.
    EXPECT_EQ(runCli({"batch", "site", "--dry-run"}, folder.path()).exitStatus, 0);

    BackgroundCli waiting({"batch", "site", "--recursive", "--backup"}, folder.path());
    ASSERT_TRUE(waiting.waitForStderr("waiting for another run over site...\n"));
    EXPECT_EQ(test::treeContents(folder.path("site")), before);
    other.reset();
    const auto finished = waiting.finish();
    EXPECT_EQ(finished.exitStatus, 0) << finished.err;
    EXPECT_NE(test::readBytes(folder.path("site/index.htm")), kPage);
    EXPECT_NE(test::readBytes(folder.path("site/sub/a.htm")), kPage);
}

// Trees overlap when one folder holds the other: a run over a folder below or above the one
// another run holds waits too; runs side by side do not.
TEST_F(TwoRuns, RunsOverAFolderAboveOrBelowWaitAndRunsSideBySideDoNot)
{
    const std::string site = fs::canonical(folder.path("site")).string();
    holdAsAnotherRun("site");
    const auto below = runCli({"batch", "site/sub", "--no-wait"}, folder.path());
    EXPECT_EQ(below.exitStatus, 1);
    EXPECT_EQ(below.err,
              "tagwright-cli: " + site + ": Another run over this folder has not finished.\n");

    holdAsAnotherRun("site/sub");
    const auto above = runCli({"batch", "site", "--recursive", "--no-wait"}, folder.path());
    EXPECT_EQ(above.exitStatus, 1);
    EXPECT_EQ(above.err, "tagwright-cli: site: Another run over this folder has not finished.\n");
    EXPECT_EQ(test::readBytes(folder.path("site/index.htm")), kPage);

    const auto side = runCli({"batch", "site/side", "--no-wait"}, folder.path());
    EXPECT_EQ(side.exitStatus, 0) << side.err;
    EXPECT_NE(test::readBytes(folder.path("site/side/b.htm")), kPage);
    EXPECT_EQ(test::readBytes(folder.path("site/sub/a.htm")), kPage);
}

} // namespace
} // namespace tagwright
