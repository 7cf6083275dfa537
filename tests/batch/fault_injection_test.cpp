// Every file operation of a rewrite is made to fail in turn; whatever fails, the page keeps its
// previous bytes under its own name, the result says so, and no temporary file stays behind.

#include "batch/done_marker.h"
#include "batch/insertion.h"
#include "faulty_file_system.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <linux/fs.h>

#include <cerrno>
#include <cstring>

namespace tagwright {
namespace {

using testing::FaultyFileSystem;
using testing::namesIn;
using testing::readBytes;
using testing::Step;
using testing::TempFolder;
using testing::writeBytes;

const std::string kTag = "<meta name=\"keywords\" content=\"alpha, beta\">";

// Big enough for several reads and writes.
std::string bigPage()
{
    std::string page =
        "<html>\r\n<head>\r\n<meta name=\"keywords\" content=\"old\">\r\n</head>\r\n<body>\r\n";
    while (page.size() < 200 * 1024)
        page += "<p>Some ordinary text of a page, line after line.</p>\r\n";
    return page + "</body>\r\n</html>\r\n";
}

InsertRequest requestFor(const std::string& path, bool backup)
{
    InsertRequest request;
    request.tag = kTag;
    request.path = path;
    request.backup = backup;
    request.withDone = true;
    request.doneDate = "2024-03-05";
    return request;
}

struct Scenario
{
    bool backup;
    bool olderBackupExists;
    bool hardLinks = true;
};

class FaultInjectionTest : public ::testing::TestWithParam<Scenario>
{
};

TEST_P(FaultInjectionTest, EveryFailingStepKeepsThePreviousPage)
{
    const Scenario scenario = GetParam();
    const std::string previous = bigPage();
    const std::string olderBackup = "an older backup";

    // A clean run tells how often each step is taken and what the page looks like after it.
    std::string expectedPage;
    FaultyFileSystem counter;
    if (!scenario.hardLinks)
        counter.withoutHardLinks();
    {
        TempFolder folder;
        writeBytes(folder.path("page.htm"), previous);
        if (scenario.olderBackupExists)
            writeBytes(folder.path("page.bak.htm"), olderBackup);
        ASSERT_EQ(
            insertMetaTag(requestFor(folder.path("page.htm"), scenario.backup), nullptr, counter)
                .result,
            kInserted);
        expectedPage = readBytes(folder.path("page.htm"));
    }

    int failuresInjected = 0;
    for (int s = 0; s < static_cast<int>(Step::Count); ++s) {
        const Step step = static_cast<Step>(s);
        for (int occurrence = 1; occurrence <= counter.calls(step); ++occurrence) {
            SCOPED_TRACE(std::string(stepName(step)) + " call " + std::to_string(occurrence));
            TempFolder folder;
            writeBytes(folder.path("page.htm"), previous);
            if (scenario.olderBackupExists)
                writeBytes(folder.path("page.bak.htm"), olderBackup);
            const auto namesBefore = namesIn(folder.path());

            FaultyFileSystem failing(step, occurrence);
            if (!scenario.hardLinks)
                failing.withoutHardLinks();
            const int result = insertMetaTag(requestFor(folder.path("page.htm"), scenario.backup),
                                             nullptr, failing)
                                   .result;
            if (!failing.failed())
                continue; // a link() call that the file system refuses anyway
            ++failuresInjected;

            if (result == kInserted) {
                // Only a failing clean-up of something already done may pass unnoticed.
                EXPECT_TRUE(readBytes(folder.path("page.htm")) == expectedPage);
                continue;
            }
            if (step == Step::FlushFolder) {
                // The folder is forced to the disk after the rename: the page is the new one,
                // and the failure is told.
                EXPECT_EQ(result, kInsertFailed);
                EXPECT_TRUE(readBytes(folder.path("page.htm")) == expectedPage);
                continue;
            }
            EXPECT_EQ(result, kInsertFailed);
            EXPECT_TRUE(readBytes(folder.path("page.htm")) == previous) << "the page changed";
            if (scenario.olderBackupExists) {
                const std::string backup = readBytes(folder.path("page.bak.htm"));
                EXPECT_TRUE(backup == olderBackup || backup == previous);
            }
            if (step != Step::Remove) {
                auto names = namesIn(folder.path());
                names.erase("page.bak.htm");
                auto expected = namesBefore;
                expected.erase("page.bak.htm");
                EXPECT_EQ(names, expected) << "a temporary file stayed behind";
            }
        }
    }
    EXPECT_GE(failuresInjected, 10);
}

INSTANTIATE_TEST_SUITE_P(BackupOrNot, FaultInjectionTest,
                         ::testing::Values(Scenario{false, false}, Scenario{false, true},
                                           Scenario{true, false}, Scenario{true, true},
                                           Scenario{true, true, false}));

TEST(FaultInjection, FailingCleanUpStillKeepsThePage)
{
    // The last rename fails and so does the removal of the temporary file: the page keeps its
    // bytes, the result says so, and only a hidden temporary file stays behind.
    TempFolder folder;
    writeBytes(folder.path("page.htm"), "<head></head>");
    FaultyFileSystem failing(Step::Rename, 2);
    failing.withoutRemoving();
    EXPECT_EQ(insertMetaTag(requestFor(folder.path("page.htm"), true), nullptr, failing).result,
              kInsertFailed);
    EXPECT_EQ(readBytes(folder.path("page.htm")), "<head></head>");
    EXPECT_EQ(readBytes(folder.path("page.bak.htm")), "<head></head>");
    for (const std::string& name : namesIn(folder.path()))
        EXPECT_TRUE(name == "page.htm" || name == "page.bak.htm" || name.starts_with(".tagwright-"))
            << name;
}

TEST(FaultInjection, AFullDiskIsNamedWhateverIsReadAfterIt)
{
    // The first write fails while most of the page is still to be read.
    TempFolder folder;
    writeBytes(folder.path("page.htm"), bigPage());
    FaultyFileSystem failing(Step::Write, 1, ENOSPC);
    const InsertOutcome outcome =
        insertMetaTag(requestFor(folder.path("page.htm"), false), nullptr, failing);
    EXPECT_EQ(outcome.result, kInsertFailed);
    EXPECT_EQ(outcome.causeText(), std::strerror(ENOSPC));
    // A run on several jobs tells a full disk by the error, whatever its description.
    EXPECT_TRUE(outcome.cause && outcome.cause->isLackOfSpace());
    EXPECT_EQ(readBytes(folder.path("page.htm")), bigPage());
}

TEST(FaultInjection, FileSystemWithoutHardLinksStillGetsABackup)
{
    TempFolder folder;
    writeBytes(folder.path("page.htm"), "<head></head>");
    FaultyFileSystem noLinks;
    noLinks.withoutHardLinks();
    EXPECT_EQ(insertMetaTag(requestFor(folder.path("page.htm"), true), nullptr, noLinks).result,
              kInserted);
    EXPECT_EQ(readBytes(folder.path("page.bak.htm")), "<head></head>");
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"page.htm", "page.bak.htm"}));
}

