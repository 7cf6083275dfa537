#pragma once

// The analysis of the next pages of a batch run on worker threads, while the run's own thread
// keeps the walk's order for everything the user sees and every write. A worker never talks to
// a host: it records what its analysis would have asked or changed in the report, and the run
// asks and changes it when the page's turn comes. What a worker does is a guess that the page's
// turn may throw away: the run decides, and redoes what no longer holds as one job would.

#include "batch/file_system.h"
#include "batch/insertion.h"
#include "batch/old_tag_reader.h"
#include "batch/page_file.h"
#include "batch/recorded_host_calls.h"
#include "batch/safe_replace.h"
#include "engine/analysis.h"
#include "engine/analysis_settings.h"
#include "engine/common_words.h"
#include "engine/word_table.h"
#include "output/tag_settings.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace tagwright {

// One page analysed ahead: a plain value, handed from a worker to the run's thread.
struct PageAnalysis
{
    AnalysisOutcome outcome;
    WordTable table; // emptied once boxText is composed from it
    // What the analysis told its host (the Unix-type question among it, answered Yes); the run
    // tells the host at the page's turn.
    RecordedHostCalls calls;
    // The analysis met a question that changes its result (an invalid end-font tag), a failure
    // that escaped it, or a failure to read the page: the run analyses the page again itself.
    bool needsTheRun = false;
    // The worker expected the run to pass the page over and did not analyse it.
    bool passedOver = false;
    // The page as the worker found it before it read it: when it is no longer so at its turn,
    // the analysis is done again there, and nothing else the worker read of it stands.
    std::optional<FileStamp> analysed;
    // Its head (old tag and done marker), when the worker read it.
    std::optional<OldTagAndDoneDate> head;
    // What the worker composed and found to write the page ahead: the tag as the output box
    // shows it, and whether the page is UTF-8.
    std::optional<std::string> boxText;
    std::optional<bool> utf8;
    // The page's new content with the tag composed from the table, written and forced to the
    // disk ahead; the run commits it when it decides to write that very insertion.
    std::optional<PreparedInsertion> insertion;

    // Whether the page is still as the analysis read it.
    bool stillAsAnalysed(const PageFile& file, FolderAccess& access) const;
};

// What a worker knows of the run's decisions before a page's analysis, so that it leaves alone
// the pages that their turn passes over.
struct PassingOver
{
    // Whether the run admits a page: not another name of a page met before, nor a link out of
    // the tree. Called in the walk's order, one page at a time.
    std::function<bool(const PageFile& page)> admits;
    // The page's old tag and done marker as the run reads them (a short read of the head).
    std::function<OldTagAndDoneDate(const PageFile& page)> readHead;
    // Whether the run passes a page with that head over (done recently); none when the run
    // passes no page over for its head.
    std::function<bool(const OldTagAndDoneDate& head)> byHead;
};

// What a worker needs to write a page's new content ahead: the tag settings, the insertion as
// the run asks for it (the tag, the path and the encoding are the page's), the file
// operations, which must bear being called from several threads (bearsSeveralThreads), and
// whether the run would write the page with that tag and the head read before its analysis (not
// when it already carries the tag), so that no page is written ahead for nothing.
struct WriteAhead
{
    // Called on the workers' threads: a plain function, so that it reaches none of the run's
    // state, which only the run's thread may touch.
    using WouldWrite = bool (*)(const OldTagAndDoneDate& head, const std::string& tag, bool utf8);

    TagSettings tag;
    InsertRequest request;
    FileSystem* fs = nullptr;
    WouldWrite wouldWrite = nullptr;
};

// Pages are analysed on at most `jobs` threads at once, one a core. Where writing a page ahead is
// mostly waiting for the disk to take its new content (a flush of several milliseconds), spare
// threads beyond the analysing ones go on with the next pages while it waits, so that as many
// flushes overlap as the window lets pages go ahead; where a flush costs nothing, each worker
// writes the page it analysed and goes on, and no other thread is woken for it. What pages ahead hold in memory stays within
// kHeldAheadBudget, whatever the number of jobs and the size of the pages.
class AnalysisAhead
{
  public:
    // Spare threads that analyse and write pages ahead beside the analysing ones while the
    // flushes of pages wait for the disk.
    static constexpr unsigned kWritingThreads = 8;
    // How often a run that waits for a page lets its host look at Stop (and a window at input).
    static constexpr std::chrono::milliseconds kWaitInterval{20};
    // A larger page is written at its turn, as with one job: its writing (a page without line
    // ends is read, lowered and written whole, then flushed) cannot be given up, and a stop of the
    // run would wait for it.
    static constexpr std::uintmax_t kLargestPageWrittenAhead = 8 * 1024 * 1024;
    // The memory that the pages analysed ahead of the page the run waits for may take at most,
    // as heldBytesEstimate reckons it. The page the run waits for is analysed whatever its size,
    // as with one job.
    static constexpr std::size_t kHeldAheadBudget = std::size_t{192} * 1024 * 1024;

