// A run whose pages are analysed ahead on several threads gives the report, the counts and
// every page (backups included) of the sequential run, byte for byte.

#include "batch_fixture.h"

#include "../support/unprivileged.h"
#include "batch/temporary_files.h"
#include "faulty_file_system.h"

#include <grp.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <new>
#include <random>
#include <stdexcept>
#include <thread>

namespace tagwright {
namespace {

using namespace testing;

namespace fs = std::filesystem;

// Pages of made-up prose with the markup and the corners a run meets.
std::string generatedPage(std::mt19937& random, int number)
{
    static const std::vector<std::string> words = {
        "tomato", "garden",  "soil",       "compost",  "seedling", "harvest",  "pruning", "mulch",
        "basil",  "trellis", "greenhouse", "watering", "blossom",  "tomatoes", "gardens", "roots"};
    std::uniform_int_distribution<std::size_t> word(0, words.size() - 1);
    const auto sentence = [&](int length) {
        std::string text;
        for (int i = 0; i < length; ++i)
            text += (i ? " " : "") + words[word(random)];
        return text;
    };
    std::string head = "<meta name=\"description\" content=\"" + sentence(5) + "\">\r\n";
    if (number % 3 == 0)
        head += "<meta name=\"keywords\" content=\"" + sentence(3) + "\">\r\n";
    if (number % 7 == 0)
        head += "<meta name=\"QOVA done\" content=\"2024-03-04\">\r\n"; // done yesterday
    std::string body;
    for (int paragraph = 0; paragraph < 20; ++paragraph)
        body += "<p><b>" + sentence(2) + "</b> " + sentence(30) + "</p>\r\n";
    if (number % 11 == 0)
        body += "</font> a closing font tag that no font tag opened\r\n";
    return "<html>\r\n<head>\r\n<title>" + sentence(4) + "</title>\r\n" + head +
           "</head>\r\n<body>\r\n" + body + "</body>\r\n</html>\r\n";
}

void writeTree(const fs::path& root)
{
    std::mt19937 random(13);
    int number = 0;
    for (const std::string folder : {"", "a", "a/deeper", "b"}) {
        fs::create_directories(root / folder);
        for (int i = 0; i < 25; ++i, ++number)
            writeBytes(root / folder / ("page" + std::to_string(i) + ".htm"),
                       generatedPage(random, number));
        writeBytes(root / folder / "unix.htm",
                   "<html>\n<head>\n<title>Garden soil</title>\n</head>\n<body>soil</body>\n");
        writeBytes(root / folder / "utf8.htm",
                   page("Caf\xC3\xA9 tomates \xC5\x93uvre", "<meta charset=\"utf-8\">\r\n"));
        writeBytes(root / folder / "no-head-end.htm",
                   "<html><title>Garden</title>\r\n<p>garden soil</p>\r\n");
        writeBytes(root / folder / "binary.htm",
                   std::string("<html>\0\0\0\0\0\0<head></head>", 25));
    }
    // A folder of one page each, and folders without pages between them: the workers go on
    // from one folder into the next.
    fs::create_directories(root / "posts" / "empty");
    for (int i = 0; i < 6; ++i, ++number) {
        fs::create_directories(root / "posts" / std::to_string(i));
        writeBytes(root / "posts" / std::to_string(i) / "index.htm", generatedPage(random, number));
    }
}

std::map<std::string, std::string> treeBytes(const fs::path& root)
{
    std::map<std::string, std::string> bytes;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            bytes[fs::relative(entry.path(), root).string()] = readBytes(entry.path());
    return bytes;
}

struct RunResult
{
    std::string report;
    BatchCounts counts;
    std::map<std::string, std::string> pages;
};

class ParallelRunTest : public BatchRunTest
{
  protected:
    RunResult runWith(unsigned jobs)
    {
        fs::remove_all(folder.path());
        fs::create_directories(folder.path());
        writeTree(folder.path());
        BatchJob job{folder.path(), settings, analysis, tag, commonWords, texts, today};
        job.jobs = jobs;
        ScriptedBatchHost batchHost;
        ScriptedAnalysisHost pageHost{batchHost};
        // A page written ahead on a worker is dropped, file and all, when it is declined.
        pageHost.declineUnixIn = {folder.path("a/unix.htm")};
        // Stop during a page analysed ahead stops it at its turn; the run goes on after it.
        pageHost.stopIn = {folder.path("b/page4.htm")};
        ReportLog report;
        RunResult result;
        result.counts = runBatch(job, batchHost, pageHost, report);
        result.report = report.text();
        result.pages = treeBytes(folder.path());
        return result;
    }
};

TEST_F(ParallelRunTest, ReportAndPagesAreThoseOfTheSequentialRun)
{
    settings.includeAllSubfolders = true;
    settings.backup = true;
    settings.addDone = true;
    settings.skipDone = true;
    settings.includeOldMetaTag = true;
    settings.includeNewMetaTag = true;
    analysis.dialogForUnixFiles = true;
    analysis.dialogForInvalidEndFontTag = true;

    const RunResult sequential = runWith(1);
    ASSERT_GE(sequential.counts.filesInserted, 60);
    ASSERT_NE(sequential.report.find("unix.htm  ---  Operation on this unix/linux file stopped."),
              std::string::npos);
    ASSERT_NE(sequential.report.find("page4.htm  ---  Operation on this file stopped."),
              std::string::npos);
    for (const unsigned jobs : {2u, 4u}) {
        SCOPED_TRACE(jobs);
        const RunResult parallel = runWith(jobs);
        EXPECT_EQ(parallel.report, sequential.report);
        EXPECT_EQ(parallel.counts.filesExamined, sequential.counts.filesExamined);
        EXPECT_EQ(parallel.counts.filesInserted, sequential.counts.filesInserted);
        EXPECT_EQ(parallel.counts.foldersWalked, sequential.counts.foldersWalked);
        EXPECT_EQ(parallel.counts.insertedFiles, sequential.counts.insertedFiles);
        EXPECT_EQ(parallel.counts.failures.size(), sequential.counts.failures.size());
        EXPECT_TRUE(parallel.pages == sequential.pages);
    }
}

// A run over pages of about 100 KB with a fault of the file system, on one job and on several.
class FaultyRunTest : public ParallelRunTest
{
  protected:
    RunResult runWith(unsigned jobs, const std::function<void(testing::FaultyFileSystem&)>& fault)
    {
        fs::remove_all(folder.path());
        fs::create_directories(folder.path());
        std::mt19937 random(5);
        for (int i = 0; i < 17; ++i) {
            std::string bytes = generatedPage(random, i + 1);
            while (bytes.size() < 100 * 1000)
                bytes.insert(bytes.rfind("</body>"), generatedPage(random, i + 1).substr(0, 4000));
            writeBytes(folder.path("page" + std::to_string(i) + ".htm"), bytes);
        }
        BatchJob job{folder.path(), settings, analysis, tag, commonWords, texts, today};
        job.jobs = jobs;
        testing::FaultyFileSystem files;
        files.onlyFor(folder.path("page3.htm"));
        fault(files);
        ScriptedBatchHost batchHost;
        ScriptedAnalysisHost pageHost{batchHost};
        ReportLog report;
        RunResult result;
        result.counts = runBatch(job, batchHost, pageHost, report, files);
        result.report = report.text();
        result.pages = treeBytes(folder.path());
        return result;
    }

