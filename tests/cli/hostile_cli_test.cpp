// The command line where the machine works against it: whatever fails ends with the system's
// message on stderr and a non-zero exit, never a false success or a partial file.

#include "../support/temp_folder.h"
#include "cli_process.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using test::TempFolder;
using testing::CliResult;
using testing::runCli;

const std::string kPage = "<html><head><title>Garden</title></head><body>\r\n"
                          "<p>garden tomatoes garden tomatoes</p>\r\n</body></html>\r\n";

TEST(HostileCli, APageThatCannotBeReadFailsWithItsErrorNumber)
{
    TempFolder folder;
    const std::string page = folder.write("private.htm", kPage);
    ASSERT_EQ(::chmod(page.c_str(), 0), 0);
    for (const char* command : {"list", "generate"}) {
        const CliResult result = runCli({command, "private.htm"}, folder.path(), {}, true);
        EXPECT_EQ(result.exitStatus, 1) << command;
        EXPECT_EQ(result.out, "") << command;
        EXPECT_EQ(result.err, "An error of an unknown kind has occurred: 70\n") << command;
    }
}

TEST(HostileCli, OperandsBeginningWithADashAreReachedAfterDoubleDash)
{
    TempFolder folder;
    folder.write("-page.htm", kPage);
    std::filesystem::create_directory(folder.path("-site"));
    folder.write("-site/-index.htm", kPage);
    EXPECT_EQ(runCli({"show", "--", "-page.htm"}, folder.path()).exitStatus, 0);
    const CliResult inserted = runCli({"insert", "--today", "2024-03-05", "--", "-page.htm"}, folder.path());
    EXPECT_EQ(inserted.exitStatus, 0) << inserted.err;
    EXPECT_NE(test::readBytes(folder.path("-page.htm")).find("<meta name=\"keywords\""), std::string::npos);
    const CliResult batch = runCli({"batch", "--today", "2024-03-05", "--", "-site"}, folder.path());
    EXPECT_EQ(batch.exitStatus, 0) << batch.err;
    EXPECT_NE(test::readBytes(folder.path("-site/-index.htm")).find("<meta name=\"keywords\""), std::string::npos);
    // Without "--" the name is an unknown option: a usage error that touches nothing.
    EXPECT_EQ(runCli({"insert", "-page.htm"}, folder.path()).exitStatus, 2);
}

TEST(HostileCli, AReportThatCannotBeSavedLeavesNoFileBehind)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.path("site"));
    folder.write("site/index.htm", kPage);
    std::filesystem::create_directory(folder.path("taken"));
    std::filesystem::create_directory(folder.path("closed"));
    ASSERT_EQ(::chmod(folder.path("closed").c_str(), 0555), 0);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0777), 0); // the ordinary user writes the pages
    ASSERT_EQ(::chmod(folder.path("site").c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.path("site/index.htm").c_str(), 0666), 0);

    for (const char* report : {"missing/report.txt", "taken", "closed/report.txt"}) {
        const CliResult result =
            runCli({"batch", "site", "--today", "2024-03-05", "--report", report}, folder.path(), {}, true);
        EXPECT_EQ(result.exitStatus, 1) << report;
        EXPECT_NE(result.err, "") << report;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path("missing")));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path("taken")));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path("closed")));

    // A run that cannot start writes no report at all.
    const CliResult noFolder = runCli({"batch", "nowhere", "--report", "report.txt"}, folder.path());
    EXPECT_EQ(noFolder.exitStatus, 1);
    EXPECT_NE(noFolder.err, "");
    EXPECT_FALSE(std::filesystem::exists(folder.path("report.txt")));
}

} // namespace
} // namespace tagwright
