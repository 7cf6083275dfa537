// Folders built to trip a batch run: links to devices, dangling links, link loops between
// folders, names no person would choose, and pages and subfolders that cannot be read. The run
// always finishes, treats every real page once and leaves everything else as it was.

#include "../support/unprivileged.h"
#include "batch/safe_replace.h"
#include "batch_fixture.h"
#include "faulty_file_system.h"
#include "support/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <thread>

namespace tagwright {
namespace {

using namespace testing;
namespace fs = std::filesystem;

using HostileFolder = BatchRunTest;

TEST_F(HostileFolder, LinksToDevicesDanglingLinksAndLoopsAreNeverFollowed)
{
    fs::create_directory(file("a"));
    fs::create_directory(file("b"));
    fs::create_directory_symlink("../b", file("a/to-b"));
    fs::create_directory_symlink("../a", file("b/to-a"));
    fs::create_symlink("/dev/zero", file("zero.htm"));
    fs::create_symlink("nowhere.htm", file("dangling.htm"));
    ASSERT_EQ(::mkfifo(file("a/pipe.htm").c_str(), 0600), 0);
    writeBytes(file("a/one.htm"), page("Tomatoes"));
    writeBytes(file("b/two.htm"), page("Tomatoes"));
    settings.includeAllSubfolders = true;

    const BatchCounts counts = run();
    EXPECT_EQ(counts.foldersWalked, 3);
    EXPECT_EQ(counts.filesInserted, 2);
    // Each is named in the report, and none is a failure.
    EXPECT_TRUE(counts.failures.empty());
    for (const char* line : {"File: zero.htm  ---  Passed over: a link to something other than "
                             "a file.",
                             "File: dangling.htm  ---  Passed over: a link that leads nowhere.",
                             "File: pipe.htm  ---  Passed over: not a regular file."})
        EXPECT_NE(log.text().find(line), std::string::npos) << line << "\n" << log.text();
    fs::create_symlink("loop.htm", file("loop.htm"));
    run();
    EXPECT_NE(log.text().find("File: loop.htm  ---  Passed over: a loop of links."),
              std::string::npos);
    EXPECT_EQ(occurrences(readBytes(file("a/one.htm")), "<meta name=\"keywords\""), 1u);
    EXPECT_EQ(occurrences(readBytes(file("b/two.htm")), "<meta name=\"keywords\""), 1u);
    EXPECT_EQ(fs::read_symlink(file("zero.htm")), "/dev/zero");
    EXPECT_EQ(fs::read_symlink(file("dangling.htm")), "nowhere.htm");
    EXPECT_TRUE(fs::is_fifo(file("a/pipe.htm")));
    EXPECT_FALSE(fs::exists(file("nowhere.htm")));
}

TEST_F(HostileFolder, NamesWithBlanksLineBreaksDashesAndInvalidUtf8AreTreated)
{
    const std::vector<std::string> names = {"with space.htm", "line\nbreak.htm", "-dash.htm",
                                            "--.htm",         "\xFF\xFE.htm",    "tab\there.html"};
    for (const std::string& name : names)
        writeBytes(file(name), page("Tomatoes"));
    const BatchCounts counts = run();
    EXPECT_EQ(counts.filesInserted, static_cast<std::int32_t>(names.size()));
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(occurrences(readBytes(file(name)), "<meta name=\"keywords\""), 1u);
    }
    // Quoted as the shell reads them back: a name keeps to its line and leads to its file.
    EXPECT_NE(log.text().find("\r\nFile: $'\\377\\376.htm'\r\nNEW: "), std::string::npos);
    EXPECT_NE(log.text().find("\r\nFile: $'line\\nbreak.htm'\r\nNEW: "), std::string::npos);
    EXPECT_EQ(namesIn(folder.path()).size(), names.size()); // no temporary file left behind
}

TEST_F(HostileFolder, AnUnreadablePageAndSubfolderAreReportedAndLeftAlone)
{
    fs::create_directory(file("closed"));
    writeBytes(file("closed/inside.htm"), page("Tomatoes"));
    writeBytes(file("private.htm"), page("Tomatoes"));
    writeBytes(file("open.htm"), page("Tomatoes"));
    settings.includeAllSubfolders = true;
    // As root, everything goes to an ordinary user, who then runs the batch.
    if (runningAsRoot()) {
        for (const auto& entry : fs::recursive_directory_iterator(folder.path()))
            ASSERT_EQ(::lchown(entry.path().c_str(), test::kNobody, test::kNobody), 0);
        ASSERT_EQ(::chown(folder.path().c_str(), test::kNobody, test::kNobody), 0);
    }
    ::chmod(file("private.htm").c_str(), 0);
    ::chmod(file("closed").c_str(), 0);
    const std::string report = file("report.txt");

    const int failedAndInserted = test::runUnprivileged([&] {
        const BatchCounts counts = run();
        writeBytes(report, log.text());
        return static_cast<int>(counts.failures.size() * 10 + counts.filesInserted);
    });
    ::chmod(file("closed").c_str(), 0755);
    ::chmod(file("private.htm").c_str(), 0644);

    // Both the page and the folder are failures of the run.
    EXPECT_EQ(failedAndInserted, 21);
    EXPECT_NE(readBytes(report).find("\r\nFolder: " + file("closed") +
                                     "  ---  The folder cannot be read (Permission denied).\r\n"),
              std::string::npos)
        << readBytes(report);
    EXPECT_EQ(occurrences(readBytes(file("open.htm")), "<meta name=\"keywords\""), 1u);
    EXPECT_EQ(readBytes(file("private.htm")), page("Tomatoes"));
    EXPECT_EQ(readBytes(file("closed/inside.htm")), page("Tomatoes"));
    EXPECT_NE(readBytes(report).find("\r\nFile: private.htm  --- Unexpected error: 70"),
              std::string::npos)
        << readBytes(report);
}

TEST_F(HostileFolder, NothingIsWrittenBesideAPageThatALinkLeadsToOutOfTheFolder)
{
    fs::create_directories(file("site"));
    fs::create_directory(file("other"));
    writeBytes(file("other/out.htm"), page("Tomatoes"));
    fs::create_symlink("../other/out.htm", file("site/out.htm"));
    for (const char* name : {"a.htm", "b.htm", "c.htm"})
        writeBytes(file("site/" + std::string(name)), page("Tomatoes"));
    // A file created and removed in the other folder would change its modification time.
    const struct timespec longAgo[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file("other").c_str(), longAgo, 0), 0);
    jobs = 2; // pages are written ahead of their turn on worker threads

