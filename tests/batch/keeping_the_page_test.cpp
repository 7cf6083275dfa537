// What a page was stays what it is after a rewrite: owner, group, ACL and extended attributes.
// A page whose rewrite cannot keep them, that nobody may write, or that changes while it is
// rewritten is not replaced; and no rewrite leaves a second name of a page or a temporary file
// behind, not even when a termination signal ends the program in the middle of it.

#include "../support/unprivileged.h"
#include "faulty_file_system.h"
#include "batch/done_marker.h"
#include "batch/insertion.h"
#include "batch/safe_replace.h"
#include "batch/temporary_files.h"
#include "support/termination_signals.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

namespace tagwright {
namespace {

using testing::namesIn;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

const std::string kPage = "<html><head><title>Garden</title></head><body>garden</body></html>\r\n";

InsertOutcome insert(const std::string& path, bool backup, FileSystem& fs)
{
    InsertRequest request;
    request.tag = "<meta name=\"keywords\" content=\"garden\">";
    request.path = path;
    request.backup = backup;
    return insertMetaTag(request, nullptr, fs);
}

InsertOutcome insert(const std::string& path, bool backup)
{
    FileSystem fs;
    return insert(path, backup, fs);
}

std::string attribute(const std::string& path, const char* name)
{
    std::string value(4096, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    return size < 0 ? std::string() : value.substr(0, static_cast<std::size_t>(size));
}

bool hasSetfacl()
{
    return std::system("command -v setfacl >/dev/null 2>&1") == 0;
}

TEST(KeepingThePage, OwnerGroupAclAndExtendedAttributesStay)
{
    TempFolder folder;
    const std::string page = folder.path("page.htm");
    writeBytes(page, kPage);
    ASSERT_EQ(::setxattr(page.c_str(), "user.origin", "hand-written", 12, 0), 0);
    if (hasSetfacl()) {
        ASSERT_EQ(std::system(("setfacl -m u:65534:rw '" + page + "'").c_str()), 0);
    }
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(page.c_str(), test::kNobody, test::kNobody), 0);
    }
    const std::string acl = attribute(page, "system.posix_acl_access");
    EXPECT_EQ(hasSetfacl(), !acl.empty());
    struct stat before
    {
    };
    ASSERT_EQ(::stat(page.c_str(), &before), 0);

    EXPECT_EQ(insert(page, true).result, kInserted);
    struct stat after
    {
    };
    ASSERT_EQ(::stat(page.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino); // really a new file
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(attribute(page, "user.origin"), "hand-written");
    EXPECT_EQ(attribute(page, "system.posix_acl_access"), acl);
}

// Changes the page while its new content is written, as another program might.
class PageChangingMeanwhile : public FileSystem
{
  public:
    explicit PageChangingMeanwhile(std::function<void()> change) : change_(std::move(change)) {}
    bool writeAll(int fd, std::string_view data) override
    {
        change_();
        return FileSystem::writeAll(fd, data);
    }

  private:
    std::function<void()> change_;
};

TEST(KeepingThePage, APageThatCannotStayWhatItWasIsNotReplaced)
{
    TempFolder folder;
    const std::string page = folder.path("page.htm");

    writeBytes(page, kPage);
    ::chmod(page.c_str(), 0444);
    InsertOutcome outcome = insert(page, true);
    EXPECT_EQ(outcome.result, kInsertFailed);
    EXPECT_EQ(outcome.causeText(), kReadOnlyFile);
    ::chmod(page.c_str(), 0644);

    PageChangingMeanwhile appending([&] {
        std::ofstream(page, std::ios::binary | std::ios::app) << "<p>added meanwhile</p>\r\n";
    });
    outcome = insert(page, true, appending);
    EXPECT_EQ(outcome.result, kInsertFailed);
    EXPECT_EQ(outcome.causeText(), kFileChanged);
    EXPECT_EQ(readBytes(page), kPage + "<p>added meanwhile</p>\r\n");
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"page.htm"});

    // Made private meanwhile: the new file, with the permissions read before, would open it.
    writeBytes(page, kPage);
    PageChangingMeanwhile hiding([&] { ::chmod(page.c_str(), 0600); });
    outcome = insert(page, false, hiding);
    EXPECT_EQ(outcome.result, kInsertFailed);
    EXPECT_EQ(outcome.causeText(), kFileChanged);
    EXPECT_EQ(readBytes(page), kPage);
    struct stat hidden
    {
    };
    ASSERT_EQ(::stat(page.c_str(), &hidden), 0);
    EXPECT_EQ(hidden.st_mode & 07777, 0600u);
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"page.htm"});
    ::chmod(page.c_str(), 0644);

    // Another user's page in a folder open to all: the new file would change its owner.
    if (::geteuid() == 0) {
        writeBytes(page, kPage);
        ::chmod(page.c_str(), 0666);
        ::chmod(folder.path().c_str(), 0777);
        // The failure names what cannot be kept, not only the system's bare reason.
        const int result = test::runUnprivileged([&] {
            const InsertOutcome refused = insert(page, false);
            return refused.result == kInsertFailed && refused.causeText().starts_with(kOwnerNotKept)
                       ? 0
                       : 1;
        });
        EXPECT_EQ(result, 0);
        struct stat status
        {
        };
        ASSERT_EQ(::stat(page.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, 0u);
        EXPECT_EQ(readBytes(page), kPage);
        EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"page.htm"});
    }
}

