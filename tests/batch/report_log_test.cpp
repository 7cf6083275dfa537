#include "batch/report_log.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tagwright {
namespace {

using testing::readBytes;
using testing::TempFolder;

TEST(ReportLog, CapacityIsInclusiveAndTheNoticeEndsTheLastWholeLine)
{
    ReportLog log(3000);
    std::string line(98, 'x');
    for (int i = 0; i < 29; ++i)
        log.output("\r\n" + line);
    ASSERT_EQ(log.text().size(), 2900u);
    log.output(std::string(100, 'y'));
    EXPECT_EQ(log.text().size(), 3000u);
    EXPECT_FALSE(log.isFull());

    log.output("z");
    EXPECT_TRUE(log.isFull());
    // 1000 characters go, then the partial line before the last CR LF.
    const std::string kept = log.text().substr(0, log.text().size() - kReportFullNotice.size() - 4);
    EXPECT_EQ(kept.size(), 1900u);
    EXPECT_TRUE(log.text().ends_with(std::string(98, 'x') + "\r\n\r\n" + std::string(kReportFullNotice)));
    const std::string full = log.text();
    log.output("dropped");
    EXPECT_EQ(log.text(), full);

    // Clearing the flag lets entries in again; a second overflow writes a second notice.
    log.clearFullFlag();
    log.output("\r\nagain");
    EXPECT_TRUE(log.text().ends_with("again"));
    log.output(std::string(3000, 'w'));
    EXPECT_TRUE(log.isFull());
    EXPECT_TRUE(log.text().ends_with(kReportFullNotice));
}

TEST(ReportLog, ALogWithASinkHandsOutEachLineWhenItIsCompleteAndHasNoCapacity)
{
    std::string handedOut;
    ReportLog log([&](std::string_view lines) { handedOut += lines; });
    EXPECT_TRUE(log.isEmpty());
    log.output("Folder: site\r\n");
    log.output("\r\nFile: a.htm  Now processing ...");
    EXPECT_EQ(handedOut, "Folder: site\r\n\r\n");
    // The line being written may still change its end.
    log.cutAt(log.text().size() - 20);
    log.output("  ---  Keywords meta tag inserted.");
    EXPECT_EQ(log.text(), "File: a.htm  ---  Keywords meta tag inserted.");
    log.output("\r\n" + std::string(2 * kReportCapacity, 'x'));
    const std::string lines = "Folder: site\r\n\r\nFile: a.htm  ---  Keywords meta tag inserted.\r\n";
    EXPECT_EQ(handedOut, lines);
    EXPECT_FALSE(log.isFull());
    log.handOutRest();
    EXPECT_EQ(handedOut, lines + std::string(2 * kReportCapacity, 'x'));
    EXPECT_EQ(log.handedOut(), handedOut.size());
    EXPECT_FALSE(log.isEmpty());
}

TEST(ReportLog, LoggingOffChangesNothing)
{
    ReportLog log;
    log.setLoggingOn(false);
    log.output("\r\nFile: a.htm");
    EXPECT_EQ(log.text(), "");
}

TEST(ReportLog, SavesAsUtf8WithAFinalLineEndAndReplacesAtomically)
{
    TempFolder folder;
    const std::string path = folder.path("report.txt");
    testing::writeBytes(path, "an older report that is much longer than the new one");
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(saveReportToFile("Folder: caf\xE9\r\nFile: a.htm", path), "");
    EXPECT_EQ(readBytes(path), "Folder: caf\xC3\xA9\r\nFile: a.htm\r\n");
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(testing::namesIn(folder.path()), std::set<std::string>{"report.txt"});
}

TEST(ReportLog, ANewReportFileGetsTheUsualPermissions)
{
    TempFolder folder;
    const mode_t mask = ::umask(022);
    EXPECT_EQ(saveReportToFile("text", folder.path("report.txt")), "");
    ::umask(mask);
    struct stat status {};
    ASSERT_EQ(::stat(folder.path("report.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
}

TEST(ReportLog, SavingIntoAMissingFolderFailsWithoutAFile)
{
    TempFolder folder;
    EXPECT_NE(saveReportToFile("text", folder.path("no/such/report.txt")), "");
    EXPECT_TRUE(testing::namesIn(folder.path()).empty());
}

} // namespace
} // namespace tagwright