    void expectTheRunOnOneJob(const std::function<void(testing::FaultyFileSystem&)>& fault)
    {
        const RunResult sequential = runWith(1, fault);
        ASSERT_EQ(sequential.counts.filesInserted, 17);
        for (const unsigned jobs : {2u, 8u}) {
            SCOPED_TRACE(jobs);
            const RunResult parallel = runWith(jobs, fault);
            EXPECT_EQ(parallel.counts.filesInserted, 17);
            EXPECT_TRUE(parallel.counts.failures.empty());
            EXPECT_EQ(parallel.report, sequential.report);
            EXPECT_TRUE(parallel.pages == sequential.pages);
        }
    }
};

TEST_F(FaultyRunTest, ANearlyFullDiskFailsNoPageThatOneJobWrites)
{
    // Room for one new page beside the old ones: the files written ahead take it, so a page
    // whose writing ahead failed is written again at its turn with nothing held ahead.
    expectTheRunOnOneJob([](testing::FaultyFileSystem& files) { files.withSpaceLeft(120000); });
}

TEST_F(FaultyRunTest, APageThatChangesAfterAWorkerReadItIsDoneAgainAtItsTurn)
{
    // One job reads the page as it is at its turn: several analyse it again then, and write it.
    settings.includeNewMetaTag = true;
    expectTheRunOnOneJob([](testing::FaultyFileSystem& files) { files.changingThePage(); });
}

// Counts the temporary files that a run creates, from any thread.
class CreationCounter : public FileSystem
{
  public:
    int createNew(const Folder& folder, const std::string& name, mode_t mode) override
    {
        ++created;
        return FileSystem::createNew(folder, name, mode);
    }