TEST(KeepingThePage, APageThatChangesOnceReadForItsFingerprintGetsNoMarker)
{
    // The marker alone keeps the keywords tags, so the page is read for its fingerprint and
    // again to be rewritten: one that changed in between would get the fingerprint of a text that
    // it no longer holds, and later show as edited since it was tagged.
    TempFolder folder;
    const std::string page = folder.path("page.htm");
    writeBytes(page, kPage);
    testing::FaultyFileSystem changing;
    changing.onlyFor(page);
    changing.changingThePageOnceRead();
    const InsertOutcome outcome = insertDoneMetaTagOnly(page, "2024-03-05", changing);
    EXPECT_EQ(outcome.result, kInsertFailed);
    EXPECT_EQ(outcome.causeText(), kFileChanged);
    const std::string now = readBytes(page);
    EXPECT_TRUE(now.size() > kPage.size() && now.starts_with(kPage)) << now;
    EXPECT_EQ(now.find("QOVA done"), std::string::npos) << now;
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"page.htm"});
}

// Deletes the page as soon as it is open for reading, before the rewrite looks at what it is.
class PageDeletedOnceRead : public FileSystem
{
  public:
    int openForReading(const Folder& folder, const std::string& name) override
    {
        const int fd = FileSystem::openForReading(folder, name);
        ::unlinkat(folder.fd(), name.c_str(), 0);
        return fd;
    }
};

TEST(KeepingThePage, APageThatCannotBeLookedAtOrIsGoneIsNotWrittenAnew)
{
    TempFolder folder;
    const std::string page = folder.path("page.htm");
    writeBytes(page, kPage);
    ::chmod(page.c_str(), 0640);
    ASSERT_EQ(::setxattr(page.c_str(), "user.origin", "kept", 4, 0), 0);

    // Whichever look at the page fails, it is left as it was: a new file would not be it.
    for (const testing::Step step : {testing::Step::Status, testing::Step::OpenStatus}) {
        SCOPED_TRACE(testing::stepName(step));
        testing::FaultyFileSystem failing(step, 1, EIO);
        const InsertOutcome outcome = insert(page, true, failing);
        EXPECT_EQ(outcome.result, kInsertFailed);
        EXPECT_EQ(outcome.causeText(), std::strerror(EIO));
        EXPECT_EQ(readBytes(page), kPage);
        EXPECT_EQ(attribute(page, "user.origin"), "kept");
        EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"page.htm"});
    }

    // Deleted after it was read: it changed, and it is not made anew.
    PageDeletedOnceRead deleting;
    const InsertOutcome outcome = insert(page, true, deleting);
    EXPECT_EQ(outcome.result, kInsertFailed);
    EXPECT_EQ(outcome.causeText(), kFileChanged);
    EXPECT_TRUE(namesIn(folder.path()).empty());
}

TEST(KeepingThePage, NoSecondNameOfAPageIsLeftBehind)
{
    // The backup name already is a second name of the page.
    TempFolder folder;
    writeBytes(folder.path("page.htm"), kPage);
    ASSERT_EQ(::link(folder.path("page.htm").c_str(), folder.path("page.bak.htm").c_str()), 0);
    EXPECT_EQ(insert(folder.path("page.htm"), true).result, kInserted);
    EXPECT_EQ(readBytes(folder.path("page.bak.htm")), kPage);
    EXPECT_NE(readBytes(folder.path("page.htm")), kPage);
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"page.htm", "page.bak.htm"}));

    // A name of the longest length allowed leaves room for no longer temporary name.
    const std::string longName = std::string(251, 'p') + ".htm";
    writeBytes(folder.path(longName), kPage);
    EXPECT_EQ(insert(folder.path(longName), false).result, kInserted);
    EXPECT_NE(readBytes(folder.path(longName)), kPage);
    EXPECT_EQ(namesIn(folder.path()).size(), 3u);
}

// Ends the program with a signal as the temporary file is made, in the middle of writing the new
// content, or as the backup's second name is made.
class SignalledMeanwhile : public FileSystem
{
  public:
    enum class Moment { Creating, Writing, Linking };

    SignalledMeanwhile(int signalNumber, Moment moment) : signal_(signalNumber), moment_(moment) {}
    int createNew(const Folder& folder, const std::string& name, mode_t mode) override
    {
        const int fd = FileSystem::createNew(folder, name, mode);
        signalAt(Moment::Creating);
        return fd;
    }
    bool writeAll(int fd, std::string_view data) override
    {
        signalAt(Moment::Writing);
        return FileSystem::writeAll(fd, data);
    }
    bool link(const Folder& folder, const std::string& existing,
              const std::string& newName) override
    {
        const bool linked = FileSystem::link(folder, existing, newName);
        signalAt(Moment::Linking);
        return linked;
    }

  private:
    void signalAt(Moment moment) const
    {
        if (moment == moment_)
            ::raise(signal_);
    }

    int signal_;
    Moment moment_;
};

TEST(KeepingThePage, ATerminationSignalLeavesNoTemporaryFile)
{
    using Moment = SignalledMeanwhile::Moment;
    for (const Moment moment : {Moment::Creating, Moment::Writing, Moment::Linking}) {
        for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
            SCOPED_TRACE(::testing::Message()
                         << "moment " << static_cast<int>(moment) << ", signal " << signalNumber);
            TempFolder folder;
            writeBytes(folder.path("page.htm"), kPage);
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                catchTerminationSignals(removeTemporaryFilesAndEnd);
                SignalledMeanwhile signalled(signalNumber, moment);
                insert(folder.path("page.htm"), true, signalled);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber);
            EXPECT_EQ(readBytes(folder.path("page.htm")), kPage);
            EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"page.htm"});
        }
    }
}

} // namespace
} // namespace tagwright
