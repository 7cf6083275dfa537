#include "batch/site_word_survey.h"

#include "batch/analysis_ahead.h"
#include "batch/folders_ahead.h"
#include "batch/page_register.h"
#include "engine/analysis.h"
#include "output/meta_tag.h"

#include <memory>
#include <system_error>

namespace tagwright {

namespace {

// The run's host as the survey's analyses meet it: Stop alone comes through.
class SurveyHost : public SilentAnalysisHost
{
  public:
    explicit SurveyHost(AnalysisHost& run) : run_(run) {}

    bool stopRequested() override { return run_.stopRequested(); }
    bool stopRequestedWhileWaiting() override { return run_.stopRequestedWhileWaiting(); }

  private:
    AnalysisHost& run_;
};

class SiteWordSurvey
{
  public:
    SiteWordSurvey(const BatchJob& job, BatchHost& runHost, AnalysisHost& host, FileSystem& fs)
        : job_(job), runHost_(runHost), host_(host), fs_(fs), analysis_(analysisOfRun(job))
    {
        if (job.jobs <= 1)
            return;
        try {
            ahead_ = std::make_unique<AnalysisAhead>(analysis_, job.commonWords, job.jobs, fs,
                                                     passingOverAhead(job, pagesAhead_, fs));
        } catch (const std::system_error&) {
            // No more threads: the pages are analysed one after the other.
        }
    }

    std::optional<SiteWords> find()
    {
        const auto top = std::make_shared<const Folder>(fs_.openFolder(job_.folder));
        pages_.emplace(top, fs_);
        pagesAhead_.emplace(top, fs_);
        FoldersAhead folders(top, job_.settings, fs_, ahead_.get());
        bool goOn = true;
        while (goOn) {
            const std::optional<FolderPages> walked = folders.next();
            if (!walked)
                break;
            goOn = tallyPages(*walked);
        }
        if (ahead_)
            ahead_->stop();
        if (!goOn)
            return std::nullopt;
        return tally_.siteWords(job_.settings.siteWords);
    }

  private:
    // False when Stop was pressed.
    bool tallyPages(const FolderPages& walked)
    {
        for (std::size_t index = 0; index < walked.pages.size(); ++index) {
            if (!tallyPage(walked.pages[index], walked.firstPage + index))
                return false;
            runHost_.siteWordsProgress(++pagesExamined_);
        }
        return true;
    }

    bool tallyPage(const PageFile& named, std::size_t index)
    {
        const Admission admitted = pages_->admit(named);
        if (admitted.admission != PageAdmission::Admitted)
            return true;
        const PageFile& page = admitted.file;
        // The survey tells its host nothing between pages, so it waits for the worker's
        // reading of the page before it looks at the head. What the worker read (the head
        // among it) stands only while the page is as the worker found it, as at a page's turn
        // in the run; the page is read again here otherwise.
        std::optional<PageAnalysis> ahead;
        if (ahead_) {
            ahead = ahead_->take(index, [this] { return host_.stopRequestedWhileWaiting(); });
            if (!ahead)
                return false;
            if (ahead->needsTheRun || !ahead->stillAsAnalysed(page, fs_))
                ahead.reset();
        }
        if (job_.settings.skipDone &&
            passesOverAsDone(job_.settings, ahead && ahead->head ? *ahead->head
                                                                 : headOfPage(job_, page, fs_)))
            return true;
        WordTable table;
        AnalysisOutcome outcome;
        if (ahead && !ahead->passedOver) {
            // Stop is heard at each page analysed, as on one job: where the workers keep ahead,
            // the survey never waits long enough to hear it while it waits.
            if (host_.stopRequested())
                return false;
            table = std::move(ahead->table);
            outcome = ahead->outcome;
        } else {
            SurveyHost host(host_);
            outcome = doFile(page.readPath(), analysis_, job_.commonWords, host, table,
                             page.path());
        }
        if (outcome.result == kAnalysisStopped)
            return false;
        if (outcome.result == kAnalysisDone && table.count() > 0)
            tally_.addTag(tagWords(table, job_.tag, analysis_));
        return true;
    }

    const BatchJob& job_;
    BatchHost& runHost_;
    AnalysisHost& host_;
    FileSystem& fs_;
    AnalysisSettings analysis_;
    std::optional<PageRegister> pages_;
    std::optional<PageRegister> pagesAhead_; // the workers' own, fed in the walk's order
    std::unique_ptr<AnalysisAhead> ahead_;
    SiteWordTally tally_;
    std::int32_t pagesExamined_ = 0;
};

} // namespace

std::optional<SiteWords> findSiteWords(const BatchJob& job, BatchHost& runHost,
                                       AnalysisHost& host, FileSystem& fs)
{
    return SiteWordSurvey(job, runHost, host, fs).find();
}

} // namespace tagwright