    std::atomic<int> created = 0;
};

TEST_F(ParallelRunTest, NoPageIsWrittenAheadThatTheRunWillNotWrite)
{
    settings.includeAllSubfolders = true;
    settings.addDone = true;
    // A second run over a tree done by a first: it finds pages done recently, or with their
    // tag already, and writes no more temporary files on several threads than on one.
    const auto createdBySecondRun = [&](unsigned secondJobs, bool skipDone) {
        settings.skipDone = false;
        runWith(1);
        settings.skipDone = skipDone;
        jobs = secondJobs;
        CreationCounter fs;
        run(folder.path(), fs);
        return fs.created.load();
    };
    for (const bool skipDone : {false, true}) {
        SCOPED_TRACE(skipDone);
        EXPECT_EQ(createdBySecondRun(2, skipDone), createdBySecondRun(1, skipDone));
    }
}

// A disk whose flush of a page waits: counts the flushes in flight at once, from any thread.
class SlowFlushes : public FileSystem
{
  public:
    bool flush(int fd) override
    {
        const int now = ++inFlight;
        for (int most = mostInFlight; now > most && !mostInFlight.compare_exchange_weak(most, now);)
            ;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        --inFlight;
        return FileSystem::flush(fd);
    }

    std::atomic<int> inFlight = 0;
    std::atomic<int> mostInFlight = 0;
};

TEST_F(ParallelRunTest, PagesWaitingForTheDiskLetOtherPagesBeWrittenMeanwhile)
{
    // Two jobs on a disk whose flushes wait: the run does not wait for them one or two at a
    // time, but lets the spare threads write the next pages while they wait.
    fs::remove_all(folder.path());
    fs::create_directories(folder.path());
    std::mt19937 random(5);
    for (int i = 0; i < 40; ++i)
        writeBytes(folder.path("page" + std::to_string(i) + ".htm"), generatedPage(random, 1));
    jobs = 2;
    SlowFlushes disk;
    EXPECT_EQ(run(folder.path(), disk).filesInserted, 40);
    EXPECT_GE(disk.mostInFlight.load(), 4);
}

// Holds the run's rename of one page until a worker has opened a page of another folder, or
// for at most ten seconds.
class HeldAtAFolderEnd : public FileSystem
{
  public:
    HeldAtAFolderEnd(std::string lastPage, std::string nextFolder)
        : lastPage_(std::move(lastPage)), nextFolder_(std::move(nextFolder))
    {
    }
    int openForReading(const Folder& folder, const std::string& name) override
    {
        if (folder.path() == nextFolder_ && std::this_thread::get_id() != runThread_) {
            const std::scoped_lock lock(mutex_);
            nextFolderRead_ = true;
            read_.notify_all();
        }
        return FileSystem::openForReading(folder, name);
    }
    bool rename(const Folder& folder, const std::string& from, const std::string& to) override
    {
        if (folder.pathOf(to) == lastPage_ && temporaryFileOwner(from)) {
            std::unique_lock lock(mutex_);
            readMeanwhile = read_.wait_for(lock, std::chrono::seconds(10),
                                           [this] { return nextFolderRead_; });
        }
        return FileSystem::rename(folder, from, to);
    }

