#include "batch/analysis_ahead.h"

#include "batch/temporary_files.h"
#include "engine/input_checks.h"
#include "output/meta_tag.h"
#include "support/descriptor_budget.h"

#include <sys/stat.h>
#include <sys/resource.h>

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <utility>

namespace tagwright {

namespace {

// A write ahead that blocked (the thread gave the CPU up) and spent longer than this waiting (its
// time by the clock beyond its thread's CPU time) waited for the disk's flush. Being preempted by
// another thread is not waiting for the disk.
constexpr std::chrono::microseconds kFlushWaits{200};

// Tells whether the calling thread, from the meter's construction, waited for the disk.
class WaitMeter
{
  public:
    WaitMeter() : wallStart_(std::chrono::steady_clock::now()), start_(threadUsage()) {}

    bool waitedForTheDisk() const
    {
        const rusage now = threadUsage();
        if (now.ru_nvcsw == start_.ru_nvcsw)
            return false;
        const auto wall = std::chrono::steady_clock::now() - wallStart_;
        return wall - (cpuTime(now) - cpuTime(start_)) > kFlushWaits;
    }

  private:
    static rusage threadUsage()
    {
        rusage usage{};
        ::getrusage(RUSAGE_THREAD, &usage);
        return usage;
    }
    static std::chrono::microseconds cpuTime(const rusage& usage)
    {
        const auto time = [](const timeval& t) {
            return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
        };
        return time(usage.ru_utime) + time(usage.ru_stime);
    }