    EXPECT_EQ(run(file("site")).filesInserted, 3);
    EXPECT_EQ(readBytes(file("other/out.htm")), page("Tomatoes"));
    struct stat other
    {
    };
    ASSERT_EQ(::stat(file("other").c_str(), &other), 0);
    EXPECT_EQ(other.st_mtim.tv_sec, longAgo[1].tv_sec);
}

TEST_F(HostileFolder, EachPageIsRewrittenOnceWhateverNamesLeadToIt)
{
    fs::create_directories(file("site/sub"));
    fs::create_directory(file("other"));
    writeBytes(file("site/a.htm"), page("Tomatoes"));
    fs::create_symlink("a.htm", file("site/link.htm"));
    fs::create_symlink("../a.htm", file("site/sub/also.htm"));
    writeBytes(file("other/out.htm"), page("Tomatoes"));
    fs::create_symlink("../other/out.htm", file("site/out.htm"));
    writeBytes(file("site/hard1.htm"), page("Tomatoes"));
    fs::create_hard_link(file("site/hard1.htm"), file("site/hard2.htm"));
    fs::create_directory_symlink("site", file("site-link"));
    settings.includeAllSubfolders = true;
    settings.backup = true;

    const BatchCounts counts = run(file("site-link")); // the walked folder is resolved too
    EXPECT_EQ(counts.filesInserted, 3);
    EXPECT_EQ(occurrences(readBytes(file("site/a.htm")), "<meta name=\"keywords\""), 1u);
    EXPECT_TRUE(fs::is_symlink(file("site/link.htm")));
    EXPECT_NE(
        log.text().find(
            "\r\nFile: link.htm  ---  Passed over: another name of a page already treated.\r\n"),
        std::string::npos)
        << log.text();
    EXPECT_NE(log.text().find(
                  "\r\nFile: also.htm  ---  Passed over: another name of a page already treated."),
              std::string::npos);
    EXPECT_NE(log.text().find(
                  "\r\nFile: out.htm  ---  Passed over: a link that leads out of the folder.\r\n"),
              std::string::npos);
    EXPECT_EQ(readBytes(file("other/out.htm")), page("Tomatoes"));
    EXPECT_FALSE(fs::exists(file("other/out.bak.htm")));
    // The backups hold the pages as they were before the run; two hard links are two pages.
    for (const char* name : {"a", "hard1", "hard2"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readBytes(file("site/" + std::string(name) + ".bak.htm")), page("Tomatoes"));
        EXPECT_EQ(occurrences(readBytes(file("site/" + std::string(name) + ".htm")),
                              "<meta name=\"keywords\""),
                  1u);
    }
}