    bool readMeanwhile = false;

  private:
    std::string lastPage_;
    std::string nextFolder_;
    std::thread::id runThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable read_;
    bool nextFolderRead_ = false;
};

TEST_F(ParallelRunTest, WorkersGoOnIntoTheNextFolderWhileTheRunFinishesOne)
{
    // A tree of small folders is treated on every core: the workers do not wait at a folder's
    // end for the run to write its last page, force the folder to the disk and list the next.
    for (const std::string name : {"a", "b"}) {
        fs::create_directories(folder.path(name));
        for (int i = 0; i < 2; ++i)
            writeBytes(folder.path(name + "/page" + std::to_string(i) + ".htm"),
                       page("Garden soil"));
    }
    settings.includeAllSubfolders = true;
    jobs = 2;
    HeldAtAFolderEnd disk(folder.path("a/page1.htm"), folder.path("b"));
    EXPECT_EQ(run(folder.path(), disk).filesInserted, 4);
    EXPECT_TRUE(disk.readMeanwhile);
}

TEST_F(ParallelRunTest, PagesDoneRecentlyAreNotAnalysedAhead)
{
    // The run passes them over at their turn: workers read their heads (through the file
    // system) and leave them. inotify sees every open of a page, by whatever means, though it
    // merges an open into one just before it (the closes in between keep most apart).
    std::set<std::string> done;
    for (int i = 0; i < 12; ++i) {
        const std::string name = "page" + std::to_string(i) + ".htm";
        const std::string marker =
            i % 2 == 0 ? "<meta name=\"QOVA done\" content=\"2024-03-04\">\r\n" : "";
        writeBytes(folder.path(name), page("Garden soil", marker));
        if (!marker.empty())
            done.insert(name);
    }
    settings.skipDone = true;
    settings.lessThanNDaysOld = 6;
    jobs = 2;
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, folder.path().c_str(), IN_OPEN | IN_CLOSE_NOWRITE), 0);
    testing::FaultyFileSystem files;
    EXPECT_EQ(run(folder.path(), files).filesInserted, 6);
    std::map<std::string, int> opened;
    alignas(inotify_event) char events[64 * 1024];
    for (ssize_t got; (got = ::read(watch, events, sizeof events)) > 0;) {
        for (char* at = events; at < events + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            if (event->len > 0 && (event->mask & IN_OPEN) != 0)
                ++opened[event->name];
            at += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);
    for (const std::string& name : done) {
        SCOPED_TRACE(name);
        EXPECT_GT(files.opens(folder.path(name)), 0);
        EXPECT_LE(opened[name], files.opens(folder.path(name)));
    }
}

// Marks a page done once a worker has written it ahead, before the run's thread reads the
// page: at its turn, the page's head is no longer the one the worker read.
class MarkedAfterItsWritingAhead : public FileSystem
{
  public:
    MarkedAfterItsWritingAhead(std::string page, std::string marked)
        : page_(std::move(page)), marked_(std::move(marked))
    {
    }
    int openForReading(const Folder& folder, const std::string& name) override
    {
        std::unique_lock lock(mutex_);
        lastRead_[std::this_thread::get_id()] = name;
        if (std::this_thread::get_id() == runThread_ && name == page_)
            changed_.wait_for(lock, std::chrono::seconds(10), [&] { return marked; });
        return FileSystem::openForReading(folder, name);
    }
    int createNew(const Folder& folder, const std::string& name, mode_t mode) override
    {
        const int fd = FileSystem::createNew(folder, name, mode);
        const std::scoped_lock lock(mutex_);
        if (std::this_thread::get_id() != runThread_ &&
            lastRead_[std::this_thread::get_id()] == page_)
            writtenAhead_ = fd;
        return fd;
    }
    bool close(int fd) override
    {
        const bool closed = FileSystem::close(fd);
        const std::scoped_lock lock(mutex_);
        if (fd == writtenAhead_ && !marked) {
            marked = true;
            writeBytes(folderPath + "/" + page_, marked_);
            changed_.notify_all();
        }
        return closed;
    }

