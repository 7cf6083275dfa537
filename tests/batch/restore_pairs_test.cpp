// Putting back the pairs of a run with backups over a tree of small folders: every pair told in
// order, a folder that another run writes in left as it is.

#include "batch/backup_pairs.h"
#include "batch_fixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tagwright {
namespace {

using namespace testing;
namespace fs = std::filesystem;

using RestorePairs = BatchRunTest;

TEST_F(RestorePairs, FoldersOfOnePageArePutBackSideBySideAndAHeldFolderIsLeftAlone)
{
    const int folders = 150; // more pairs than go side by side at once
    const auto name = [](int i) { return "f" + std::to_string(1000 + i); };
    for (int i = 0; i < folders; ++i) {
        fs::create_directory(file(name(i)));
        writeBytes(file(name(i) + "/page.htm"), page("Garden soil " + std::to_string(i)));
    }
    settings.includeAllSubfolders = true;
    settings.backup = true;
    ASSERT_EQ(run().filesInserted, folders);
    const std::string held = name(70);
    const std::string tagged = readBytes(file(held + "/page.htm"));
    const int otherRun = ::open(file(held).c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(otherRun, LOCK_EX), 0);

    const FoundPairs found = findBackupPairs(folder.path(), true, {"htm"});
    ASSERT_EQ(found.pairs.size(), static_cast<std::size_t>(folders));
    std::vector<std::string> told;
    RestoreRun restore;
    restore.pairDone = [&](const BackupPair& pair, const RestoreOutcome& outcome) {
        told.push_back(pair.page.folder->path());
        const bool isHeld = pair.page.folder->path() == file(held);
        EXPECT_EQ(outcome.result, isHeld ? RestoreResult::Failed : RestoreResult::Restored)
            << pair.page.path() << ": " << outcome.reason;
        if (isHeld) {
            EXPECT_EQ(outcome.reason, kFolderHeldByAnother);
        }
    };
    FileSystem disk;
    EXPECT_TRUE(restorePairs(found.pairs, disk, restore).empty());
    ::close(otherRun);

    ASSERT_EQ(told.size(), found.pairs.size());
    for (int i = 0; i < folders; ++i) {
        const auto at = static_cast<std::size_t>(i);
        EXPECT_EQ(told[at], found.pairs[at].page.folder->path());
        const std::string pageName = file(name(i) + "/page.htm");
        if (name(i) == held) {
            EXPECT_EQ(readBytes(pageName), tagged);
            EXPECT_TRUE(fs::exists(file(held + "/page.bak.htm")));
        } else {
            EXPECT_EQ(readBytes(pageName), page("Garden soil " + std::to_string(i))) << pageName;
            EXPECT_FALSE(fs::exists(file(name(i) + "/page.bak.htm")));
        }
    }
}

} // namespace
} // namespace tagwright
