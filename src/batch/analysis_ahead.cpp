#include "batch/analysis_ahead.h"

#include "batch/safe_replace.h"
#include "batch/temporary_files.h"
#include "engine/input_checks.h"
#include "output/meta_tag.h"

#include <algorithm>
#include <sys/stat.h>

#include <utility>

namespace tagwright {

AnalysisAhead::AnalysisAhead(const AnalysisSettings& settings, const CommonWords& commonWords,
                             unsigned jobs, std::optional<WriteAhead> writeAhead)
    : settings_(settings), commonWords_(commonWords), writeAhead_(std::move(writeAhead)),
      jobs_(jobs)
{
    const unsigned writing = writeAhead_ ? kWritingThreads : 0;
    window_ = 2 * std::size_t{jobs} + writing;
    // Every page ahead may hold a temporary file, and so may the page taken last; the run's own
    // rewrite of a page and the saved report need one each: all of them must stay where a
    // termination signal finds them.
    if (writeAhead_)
        window_ = std::min(window_, kGuardedTemporaryFiles - 3);
    for (unsigned i = 0; i < jobs + writing; ++i)
        workers_.emplace_back([this](std::stop_token stop) { work(stop); });
}

AnalysisAhead::~AnalysisAhead()
{
    stop();
    for (std::jthread& worker : workers_)
        worker.request_stop();
    changed_.notify_all();
}

void AnalysisAhead::start(std::vector<PageFile> pages)
{
    {
        const std::scoped_lock lock(mutex_);
        pages_ = std::move(pages);
        nextToStart_ = 0;
        nextToTake_ = 0;
        ++generation_;
        done_.clear();
        stopping_ = false;
    }
    changed_.notify_all();
}

std::optional<PageAnalysis> AnalysisAhead::take(std::size_t index,
                                                const std::function<bool()>& stopRequested)
{
    std::unique_lock lock(mutex_);
    done_.erase(done_.begin(), done_.lower_bound(index));
    nextToTake_ = index + 1;
    // A page that no worker started (it was behind the window) is started now.
    nextToStart_ = std::max(nextToStart_, index);
    changed_.notify_all();
    while (!changed_.wait_for(lock, kWaitInterval, [&] { return done_.contains(index); })) {
        lock.unlock();
        const bool stopped = stopRequested();
        lock.lock();
        if (stopped)
            return std::nullopt;
    }
    PageAnalysis page = std::move(done_.at(index));
    done_.erase(index);
    return page;
}

void AnalysisAhead::stop()
{
    std::unique_lock lock(mutex_);
    pages_.clear();
    nextToStart_ = 0;
    ++generation_;
    done_.clear();
    stopping_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return busy_ == 0; });
}

bool AnalysisAhead::mayStartNext() const
{
    return nextToStart_ < pages_.size() && nextToStart_ < nextToTake_ + window_ &&
           analysing_ < jobs_;
}

void AnalysisAhead::work(std::stop_token stop)
{
    std::unique_lock lock(mutex_);
    while (changed_.wait(lock, stop, [&] { return mayStartNext(); })) {
        const std::size_t index = nextToStart_++;
        const std::size_t generation = generation_;
        const PageFile file = pages_[index];
        ++analysing_;
        ++busy_;
        lock.unlock();
        PageAnalysis page = analyse(file);
        lock.lock();
        --analysing_;
        changed_.notify_all(); // another page may be analysed while this one is written
        if (writeAhead_ && generation == generation_) {
            lock.unlock();
            writeAhead(file, page);
            lock.lock();
        }
        if (generation == generation_)
            done_.emplace(index, std::move(page));
        else
            page = {}; // dropped with its file before stop() can return
        --busy_;
        changed_.notify_all();
    }
}

PageAnalysis AnalysisAhead::analyse(const PageFile& file) const
{
    PageAnalysis page;
    RecordedHostCalls::Recorder host(page.calls, stopping_);
    try {
        page.outcome =
            doFile(file.readPath(), settings_, commonWords_, host, page.table, file.path());
        page.needsTheRun = page.calls.metEndFontQuestion();
    } catch (...) {
        // A failure that escapes the analysis ends the walk: the run meets it at the page's turn.
        page.needsTheRun = true;
    }
    return page;
}

void AnalysisAhead::writeAhead(const PageFile& file, PageAnalysis& page) const
{
    // A page reached through a link is written at its turn: the run may pass it over (another
    // name of a page, a link out of the folder), and writes nothing beside another tree's page.
    // So is a page larger than kLargestPageWrittenAhead, so that a stop never waits for it.
    // An LF page is written ahead like any other: when the Unix-type question is answered No at
    // the page's turn, the prepared content is dropped with the rest of the worker's result.
    // A failure that escapes the writing (memory for a page as long as the file) leaves the page
    // to the run, which meets the failure at the page's turn as a run on one thread does.
    try {
        struct stat status
        {
        };
        if (page.outcome.result != kAnalysisDone || page.needsTheRun ||
            !writeAhead_->fs->nameStatus(*file.folder, file.name, status) ||
            !S_ISREG(status.st_mode) ||
            static_cast<std::uintmax_t>(status.st_size) > kLargestPageWrittenAhead)
            return;
        InsertRequest request = writeAhead_->request;
        request.path = file.path();
        request.file = file;
        request.tag = getMetaTag(generateKeywordMetaTag(page.table, writeAhead_->tag, settings_));
        request.utf8 =
            detectEncoding(file.readPath(), true) == static_cast<std::int16_t>(Encoding::Utf8);
        if (writeAhead_->wouldWrite(file, request.tag, request.utf8))
            page.insertion = prepareInsertion(request, *writeAhead_->fs);
    } catch (...) {
        page.insertion.reset();
    }
}

} // namespace tagwright