    std::string folderPath;
    bool marked = false;

  private:
    const std::string page_;
    const std::string marked_;
    const std::thread::id runThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::thread::id, std::string> lastRead_;
    int writtenAhead_ = -1;
};

TEST_F(ParallelRunTest, APageWhoseHeadChangedAfterAWorkerReadItIsTakenAsItIsAtItsTurn)
{
    // One job reads the head at the page's turn and passes the page over as done; several must
    // not take the head their worker read before the marker came.
    for (int i = 0; i < 12; ++i)
        writeBytes(folder.path("page" + std::to_string(i) + ".htm"), page("Garden soil"));
    const std::string marked =
        page("Garden soil", "<meta name=\"QOVA done\" content=\"2024-03-04\">\r\n");
    settings.skipDone = true;
    settings.lessThanNDaysOld = 6;
    jobs = 2;
    MarkedAfterItsWritingAhead files("page3.htm", marked);
    files.folderPath = folder.path();
    EXPECT_EQ(run(folder.path(), files).filesInserted, 11);
    EXPECT_TRUE(files.marked);
    EXPECT_NE(log.text().find("page3.htm  ---  Done already on 2024-03-04."), std::string::npos)
        << log.text();
    EXPECT_EQ(readBytes(folder.path("page3.htm")), marked);
}

// Counts the program's temporary files that exist at once, from any thread.
class TemporaryFileCounter : public FileSystem
{
  public:
    int createNew(const Folder& folder, const std::string& name, mode_t mode) override
    {
        const int fd = FileSystem::createNew(folder, name, mode);
        if (fd >= 0)
            count(name, +1);
        return fd;
    }
    bool link(const Folder& folder, const std::string& existing,
              const std::string& newName) override
    {
        const bool linked = FileSystem::link(folder, existing, newName);
        if (linked)
            count(newName, +1);
        return linked;
    }
    bool rename(const Folder& folder, const std::string& from, const std::string& to) override
    {
        const bool renamed = FileSystem::rename(folder, from, to);
        if (renamed)
            count(from, -1);
        return renamed;
    }
    bool remove(const Folder& folder, const std::string& name) override
    {
        const bool removed = FileSystem::remove(folder, name);
        if (removed)
            count(name, -1);
        return removed;
    }

    int most = 0;

  private:
    void count(const std::string& name, int change)
    {
        if (!temporaryFileOwner(name))
            return;
        const std::scoped_lock lock(mutex_);
        existing_ += change;
        most = std::max(most, existing_);
    }

    std::mutex mutex_;
    int existing_ = 0;
};

TEST_F(ParallelRunTest, PagesWrittenAheadStayWhereATerminationSignalFindsTheirFiles)
{
    // However many jobs, no more pages are written ahead than the signal handler can remove.
    const int pages = 2 * static_cast<int>(kGuardedTemporaryFiles);
    for (int i = 0; i < pages; ++i)
        writeBytes(folder.path("page" + std::to_string(i) + ".htm"), page("Garden soil"));
    settings.backup = true;
    jobs = 40;
    TemporaryFileCounter fs;
    const BatchCounts counts = run(folder.path(), fs);
    EXPECT_EQ(counts.filesInserted, pages);
    EXPECT_GT(fs.most, 1);
    EXPECT_LE(fs.most, static_cast<int>(kGuardedTemporaryFiles));
}

// A file system whose rename fails with an exception, the way a failure that ends the walk
// does, once a page written ahead is on the disk beside the page being renamed.
class ThrowingAtRename : public FileSystem
{
  public:
    int createNew(const Folder& folder, const std::string& name, mode_t mode) override
    {
        const int fd = FileSystem::createNew(folder, name, mode);
        const std::scoped_lock lock(mutex_);
        created_ += fd >= 0 ? 1 : 0;
        changed_.notify_all();
        return fd;
    }
    bool rename(const Folder&, const std::string&, const std::string&) override
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return created_ >= 2; });
        throw std::runtime_error("The device went away.");
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int created_ = 0;
};