    // Starts threads that analyse with the run's settings and common words, which must outlive
    // this object, as must `access`, through which they look at pages: `jobs` of them, and
    // kWritingThreads more when pages are written ahead.
    AnalysisAhead(const AnalysisSettings& settings, const CommonWords& commonWords, unsigned jobs,
                  FolderAccess& access, PassingOver passingOver,
                  std::optional<WriteAhead> writeAhead = std::nullopt);
    AnalysisAhead(const AnalysisAhead&) = delete;
    AnalysisAhead& operator=(const AnalysisAhead&) = delete;
    // Drops what is pending and waits for the workers to end their current page.
    ~AnalysisAhead();

    // More pages to analyse, in the walk's order, after those added before: the pages of a run
    // are numbered from 0 in the order they were added, across the folders of its walk.
    void add(std::vector<PageFile> pages);
    // The analysis of the page at `index` of the pages added, waiting for it and asking
    // stopRequested every kWaitInterval of the wait; none when it answered true. The pages
    // before it are dropped.
    std::optional<PageAnalysis> take(std::size_t index, const std::function<bool()>& stopRequested);
    // Drops the pages before `index` (their files written ahead are removed), once none of them
    // is worked on any more: a folder's pages that the run did not take leave nothing behind
    // when the folder is done.
    void dropBefore(std::size_t index);
    // Removes the files of the pages written ahead (their analyses stay) and writes none until
    // the next page is taken, so that a write of the run's own stands as it would on one job (a
    // nearly full disk). Returns whether any file was written or being written ahead.
    bool releaseWrittenAhead();
    // The head that a worker read of the page at `index`, when it has done with the page and
    // the page (`file`, as the run knows it) is still as the worker found it; otherwise none,
    // and the run reads the head itself. Does not wait.
    std::optional<OldTagAndDoneDate> headReadAhead(std::size_t index, const PageFile& file);
    // Drops every page not yet taken; workers end their current analysis at its next step. Returns
    // once no page is worked on, so that no file written ahead outlives it. Pages added after it
    // are numbered from 0 again.
    void stop();

    // How many pages at most go ahead of the page taken last.
    std::size_t window() const { return window_; }

    // What analysing a page of that many bytes and holding its result may take at most: the
    // word table, which is bounded, and a line as long as the page.
    static std::size_t heldBytesEstimate(std::uintmax_t pageBytes);

  private:
    struct Held
    {
        PageAnalysis page;
        std::size_t bytes = 0; // as reserved from the budget
    };

    // A spare thread starts pages only while flushes wait for the disk.
    void work(std::stop_token stop, bool spare);
    bool mayStartNext();
    // Wakes one waiting worker when a page may be started, the lock let go meanwhile.
    void wakeAWorkerIfStartable(std::unique_lock<std::mutex>& lock);
    // The same, from the run's thread as it takes a page.
    void wakeAWorkerForRoom(std::unique_lock<std::mutex>& lock);
    // Whether a worker that has done with a page wakes the run's thread waiting for `awaited`.
    bool runMayGoOn(std::size_t awaited) const;
    std::size_t estimateOfNext();
    // One past the last page added.
    std::size_t endOfPages() const;
    const PageFile& page(std::size_t index) const;
    // Lets go of the pages before `index` that no worker will start.
    void forgetPagesBefore(std::size_t index);
    void erase(std::map<std::size_t, Held>::iterator first, std::map<std::size_t, Held>::iterator last);
    // The page's analysis, unless its head (read when the run's rules or the writing ahead
    // need it) tells that the run passes it over.
    PageAnalysis analyse(const PageFile& file) const;
    // The new content of an analysed page written and forced to the disk, when the run would
    // write it. Returns whether the writing waited for the disk.
    bool writeAhead(const PageFile& file, PageAnalysis& page) const;

    const AnalysisSettings& settings_;
    const CommonWords& commonWords_;
    FolderAccess& access_;
    PassingOver passingOver_;
    std::optional<WriteAhead> writeAhead_;
    unsigned jobs_;      // pages analysed at once
    std::size_t window_; // how far the workers may run ahead of the page taken last
    std::size_t wakeRoom_; // room in the window for which the run wakes a worker

    std::mutex mutex_;
    std::condition_variable_any startable_;      // workers wait here for a page to start
    std::condition_variable_any spareStartable_; // and spare threads here
    unsigned idleWorkers_ = 0;
    unsigned idleSpares_ = 0;
    std::condition_variable finished_;      // the run's thread waits here for pages worked on
    std::deque<PageFile> pages_; // from the page at firstPage_ on
    std::size_t firstPage_ = 0;
    std::size_t nextToStart_ = 0;
    std::size_t nextToTake_ = 0;
    std::size_t generation_ = 0; // counts stop(): results of pages dropped by it are dropped too
    unsigned analysing_ = 0;     // pages being analysed
    unsigned writing_ = 0;       // pages being written ahead
    std::set<std::size_t> working_; // pages being analysed or written
    bool writingHeld_ = false;   // no page is written ahead until the next is taken
    bool flushesWait_ = false;   // the last page written ahead waited for its flush
    std::optional<std::size_t> awaited_; // the page the run's thread waits for
    bool awaitsQuiet_ = false;   // the run's thread waits for writing or every page to end
    std::size_t reserved_ = 0;   // bytes of the budget taken by pages worked on or held
    std::optional<std::size_t> estimated_; // the page whose estimate is estimate_
    std::size_t estimate_ = 0;
    std::map<std::size_t, Held> done_;
    std::atomic<bool> stopping_ = false;
    std::vector<std::jthread> workers_;
};

} // namespace tagwright
