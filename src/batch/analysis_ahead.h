#pragma once

// The analysis of the next pages of a batch run on worker threads, while the run's own thread
// keeps the walk's order for everything the user sees and every write. A worker never talks to
// a host: it records what its analysis would have asked or changed in the report, and the run
// asks and changes it when the page's turn comes.

#include "batch/file_system.h"
#include "batch/insertion.h"
#include "batch/recorded_host_calls.h"
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
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace tagwright {

// One page analysed ahead: a plain value, handed from a worker to the run's thread.
struct PageAnalysis
{
    AnalysisOutcome outcome;
    WordTable table;
    // What the analysis told its host (the Unix-type question among it, answered Yes); the run
    // tells the host at the page's turn.
    RecordedHostCalls calls;
    // The analysis met a question that changes its result (an invalid end-font tag), or a
    // failure that escaped it: the run analyses the page again itself.
    bool needsTheRun = false;
    // The page's new content with the tag composed from the table, written and forced to the
    // disk ahead; the run commits it when it decides to write that very insertion.
    std::optional<PreparedInsertion> insertion;
};

// What a worker needs to write a page's new content ahead: the tag settings, the insertion as
// the run asks for it (the tag, the path and the encoding are the page's), the file
// operations, which must bear being called from several threads, and whether the run would
// write the page with that tag as its head reads now (not when it is done recently or already
// carries the tag), so that no page is written ahead for nothing.
struct WriteAhead
{
    TagSettings tag;
    InsertRequest request;
    FileSystem* fs = nullptr;
    std::function<bool(const PageFile& page, const std::string& tag, bool utf8)> wouldWrite;
};

// Pages are analysed on at most `jobs` threads at once, one a core. Writing a page ahead is mostly
// waiting for the disk to take its new content (a flush of several milliseconds): threads beyond
// the analysing ones write and flush the pages already analysed, so that as many flushes overlap
// as the window lets pages go ahead.
class AnalysisAhead
{
  public:
    // Threads that write pages ahead beside the analysing ones.
    static constexpr unsigned kWritingThreads = 8;
    // How often a run that waits for a page lets its host look at Stop (and a window at input).
    static constexpr std::chrono::milliseconds kWaitInterval{20};
    // A larger page is written at its turn, as with one job: its writing (a page without line
    // ends is read, lowered and written whole, then flushed) cannot be given up, and a stop of the
    // run would wait for it.
    static constexpr std::uintmax_t kLargestPageWrittenAhead = 1024 * 1024;

    // Starts threads that analyse with the run's settings and common words, which must outlive
    // this object: `jobs` of them, and kWritingThreads more when pages are written ahead.
    AnalysisAhead(const AnalysisSettings& settings, const CommonWords& commonWords, unsigned jobs,
                  std::optional<WriteAhead> writeAhead = std::nullopt);
    AnalysisAhead(const AnalysisAhead&) = delete;
    AnalysisAhead& operator=(const AnalysisAhead&) = delete;
    // Drops what is pending and waits for the workers to end their current page.
    ~AnalysisAhead();

    // The pages to analyse next, in the walk's order, in place of any still pending.
    void start(std::vector<PageFile> pages);
    // The analysis of the page at `index` of the paths started, waiting for it and asking
    // stopRequested every kWaitInterval of the wait; none when it answered true. The pages
    // before it are dropped.
    std::optional<PageAnalysis> take(std::size_t index, const std::function<bool()>& stopRequested);
    // Drops every page not yet taken; workers end their current analysis at its next step. Returns
    // once no page is worked on, so that no file written ahead outlives it.
    void stop();

  private:
    void work(std::stop_token stop);
    bool mayStartNext() const;
    PageAnalysis analyse(const PageFile& file) const;
    // The new content of an analysed page written and forced to the disk, when the run would
    // write it.
    void writeAhead(const PageFile& file, PageAnalysis& page) const;

    const AnalysisSettings& settings_;
    const CommonWords& commonWords_;
    std::optional<WriteAhead> writeAhead_;
    unsigned jobs_;      // pages analysed at once
    std::size_t window_; // how far the workers may run ahead of the page taken last

    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::vector<PageFile> pages_;
    std::size_t nextToStart_ = 0;
    std::size_t nextToTake_ = 0;
    std::size_t generation_ = 0; // counts start() and stop(): results of older paths are dropped
    unsigned analysing_ = 0;     // pages being analysed
    unsigned busy_ = 0;          // pages being analysed or written
    std::map<std::size_t, PageAnalysis> done_;
    std::atomic<bool> stopping_ = false;
    std::vector<std::jthread> workers_;
};

} // namespace tagwright