// Shows the failure that ended the walk, noting which files the folder held then.
class FailureWatcher : public ScriptedBatchHost
{
  public:
    explicit FailureWatcher(std::string folder) : folder_(std::move(folder)) {}
    void showError(std::string_view text) override
    {
        ScriptedBatchHost::showError(text);
        namesWhenShown = namesIn(folder_);
    }

    std::set<std::string> namesWhenShown;

  private:
    std::string folder_;
};

TEST_F(ParallelRunTest, AFailureThatEndsTheWalkLeavesNoPageWrittenAhead)
{
    std::set<std::string> pages;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "page" + std::to_string(i) + ".htm";
        writeBytes(folder.path(name), page("Garden soil"));
        pages.insert(name);
    }
    BatchJob job{folder.path(), settings, analysis, tag, commonWords, texts, today};
    job.jobs = 2;
    FailureWatcher watcher(folder.path());
    ScriptedAnalysisHost pageHost{watcher};
    ThrowingAtRename fs;
    const BatchCounts counts = runBatch(job, watcher, pageHost, log, fs);
    ASSERT_EQ(watcher.errors, std::vector<std::string>{"The device went away."});
    EXPECT_EQ(counts.filesInserted, 0);
    // While the failure is shown the folder's lock is gone: no file of the run is left there.
    EXPECT_EQ(watcher.namesWhenShown, pages);
    EXPECT_EQ(namesIn(folder.path()), pages);
}

// Runs out of memory whenever one page is opened to be read. With workersFirst, the run's own
// thread meets it only once a worker (writing the page ahead) has.
class OutOfMemoryAtPage : public FileSystem
{
  public:
    OutOfMemoryAtPage(std::string path, bool workersFirst)
        : path_(std::move(path)), workersFirst_(workersFirst)
    {
    }
    int openForReading(const Folder& folder, const std::string& name) override
    {
        if (folder.pathOf(name) != path_)
            return FileSystem::openForReading(folder, name);
        std::unique_lock lock(mutex_);
        if (std::this_thread::get_id() != runThread_) {
            metByWorker_ = true;
            changed_.notify_all();
        } else if (workersFirst_) {
            changed_.wait(lock, [&] { return metByWorker_; });
        }
        throw std::bad_alloc();
    }

  private:
    std::string path_;
    bool workersFirst_;
    std::thread::id runThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable changed_;
    bool metByWorker_ = false;
};

TEST_F(ParallelRunTest, RunningOutOfMemoryWhileAPageIsWrittenAheadEndsTheRunAsOnOneThread)
{
    // A worker that meets the failure as it writes the page ahead leaves the page to the run,
    // which meets it at the page's turn: the report and the pages of the run on one thread.
    const auto runWith = [&](unsigned jobs) {
        fs::remove_all(folder.path());
        fs::create_directories(folder.path());
        for (int i = 0; i < 8; ++i)
            writeBytes(folder.path("page" + std::to_string(i) + ".htm"), page("Garden soil"));
        BatchJob job{folder.path(), settings, analysis, tag, commonWords, texts, today};
        job.jobs = jobs;
        ScriptedBatchHost batchHost;
        ScriptedAnalysisHost pageHost{batchHost};
        OutOfMemoryAtPage fs(folder.path("page5.htm"), jobs > 1);
        ReportLog report;
        RunResult result;
        result.counts = runBatch(job, batchHost, pageHost, report, fs);
        EXPECT_EQ(batchHost.errors, std::vector<std::string>{"Insufficient memory."});
        result.report = report.text();
        result.pages = treeBytes(folder.path());
        return result;
    };
    const RunResult sequential = runWith(1);
    ASSERT_EQ(sequential.counts.filesInserted, 5);
    const RunResult parallel = runWith(2);
    EXPECT_EQ(parallel.report, sequential.report);
    EXPECT_EQ(parallel.counts.filesInserted, sequential.counts.filesInserted);
    EXPECT_TRUE(parallel.pages == sequential.pages);
}