TEST(FaultInjection, AnImmutableOrAppendOnlyPageIsRefusedAndNoOlderBackupIsReplaced)
{
    // Flags seen from the first reading: before anything is made; from the second: set between
    // the preparation and the commit (chattr changes no time, so the page looks unchanged).
    for (const int flag : {FS_IMMUTABLE_FL, FS_APPEND_FL}) {
        for (const int fromReading : {1, 2}) {
            SCOPED_TRACE(std::to_string(flag) + " from reading " + std::to_string(fromReading));
            TempFolder folder;
            writeBytes(folder.path("page.htm"), "<head></head>");
            writeBytes(folder.path("page.bak.htm"), "an older backup");
            FaultyFileSystem flagged;
            flagged.withFileFlags(flag, fromReading);
            const InsertOutcome outcome =
                insertMetaTag(requestFor(folder.path("page.htm"), true), nullptr, flagged);
            EXPECT_EQ(outcome.result, kInsertFailed);
            EXPECT_EQ(outcome.causeText(), kUnalterableFile);
            EXPECT_EQ(readBytes(folder.path("page.htm")), "<head></head>");
            EXPECT_EQ(readBytes(folder.path("page.bak.htm")), "an older backup");
            EXPECT_EQ(namesIn(folder.path()),
                      (std::set<std::string>{"page.htm", "page.bak.htm"}));
        }
    }
}

TEST(FaultInjection, AFolderThatCannotBeForcedToTheDiskLeavesThePageWrittenAndSaysSo)
{
    TempFolder folder;
    writeBytes(folder.path("page.htm"), "<head></head>");
    FaultyFileSystem failing(Step::FlushFolder, 1);
    const InsertOutcome outcome =
        insertMetaTag(requestFor(folder.path("page.htm"), true), nullptr, failing);
    EXPECT_EQ(outcome.result, kInserted);
    EXPECT_EQ(outcome.backupFile, folder.path("page.bak.htm"));
    EXPECT_EQ(outcome.causeText(), std::string(kFolderNotFlushed) + " (" + std::strerror(EIO) + ").");
    EXPECT_NE(readBytes(folder.path("page.htm")).find(kTag), std::string::npos);
    EXPECT_EQ(readBytes(folder.path("page.bak.htm")), "<head></head>");
}

TEST(FaultInjection, DoneMarkerRewriteKeepsThePageOnEveryFailure)
{
    const std::string previous = bigPage();
    FaultyFileSystem counter;
    std::string expectedPage;
    {
        TempFolder folder;
        writeBytes(folder.path("page.htm"), previous);
        ASSERT_EQ(insertDoneMetaTagOnly(folder.path("page.htm"), "2024-03-05", counter).result,
                  kInserted);
        expectedPage = readBytes(folder.path("page.htm"));
    }
    for (const Step step : {Step::Open, Step::Create, Step::Read, Step::Write, Step::Flush,
                            Step::Close, Step::Rename, Step::SetMode, Step::CopyAttributes}) {
        for (int occurrence = 1; occurrence <= counter.calls(step); ++occurrence) {
            SCOPED_TRACE(std::string(stepName(step)) + " call " + std::to_string(occurrence));
            TempFolder folder;
            writeBytes(folder.path("page.htm"), previous);
            FaultyFileSystem failing(step, occurrence);
            const bool rewritten =
                insertDoneMetaTagOnly(folder.path("page.htm"), "2024-03-05", failing).result ==
                kInserted;
            // Only a failing close of the page read, after the rewrite is complete, may pass.
            EXPECT_TRUE(readBytes(folder.path("page.htm")) ==
                        (rewritten ? expectedPage : previous));
            EXPECT_EQ(rewritten, step == Step::Close && occurrence == counter.calls(Step::Close));
            EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"page.htm"});
        }
    }
}

} // namespace
} // namespace tagwright