TEST_F(HostileFolder, AFolderThatAnotherRunWritesInIsPassedOverAsAFailure)
{
    fs::create_directory(file("busy"));
    writeBytes(file("a.htm"), page("Tomatoes"));
    writeBytes(file("busy/b.htm"), page("Tomatoes"));
    settings.includeAllSubfolders = true;
    const int otherRun = ::open(file("busy").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(otherRun, LOCK_EX), 0);

    const BatchCounts counts = run();
    ::close(otherRun);
    EXPECT_EQ(counts.filesInserted, 1);
    EXPECT_EQ(readBytes(file("busy/b.htm")), page("Tomatoes"));
    EXPECT_NE(log.text().find("Folder: " + file("busy") +
                              "\r\n\r\nPassed over: another run is writing in this folder.\r\n"),
              std::string::npos)
        << log.text();
    ASSERT_EQ(counts.failures.size(), 1u);
    EXPECT_EQ(counts.failures[0].path, file("busy"));
    EXPECT_EQ(counts.failures[0].cause, "Another run is writing in this folder.");
}

TEST_F(HostileFolder, LeftoverTemporaryFilesGoWithTheNextRunThatWritesThere)
{
    const pid_t gone = ::fork(); // a process that has ended: its files belong to no live run
    if (gone == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string leftover = ".tagwright-" + std::to_string(gone) + "-0.tmp";
    const std::string live = ".tagwright-" + std::to_string(::getpid()) + "-9.tmp";
    for (const std::string& name : {leftover, live, std::string(".tagwright-notes.tmp")})
        writeBytes(file(name), "left over");
    writeBytes(file("a.htm"),
               page("Tomatoes", "<meta name=\"QOVA done\" content=\"2024-03-05\">\r\n"));
    settings.skipDone = true;

    run(); // writes nothing: leaves everything alone
    EXPECT_TRUE(fs::exists(file(leftover)));
    settings.skipDone = false;
    EXPECT_EQ(run().filesInserted, 1);
    EXPECT_EQ(namesIn(folder.path()),
              (std::set<std::string>{"a.htm", live, ".tagwright-notes.tmp"}));
}

// Puts a link to a page of another tree in the place of one page of the walked folder, as
// another user who may write in the folder could, once the run's own thread has taken up the
// page (pages worked on ahead are a guess that its turn checks again): as the run reads its old
// tag, or as the run is about to write the page, when it looks at what the name is.
class PageSwappedForALink : public FileSystem
{
  public:
    enum class Moment { Reading, Writing };

    PageSwappedForALink(std::string page, std::string linkTarget, Moment moment)
        : page_(std::move(page)), target_(std::move(linkTarget)), moment_(moment)
    {
    }
    int openForReading(const Folder& folder, const std::string& name) override
    {
        const int fd = FileSystem::openForReading(folder, name);
        if (onRunThread(folder, name)) {
            taken_ = true;
            if (moment_ == Moment::Reading)
                swap();
        }
        return fd;
    }
    bool nameStatus(const Folder& folder, const std::string& name, struct stat& status) override
    {
        if (moment_ == Moment::Writing && taken_ && onRunThread(folder, name))
            swap();
        return FileSystem::nameStatus(folder, name, status);
    }

  private:
    bool onRunThread(const Folder& folder, const std::string& name) const
    {
        return std::this_thread::get_id() == runThread_ && folder.pathOf(name) == page_;
    }
    void swap()
    {
        if (swapped_)
            return;
        swapped_ = true;
        // In one step, as rename does: a worker reading the page meanwhile finds one or the other.
        const std::string link = page_ + ".link";
        ::symlink(target_.c_str(), link.c_str());
        ::rename(link.c_str(), page_.c_str());
    }

    std::string page_;
    std::string target_;
    Moment moment_;
    std::thread::id runThread_ = std::this_thread::get_id();
    bool taken_ = false;
    bool swapped_ = false;
};

TEST_F(HostileFolder, APageSwappedForALinkMeanwhileIsAFailureAndNothingOutsideIsWritten)
{
    using Moment = PageSwappedForALink::Moment;
    settings.backup = true;
    for (const Moment moment : {Moment::Reading, Moment::Writing}) {
        for (const unsigned runJobs : {1u, 2u}) {
            SCOPED_TRACE(::testing::Message() << "moment " << static_cast<int>(moment) << ", jobs "
                                              << runJobs);
            fs::remove_all(folder.path());
            fs::create_directories(file("site"));
            fs::create_directory(file("other"));
            writeBytes(file("other/victim.htm"), page("Secret"));
            for (const char* name : {"a.htm", "b.htm", "c.htm"})
                writeBytes(file("site/" + std::string(name)), page("Tomatoes"));
            jobs = runJobs;
            PageSwappedForALink swapping(file("site/a.htm"), "../other/victim.htm", moment);

            const BatchCounts counts = run(file("site"), swapping);
            EXPECT_EQ(readBytes(file("other/victim.htm")), page("Secret"));
            EXPECT_EQ(namesIn(file("other")), std::set<std::string>{"victim.htm"});
            EXPECT_TRUE(fs::is_symlink(file("site/a.htm")));
            EXPECT_EQ(counts.filesInserted, 2);
            ASSERT_EQ(counts.failures.size(), 1u);
            EXPECT_EQ(counts.failures[0].path, file("site/a.htm"));
            EXPECT_EQ(counts.failures[0].cause, kFileChanged);
        }
    }
}

TEST_F(HostileFolder, AListingOrALookAtANameThatFailsIsAFailureOfTheRun)
{
    fs::create_directory(file("sub"));
    settings.includeAllSubfolders = true;
    struct Fault
    {
        Step step;
        int error;
        std::string failed;
        std::string line;
    };
    const std::vector<Fault> faults = {
        {Step::ListFolder, EIO, file("sub"),
         "Folder: " + file("sub") + "  ---  The folder cannot be read (Input/output error)."},
        {Step::OpenFolder, EMFILE, file("sub"),
         "Folder: " + file("sub") + "  ---  The folder cannot be read (Too many open files)."},
        {Step::Status, EIO, file("sub/b.htm"),
         "File: b.htm  ---  The file cannot be read (Input/output error)."},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(stepName(fault.step));
        writeBytes(file("a.htm"), page("Tomatoes"));
        writeBytes(file("sub/b.htm"), page("Tomatoes"));
        log.clear();
        // The listing of a folder, the opening of a folder or the look at a name fails for
        // that path alone.
        testing::FaultyFileSystem failing(fault.step, 1, fault.error);
        failing.onlyFor(fault.failed);
        failing.fromThenOn();
        const BatchCounts counts = run(folder.path(), failing);
        EXPECT_EQ(counts.filesInserted, 1);
        EXPECT_EQ(readBytes(file("sub/b.htm")), page("Tomatoes"));
        ASSERT_EQ(counts.failures.size(), 1u);
        EXPECT_EQ(counts.failures[0].path, fault.failed);
        EXPECT_EQ(counts.failures[0].cause, std::strerror(fault.error));
        EXPECT_NE(log.text().find(fault.line), std::string::npos) << log.text();
    }
}

// Makes a chain of folders by their descriptors, below any length of path the system takes.
int makeFolderIn(int parent, const std::string& name)
{
    if (::mkdirat(parent, name.c_str(), 0755) != 0)
        return -1;
    return ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// Removes a tree by descriptors, deepest first, where paths are too long to name it.
void removeTreeIn(int parent, const std::string& name)
{
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        ::unlinkat(parent, name.c_str(), 0);
        return;
    }
    const Folder folder(fd, name);
    std::vector<FolderEntry> entries;
    FolderAccess access;
    access.readNames(folder, entries);
    for (const FolderEntry& entry : entries)
        removeTreeIn(folder.fd(), entry.name);
    ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

TEST_F(HostileFolder, PagesDeeperThanAnyPathAreTreated)
{
    const std::string longName(200, 'd');
    int fd = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::size_t depth = folder.path().size();
    for (int level = 0; depth < PATH_MAX + 1000; ++level, depth += longName.size() + 1) {
        const int next = makeFolderIn(fd, longName);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    const int page = ::openat(fd, "deep.htm", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(page, 0);
    const std::string bytes = testing::page("Tomatoes");
    ASSERT_EQ(::write(page, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(page);
    settings.includeAllSubfolders = true;
    settings.backup = true;

    const BatchCounts counts = run();
    const int rewritten = ::openat(fd, "deep.htm", O_RDONLY | O_CLOEXEC);
    std::string after(4096, '\0');
    after.resize(static_cast<std::size_t>(::read(rewritten, after.data(), after.size())));
    ::close(rewritten);
    const bool backedUp = ::faccessat(fd, "deep.bak.htm", F_OK, 0) == 0;
    ::close(fd);
    const int top = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    removeTreeIn(top, longName);
    ::close(top);

    EXPECT_EQ(counts.filesInserted, 1);
    EXPECT_TRUE(counts.failures.empty());
    EXPECT_EQ(occurrences(after, "<meta name=\"keywords\""), 1u);
    EXPECT_TRUE(backedUp);
}

TEST_F(HostileFolder, LeftoverTemporaryFilesGoBesideALinksTargetInAnotherFolder)
{
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string leftover = ".tagwright-" + std::to_string(gone) + "-0.tmp";
    fs::create_directory(file("shared"));
    writeBytes(file("shared/x.htm"), page("Tomatoes"));
    writeBytes(file("shared/" + leftover), "left over");
    fs::create_symlink("shared/x.htm", file("x.htm"));

    EXPECT_EQ(run().filesInserted, 1); // the link's target, in a folder the walk does not enter
    EXPECT_EQ(occurrences(readBytes(file("shared/x.htm")), "<meta name=\"keywords\""), 1u);
    EXPECT_TRUE(fs::is_symlink(file("x.htm")));
    EXPECT_EQ(namesIn(file("shared")), std::set<std::string>{"x.htm"});
}

} // namespace
} // namespace tagwright