// Counts the bytes that workers, not the run's own thread, read of one page through the file
// system: its head before the analysis, or the whole page to write it ahead.
class WatchedPage : public FileSystem
{
  public:
    explicit WatchedPage(std::string path) : path_(std::move(path)) {}
    int openForReading(const Folder& folder, const std::string& name) override
    {
        const int fd = FileSystem::openForReading(folder, name);
        if (folder.pathOf(name) == path_ && fd >= 0 && std::this_thread::get_id() != runThread_) {
            const std::scoped_lock lock(mutex_);
            watched_.insert(fd);
        }
        return fd;
    }
    ssize_t read(int fd, char* buffer, std::size_t size) override
    {
        const ssize_t got = FileSystem::read(fd, buffer, size);
        const std::scoped_lock lock(mutex_);
        if (got > 0 && watched_.contains(fd))
            readByWorkers += static_cast<std::size_t>(got);
        return got;
    }
    bool close(int fd) override
    {
        {
            const std::scoped_lock lock(mutex_);
            watched_.erase(fd);
        }
        return FileSystem::close(fd);
    }

    std::size_t readByWorkers = 0;

  private:
    std::string path_;
    std::thread::id runThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::set<int> watched_;
};

TEST_F(ParallelRunTest, AVeryLargePageIsWrittenAtItsTurnNotAhead)
{
    // Writing such a page cannot be given up: a Stop would wait for it, where a run on one job
    // ends at once.
    const std::string comment =
        "<!-- " + std::string(AnalysisAhead::kLargestPageWrittenAhead, '-') + " -->\r\n";
    writeBytes(folder.path("a.htm"), page("Garden soil"));
    writeBytes(folder.path("b.htm"), page("Garden soil") + comment);
    writeBytes(folder.path("c.htm"), page("Garden soil"));
    jobs = 2;
    WatchedPage fs(folder.path("b.htm"));
    EXPECT_EQ(run(folder.path(), fs).filesInserted, 3);
    EXPECT_LT(fs.readByWorkers, AnalysisAhead::kLargestPageWrittenAhead);
}

TEST_F(ParallelRunTest, WorkAheadLeavesTheRunItsDescriptorsUnderALowLimit)
{
    // Pages written ahead and folders listed ahead hold descriptors: under a low limit they take
    // a share of it only, and the run writes every page that one job writes.
    const int pages = 150;
    for (int i = 0; i < pages; ++i) {
        fs::create_directory(folder.path("post" + std::to_string(i)));
        writeBytes(folder.path("post" + std::to_string(i) + "/index.htm"), page("Garden soil"));
    }
    settings.includeAllSubfolders = true;
    settings.backup = true;
    const int result = test::runInChild([&] {
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
            return 2;
        limit.rlim_cur = std::min<rlim_t>(64, limit.rlim_max);
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0)
            return 2;
        jobs = 8;
        try {
            const BatchCounts counts = run();
            return counts.filesInserted == pages && counts.failures.empty() ? 0 : 1;
        } catch (...) {
            return 1;
        }
    });
    EXPECT_EQ(result, 0);
}

TEST_F(ParallelRunTest, ARunThatTheSystemGivesNoThreadsRunsOnOneJob)
{
    for (int i = 0; i < 3; ++i)
        writeBytes(folder.path("page" + std::to_string(i) + ".htm"), page("Garden soil"));
    // The limit of processes binds an ordinary user only: as root the pages and their folder go
    // to that user, who runs the run.
    if (::geteuid() == 0) {
        for (const auto& entry : fs::directory_iterator(folder.path()))
            ASSERT_EQ(::chown(entry.path().c_str(), test::kNobody, test::kNobody), 0);
        ASSERT_EQ(::chown(folder.path().c_str(), test::kNobody, test::kNobody), 0);
    }
    const int result = test::runInChild([&] {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(test::kNobody) != 0 ||
                                 ::setuid(test::kNobody) != 0))
            return 2;
        const rlimit noMoreThreads{1, 1};
        if (::setrlimit(RLIMIT_NPROC, &noMoreThreads) != 0)
            return 2;
        jobs = 2;
        try {
            return run().filesInserted == 3 ? 0 : 1;
        } catch (...) {
            return 1;
        }
    });
    EXPECT_EQ(result, 0);
}

} // namespace
} // namespace tagwright