    std::chrono::steady_clock::time_point wallStart_;
    rusage start_;
};

// What the page is now, a link followed to its target.
std::optional<FileStamp> pageStamp(const PageFile& file, FolderAccess& access)
{
    struct stat status
    {
    };
    if (!access.targetStatus(*file.folder, file.name, status))
        return std::nullopt;
    return fileStamp(status);
}

} // namespace

bool PageAnalysis::stillAsAnalysed(const PageFile& file, FolderAccess& access) const
{
    return analysed && pageStamp(file, access) == analysed;
}

AnalysisAhead::AnalysisAhead(const AnalysisSettings& settings, const CommonWords& commonWords,
                             unsigned jobs, FolderAccess& access, PassingOver passingOver,
                             std::optional<WriteAhead> writeAhead)
    : settings_(settings), commonWords_(commonWords), access_(access),
      passingOver_(std::move(passingOver)), writeAhead_(std::move(writeAhead)), jobs_(jobs)
{
    assert(!writeAhead_ ||
           (writeAhead_->fs->bearsSeveralThreads() && writeAhead_->wouldWrite != nullptr));
    const unsigned writing = writeAhead_ ? kWritingThreads : 0;
    // Pages that are written ahead go as far ahead as their temporary files may: while the run
    // waits for a long page (a large one analysed, or its flush), the other workers go on with
    // the pages after it instead of waiting with it. Every page ahead may hold a temporary file,
    // and so may the page taken last; the run's own rewrite of a page and the saved report need
    // one each: all of them must stay where a termination signal finds them. Each holds a
    // descriptor of its folder too, and the folders listed ahead share the descriptors set aside
    // for work ahead with them. What the pages ahead hold in memory stays within the budget
    // whatever the window.
    window_ = 2 * std::size_t{jobs};
    if (writeAhead_)
        window_ = std::min(kGuardedTemporaryFiles - 3,
                           std::max(window_, descriptorsForWorkAhead() / 2));
    // A worker that ran a whole window ahead is woken again once there is room for a few pages
    // each, not for every page the run takes.
    wakeRoom_ = std::min(window_ / 2, std::size_t{jobs} + writing / 2);
    for (unsigned i = 0; i < jobs + writing; ++i)
        workers_.emplace_back([this, spare = i >= jobs](std::stop_token stop) { work(stop, spare); });
}

AnalysisAhead::~AnalysisAhead()
{
    stop();
    for (std::jthread& worker : workers_)
        worker.request_stop();
}

std::size_t AnalysisAhead::heldBytesEstimate(std::uintmax_t pageBytes)
{
    // Measured: a word table with the words recorded for the host takes some 22 bytes for a
    // byte of a page of different words, up to 36 for the shortest words, and 32,767 words of
    // the longest kind some 11 MB; a page without line ends is one line, whose reading,
    // preparing and scanning take some four times its length.
    constexpr std::uintmax_t kLargestTable = 16 * 1024 * 1024;
    constexpr std::uintmax_t kBase = 64 * 1024;
    const std::uintmax_t bytes = kBase + std::min(pageBytes * 48, kLargestTable) + 5 * pageBytes;
    return static_cast<std::size_t>(std::min<std::uintmax_t>(bytes, SIZE_MAX / 2));
}

void AnalysisAhead::add(std::vector<PageFile> pages)
{
    std::unique_lock lock(mutex_);
    pages_.insert(pages_.end(), std::make_move_iterator(pages.begin()),
                  std::make_move_iterator(pages.end()));
    wakeAWorkerIfStartable(lock);
}

std::size_t AnalysisAhead::endOfPages() const
{
    return firstPage_ + pages_.size();
}

const PageFile& AnalysisAhead::page(std::size_t index) const
{
    return pages_[index - firstPage_];
}

void AnalysisAhead::forgetPagesBefore(std::size_t index)
{
    // Pages started are copied by their worker; the others before `index` are never started.
    const std::size_t end = std::min(index, nextToStart_);
    if (end <= firstPage_)
        return;
    const std::size_t count = std::min(end - firstPage_, pages_.size());
    pages_.erase(pages_.begin(), pages_.begin() + static_cast<std::ptrdiff_t>(count));
    firstPage_ += count;
}

void AnalysisAhead::erase(std::map<std::size_t, Held>::iterator first,
                          std::map<std::size_t, Held>::iterator last)
{
    for (auto held = first; held != last; ++held)
        reserved_ -= held->second.bytes;
    done_.erase(first, last);
}

std::optional<PageAnalysis> AnalysisAhead::take(std::size_t index,
                                                const std::function<bool()>& stopRequested)
{
    std::unique_lock lock(mutex_);
    erase(done_.begin(), done_.lower_bound(index));
    nextToTake_ = index + 1;
    writingHeld_ = false;
    // A page that no worker started (it was behind the window) is started now.
    nextToStart_ = std::max(nextToStart_, index);
    forgetPagesBefore(index);
    wakeAWorkerForRoom(lock);
    awaited_ = index;
    while (!finished_.wait_for(lock, kWaitInterval, [&] { return done_.contains(index); })) {
        lock.unlock();
        const bool stopped = stopRequested();
        lock.lock();
        if (stopped) {
            awaited_.reset();
            return std::nullopt;
        }
    }
    awaited_.reset();
    const auto held = done_.find(index);
    PageAnalysis page = std::move(held->second.page);
    erase(held, std::next(held));
    wakeAWorkerForRoom(lock);
    return page;
}

void AnalysisAhead::wakeAWorkerIfStartable(std::unique_lock<std::mutex>& lock)
{
    // Woken after the lock is let go, a worker does not wait for it at once. Each worker that
    // starts a page wakes the next one in turn: one wake for each page started, not one for
    // every thread. A spare thread is woken only while flushes wait and no worker is idle.
    if (!mayStartNext())
        return;
    std::condition_variable_any* startable = nullptr;
    if (idleWorkers_ > 0)
        startable = &startable_;
    else if (flushesWait_ && idleSpares_ > 0)
        startable = &spareStartable_;
    else
        return;
    lock.unlock();
    startable->notify_one();
    lock.lock();
}

void AnalysisAhead::wakeAWorkerForRoom(std::unique_lock<std::mutex>& lock)
{
    // Workers that ran a whole window ahead of the run are woken once there is room for several
    // pages, which they then go through without waiting; the page the run waits for is started
    // at once.
    const bool waitedFor = nextToStart_ < nextToTake_;
    if (waitedFor || nextToStart_ + wakeRoom_ <= nextToTake_ + window_)
        wakeAWorkerIfStartable(lock);
}

bool AnalysisAhead::releaseWrittenAhead()
{
    std::unique_lock lock(mutex_);
    writingHeld_ = true;
    bool held = writing_ > 0;
    awaitsQuiet_ = true;
    finished_.wait(lock, [&] { return writing_ == 0; });
    awaitsQuiet_ = false;
    for (auto& [index, page] : done_) {
        held = held || page.page.insertion.has_value();
        page.page.insertion.reset();
    }
    return held;
}

void AnalysisAhead::dropBefore(std::size_t index)
{
    std::unique_lock lock(mutex_);
    nextToStart_ = std::max(nextToStart_, index);
    forgetPagesBefore(index);
    awaitsQuiet_ = true;
    finished_.wait(lock, [&] { return working_.empty() || *working_.begin() >= index; });
    awaitsQuiet_ = false;
    erase(done_.begin(), done_.lower_bound(index));
}

void AnalysisAhead::stop()
{
    std::unique_lock lock(mutex_);
    pages_.clear();
    firstPage_ = 0;
    nextToStart_ = 0;
    nextToTake_ = 0;
    estimated_.reset();
    ++generation_;
    erase(done_.begin(), done_.end());
    stopping_ = true;
    awaitsQuiet_ = true;
    finished_.wait(lock, [&] { return working_.empty(); });
    awaitsQuiet_ = false;
    stopping_ = false;
    writingHeld_ = false;
}

std::size_t AnalysisAhead::estimateOfNext()
{
    if (estimated_ != nextToStart_) {
        estimated_ = nextToStart_;
        struct stat status
        {
        };
        const PageFile& file = page(nextToStart_);
        const bool known = access_.targetStatus(*file.folder, file.name, status);
        estimate_ = heldBytesEstimate(known ? static_cast<std::uintmax_t>(status.st_size) : 0);
    }
    return estimate_;
}

bool AnalysisAhead::mayStartNext()
{
    if (nextToStart_ >= endOfPages() || nextToStart_ >= nextToTake_ + window_ ||
        analysing_ >= jobs_)
        return false;
    // The page the run waits for goes whatever its size, as it would on one job.
    return nextToStart_ + 1 == nextToTake_ || reserved_ + estimateOfNext() <= kHeldAheadBudget;
}

void AnalysisAhead::work(std::stop_token stop, bool spare)
{
    std::unique_lock lock(mutex_);
    std::condition_variable_any& startable = spare ? spareStartable_ : startable_;
    unsigned& idle = spare ? idleSpares_ : idleWorkers_;
    for (;;) {
        ++idle;
        const bool started = startable.wait(
            lock, stop, [&] { return mayStartNext() && (!spare || flushesWait_); });
        --idle;
        if (!started)
            return;
        const std::size_t bytes = estimateOfNext();
        const std::size_t index = nextToStart_++;
        const std::size_t generation = generation_;
        const PageFile file = page(index);
        reserved_ += bytes;
        // In the walk's order, as the run meets the pages.
        const bool admitted = passingOver_.admits(file);
        ++analysing_;
        working_.insert(index);
        wakeAWorkerIfStartable(lock);
        lock.unlock();
        PageAnalysis page = admitted ? analyse(file) : PageAnalysis{};
        page.passedOver = !admitted || page.passedOver;
        lock.lock();
        // While a page's flush waits for the disk, another page is analysed in its place. Where
        // flushes cost nothing (a file system in memory), handing the place over would only wake
        // another thread for each page: the worker keeps it and goes on to the next page itself.
        const bool handsOver = flushesWait_;
        if (handsOver) {
            --analysing_;
            wakeAWorkerIfStartable(lock);
        }
        if (writeAhead_ && page.head && generation == generation_ && !writingHeld_) {
            ++writing_;
            lock.unlock();
            const bool waited = writeAhead(file, page);
            lock.lock();
            --writing_;
            // Only a page that was written tells how long a flush takes.
            if (page.insertion)
                flushesWait_ = waited;
        }
        if (!handsOver) {
            --analysing_;
            // A worker that kept its place starts the next page itself; a spare may not once
            // flushes no longer wait, and the place it leaves goes to a worker, who may be asleep
            // while the run waits for a page that no thread started.
            if (spare && !flushesWait_)
                wakeAWorkerIfStartable(lock);
        }
        if (generation == generation_) {
            if (writingHeld_)
                page.insertion.reset();
            done_.emplace(index, Held{std::move(page), bytes});
        } else {
            page = {}; // dropped with its file before stop() can return
            reserved_ -= bytes;
            wakeAWorkerIfStartable(lock);
        }
        working_.erase(index);
        // Only the run's thread waits there: woken when it waits for the workers to be done, or
        // once the page it waits for is done with the next few, so that it goes through them
        // at one wake, or with whatever is done when nothing more is being worked on.
        if (awaitsQuiet_ || (awaited_ && runMayGoOn(*awaited_))) {
            lock.unlock();
            finished_.notify_all();
            lock.lock();
        }
    }
}

bool AnalysisAhead::runMayGoOn(std::size_t awaited) const
{
    if (working_.empty())
        return done_.contains(awaited);
    // The run's thread goes through half the window at a wake while the workers fill the other
    // half: its work on a page is short beside a wake.
    const std::size_t last = std::min(awaited + window_ / 2, endOfPages());
    auto page = done_.find(awaited);
    for (std::size_t index = awaited; index < last; ++index, ++page) {
        if (page == done_.end() || page->first != index)
            return false;
    }
    return true;
}

PageAnalysis AnalysisAhead::analyse(const PageFile& file) const
{
    PageAnalysis page;
    RecordedHostCalls::Recorder host(page.calls, stopping_);
    try {
        // Taken before anything is read: all that the worker reads holds for the page as long
        // as it is still so.
        page.analysed = pageStamp(file, access_);
        if (passingOver_.byHead || writeAhead_)
            page.head = passingOver_.readHead(file);
        if (passingOver_.byHead && passingOver_.byHead(*page.head)) {
            page.passedOver = true;
            return page;
        }
        page.outcome =
            doFile(file.readPath(), settings_, commonWords_, host, page.table, file.path());
        // A failure to read the page is the run's to meet, and a page that changed while it was
        // read is read again at its turn.
        page.needsTheRun = page.calls.metEndFontQuestion() || page.outcome.result > 0 ||
                           !page.stillAsAnalysed(file, access_);
    } catch (...) {
        // A failure that escapes the analysis ends the walk: the run meets it at the page's turn.
        page.needsTheRun = true;
        page.head.reset();
    }
    return page;
}

std::optional<OldTagAndDoneDate> AnalysisAhead::headReadAhead(std::size_t index,
                                                              const PageFile& file)
{
    std::optional<OldTagAndDoneDate> head;
    std::optional<FileStamp> analysed;
    {
        const std::scoped_lock lock(mutex_);
        const auto held = done_.find(index);
        if (held == done_.end() || held->second.page.needsTheRun)
            return std::nullopt;
        head = held->second.page.head;
        analysed = held->second.page.analysed;
    }
    if (!head || !analysed || pageStamp(file, access_) != analysed)
        return std::nullopt;
    return head;
}

bool AnalysisAhead::writeAhead(const PageFile& file, PageAnalysis& page) const
{
    // A page reached through a link is written at its turn: the run may pass it over (another
    // name of a page, a link out of the folder), and writes nothing beside another tree's page.
    // So is a page larger than kLargestPageWrittenAhead, so that a stop never waits for it.
    // An LF page is written ahead like any other: when the Unix-type question is answered No at
    // the page's turn, the prepared content is dropped with the rest of the worker's result.
    // A failure that escapes the writing (memory for a page as long as the file) leaves the page
    // to the run, which meets the failure at the page's turn as a run on one thread does.
    const WaitMeter meter;
    try {
        struct stat status
        {
        };
        if (page.outcome.result != kAnalysisDone || page.needsTheRun || page.passedOver ||
            !writeAhead_->fs->nameStatus(*file.folder, file.name, status) ||
            !S_ISREG(status.st_mode) ||
            static_cast<std::uintmax_t>(status.st_size) > kLargestPageWrittenAhead)
            return false;
        page.boxText = generateKeywordMetaTag(page.table, writeAhead_->tag, settings_);
        // The run needs nothing of the table once the tag is composed: it goes here, on the
        // thread that made it, rather than being held ahead and freed by the run.
        page.table = WordTable{};
        page.utf8 = isUtf8Page(file.readPath());
        const InsertRequest request =
            writeAhead_->request.forPage(file, file.path(), getMetaTag(*page.boxText), *page.utf8);
        if (writeAhead_->wouldWrite(*page.head, request.tag, request.utf8))
            page.insertion = prepareInsertion(request, *writeAhead_->fs);
    } catch (...) {
        page.insertion.reset();
    }
    return meter.waitedForTheDisk();
}

} // namespace tagwright
