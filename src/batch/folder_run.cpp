#include "batch/folder_run.h"

#include "batch/done_marker.h"
#include "batch/folder_lock.h"
#include "batch/folders_ahead.h"
#include "batch/insertion.h"
#include "batch/old_tag_reader.h"
#include "batch/report_status_host.h"
#include "batch/safe_replace.h"
#include "batch/temporary_files.h"
#include "batch/text_fingerprint.h"
#include "engine/analysis.h"
#include "engine/input_checks.h"
#include "output/meta_tag.h"
#include "support/cp1252.h"
#include "support/dates.h"
#include "support/files.h"
#include "support/quoted_name.h"
#include "support/strings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

namespace tagwright {

namespace {

// What the run asks of every insertion; the page's own file, tag and encoding go with it.
InsertRequest insertionOfRun(const BatchSettings& settings, const std::string& doneDate)
{
    InsertRequest request;
    request.backup = settings.backup;
    request.withDone = settings.addDone;
    request.doneDate = doneDate;
    request.logOldTag = settings.includeOldMetaTag;
    request.logNewTag = settings.includeNewMetaTag;
    request.flushFolder = false; // once per folder, after its last page
    return request;
}

} // namespace

unsigned defaultJobs()
{
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMostJobs);
}

std::string reportName(const std::string& name)
{
    return utf8ToCp1252(shellQuotedName(name));
}

AnalysisSettings analysisOfRun(const BatchJob& job)
{
    AnalysisSettings analysis = job.analysis;
    analysis.singleFile = false;
    analysis.logOperations = job.settings.logOperations;
    return analysis;
}

OldTagAndDoneDate headOfPage(const BatchJob& job, const PageFile& page, FileSystem& fs)
{
    const int lessThanDays = job.settings.lessThanNDaysOld + 1;
    return readOldTagAndDoneDate(page, job.todayJdn, lessThanDays, fs);
}

bool passesOverAsDone(const BatchSettings& settings, const OldTagAndDoneDate& head)
{
    return settings.skipDone && head.doneRecently;
}

PassingOver passingOverAhead(const BatchJob& job, std::optional<PageRegister>& pagesAhead,
                             FileSystem& fs)
{
    PassingOver passingOver{
        [&pagesAhead](const PageFile& page) {
            return pagesAhead->admit(page).admission == PageAdmission::Admitted;
        },
        [&job, &fs](const PageFile& page) { return headOfPage(job, page, fs); },
        {}};
    if (job.settings.skipDone)
        passingOver.byHead = [&job](const OldTagAndDoneDate& head) {
            return passesOverAsDone(job.settings, head);
        };
    return passingOver;
}

FolderRun::FolderRun(const BatchJob& job, BatchHost& host, AnalysisHost& analysisHost,
                     ReportLog& log, FileSystem& fs, const SiteWords& siteWords)
    : job_(job), host_(host), analysisHost_(analysisHost), log_(log), fs_(fs),
      analysis_(analysisOfRun(job)), tag_(job.tag),
      doneDate_(formatDate(jdnToGregorian(job.todayJdn)))
{
    for (const SiteWord& siteWord : siteWords.words)
        tag_.leftOut.insert(siteWord.word);
    if (job.jobs > 1) {
        // Without the inspect window the tag is the one composed from the table, so a worker
        // may write the new page ahead and force it to the disk while the run treats the pages
        // before it. Not in a run that writes nothing, nor where a person may take a while.
        std::optional<WriteAhead> writeAhead;
        if (!job.settings.confirm && fs.writesForReal() && fs.bearsSeveralThreads()) {
            writeAhead = WriteAhead{
                tag_, insertionOfRun(job.settings, doneDate_), &fs,
                [](const OldTagAndDoneDate& head, const std::string& tag, bool utf8) {
                    return !keepsItsTag(tag, head, utf8);
                }};
        }
        try {
            ahead_ = std::make_unique<AnalysisAhead>(analysis_, job.commonWords, job.jobs, fs,
                                                     passingOverAhead(job, pagesAhead_, fs),
                                                     std::move(writeAhead));
        } catch (const std::system_error&) {
            // The system gives no more threads: the run is the one on one job, which gives the
            // same report and pages.
        }
    }
}

bool FolderRun::folderHasTargetFiles(const FolderListing& listing) const
{
    return std::ranges::any_of(listing.files, [this](const std::string& name) {
        return job_.settings.hasTickedExtension(name);
    });
}

void FolderRun::logFolderLine(const std::string& folder)
{
    if (!job_.settings.logOperations)
        return;
    if (!log_.isEmpty())
        log_.output("\r\n");
    log_.output("Folder: " + reportName(folder) + "\r\n");
}

std::string FolderRun::insertedCountText() const
{
    if (counts_.filesInserted == 0)
        return {};
    std::string ofFiles = job_.texts.text(32);
    if (const auto at = ofFiles.find("99"); at != std::string::npos)
        ofFiles.replace(at, 2, std::to_string(counts_.filesExamined));
    return job_.texts.text(31) + numberText(counts_.filesInserted) + " " + ofFiles;
}

void FolderRun::processFolder(const std::string& folder)
{
    const auto top = std::make_shared<const Folder>(fs_.openFolder(folder));
    pages_.emplace(top, fs_);
    pagesAhead_.emplace(top, fs_);
    FoldersAhead folders(top, job_.settings, fs_, ahead_.get());
    while (!counts_.stopRun) {
        const std::optional<FolderPages> walked = folders.next();
        if (!walked)
            break;
        if (walked->folder != top) {
            if (folderHasTargetFiles(walked->listing))
                logFolderLine(walked->folder->path());
            ++counts_.foldersWalked;
        }
        processListing(*walked);
    }
    dropPagesWrittenAhead();
}

void FolderRun::processListing(const FolderPages& walked)
{
    const Folder& folder = *walked.folder;
    if (!walked.listing.ok()) {
        log_.output("\r\nFolder: " + reportName(folder.path()) +
                    "  ---  The folder cannot be read (" + walked.listing.failure->text +
                    ").\r\n");
        counts_.failures.push_back({folder.path(), walked.listing.failure->text});
        return;
    }
    if (!walked.pages.empty()) {
        processPages(walked);
        return;
    }
    for (const NameLeftOut& name : walked.listing.leftOut) {
        if (job_.settings.takesFile(name.name))
            reportLeftOut(folder, name);
    }
}

void FolderRun::reportLeftOut(const Folder& folder, const NameLeftOut& name)
{
    if (name.errorNumber == 0) {
        log_.output("\r\nFile: " + reportName(name.name) + "  ---  Passed over: " + name.reason +
                    ".\r\n");
        return;
    }
    // A page that may be there but cannot be looked at is one that was not written.
    currentFile_ = folder.pathOf(name.name);
    record_ = PageRecord{};
    record_.page = currentFile_;
    ++counts_.filesExamined;
    log_.output("\r\nFile: " + reportName(name.name) + "  ---  The file cannot be read (" +
                name.reason + ").\r\n");
    recordFailure(name.reason);
    finishPage(PageResult::Failed);
}

void FolderRun::processPages(const FolderPages& walked)
{
    const std::shared_ptr<const Folder>& folder = walked.folder;
    const std::size_t endOfPages = walked.firstPage + walked.pages.size();
    auto lock =
        fs_.writesForReal() ? std::make_unique<FolderLock>(*folder, job_.runLock) : nullptr;
    const FolderLock::State lockState = lock ? lock->state() : FolderLock::State::Unavailable;
    if (lockState == FolderLock::State::TakenByAnother) {
        log_.output("\r\nPassed over: another run is writing in this folder.\r\n");
        counts_.failures.push_back({folder->path(), "Another run is writing in this folder."});
        dropPagesBefore(endOfPages);
        return;
    }
    writing_.push_back({folder, std::move(lock), lockState != FolderLock::State::Held, false});
    // The other names with a ticked extension go between the pages, in the order of the names.
    std::vector<const NameLeftOut*> leftOut;
    for (const NameLeftOut& name : walked.listing.leftOut) {
        if (job_.settings.takesFile(name.name))
            leftOut.push_back(&name);
    }
    try {
        auto other = leftOut.begin();
        for (std::size_t index = 0; index < walked.pages.size() && !counts_.stopRun; ++index) {
            const std::string& name = walked.pages[index].name;
            for (; other != leftOut.end() && (*other)->name < name; ++other)
                reportLeftOut(*folder, **other);
            processFile(folder, name, walked.firstPage + index);
        }
        for (; other != leftOut.end() && !counts_.stopRun; ++other)
            reportLeftOut(*folder, **other);
    } catch (...) {
        // A failure that ends the walk: no page written ahead outlives the folder's lock, nor
        // goes on being written while the failure is shown.
        dropPagesWrittenAhead();
        writing_.clear();
        throw;
    }
    dropPagesBefore(endOfPages);
    flushWrittenFolders();
}

void FolderRun::dropPagesBefore(std::size_t index)
{
    preparedInsertion_.reset();
    if (ahead_)
        ahead_->dropBefore(index);
}

void FolderRun::dropPagesWrittenAhead()
{
    preparedInsertion_.reset();
    if (ahead_)
        ahead_->stop();
}

FolderRun::WritingFolder* FolderRun::writingFolder(const Folder& folder)
{
    for (WritingFolder& writing : writing_) {
        if (writing.folder->isSameFolder(folder))
            return &writing;
    }
    return nullptr;
}

std::optional<std::string> FolderRun::prepareToWrite(const PageFile& file)
{
    WritingFolder* writing = writingFolder(*file.folder);
    if (writing == nullptr) {
        // A link's target in another folder: that folder is written under its own lock.
        auto lock = fs_.writesForReal()
                        ? std::make_unique<FolderLock>(*file.folder, job_.runLock)
                        : nullptr;
        const FolderLock::State state = lock ? lock->state() : FolderLock::State::Unavailable;
        if (state == FolderLock::State::TakenByAnother)
            return "Another run is writing in this folder.";
        writing = &writing_.emplace_back(
            WritingFolder{file.folder, std::move(lock), state != FolderLock::State::Held, false});
    }
    if (!writing->cleaned) {
        writing->cleaned = true;
        removeLeftoverTemporaryFiles(*writing->folder, fs_);
    }
    return std::nullopt;
}

void FolderRun::pageWritten(const PageFile& file)
{
    if (WritingFolder* writing = writingFolder(*file.folder))
        writing->written = true;
}

void FolderRun::flushWrittenFolders()
{
    for (const WritingFolder& writing : writing_) {
        if (writing.written && !fs_.flushFolder(*writing.folder))
            counts_.failures.push_back({writing.folder->path(), std::strerror(errno)});
    }
    writing_.clear();
}

void FolderRun::processFile(const std::shared_ptr<const Folder>& folder, const std::string& name,
                            std::size_t index)
{
    const PageFile named{folder, name};
    currentFile_ = named.path();
    record_ = PageRecord{};
    record_.page = currentFile_;
    preparedInsertion_.reset();
    foundAhead_ = {};
    ++counts_.filesExamined;
    analysisHost_.setOutputText({});
    if (!admitPage(named))
        return;

    const OldTagAndDoneDate old = currentHead(index);
    if (passesOverAsDone(job_.settings, old)) {
        if (!job_.settings.dontLogDone)
            log_.output("\r\nFile: " + reportName(name) + "  ---  Done already on " + old.doneDate +
                        ".\r\n");
        finishPage(PageResult::DoneAlready);
        return;
    }

    host_.setInputFile(currentFile_);
    log_.output("\r\nFile: " + reportName(name) + "  " + std::string(kNowProcessing));
    host_.setReportButtonsEnabled(false);

    ReportStatusHost statusHost(analysisHost_, log_);
    const AnalysisOutcome outcome = analyseCurrentFile(statusHost, index);
    removeStatusText();
    if (outcome.result > 0)
        recordFailure(outcome.causeText().empty() ? "error" + numberText(outcome.result)
                                                : outcome.causeText());
    if (outcome.stopRun)
        counts_.stopRun = true;
    if (logAnalysisOutcome(outcome.result, outcome.offendingByte, outcome.position)) {
        if (!composeAndInsert(old))
            return;
        // A Stop pressed once the analysis was over, while the page was inspected or written,
        // is taken now, before anything is asked about the next page.
        if (!counts_.stopRun && analysisHost_.stopRequested() && !goesOnAfterStop())
            counts_.stopRun = true;
    } else {
        finishPage(outcome.result > 0 ? PageResult::Failed : PageResult::PassedOver,
                   passed_over::kStopped);
        if (counts_.stopRun)
            return;
    }

    log_.output("\r\n");
    if (counts_.filesExamined > 1)
        host_.setProgressText(insertedCountText());
    if (counts_.stopRun)
        logStopped();
}

AnalysisOutcome FolderRun::analyseCurrentFile(AnalysisHost& statusHost, std::size_t index)
{
    const auto analyseHere = [&] {
        return doFile(currentPage_.readPath(), analysis_, job_.commonWords, statusHost, table_,
                      currentFile_);
    };
    if (!ahead_)
        return analyseHere();
    // A Stop pressed while the run waits, or as the analysis is shown to start, stops the
    // analysis here at its first step, as in the run on one thread.
    std::optional<PageAnalysis> page =
        ahead_->take(index, [&] { return statusHost.stopRequestedWhileWaiting(); });
    // The worker's analysis stands only for the page as it read it.
    if (!page || page->needsTheRun || page->passedOver ||
        !page->stillAsAnalysed(currentPage_, fs_))
        return analyseHere();
    AnalysisOutcome declined;
    switch (page->calls.tellTo(statusHost)) {
    case RecordedHostCalls::Ending::Told:
        break;
    case RecordedHostCalls::Ending::Stopped:
        return analyseHere();
    case RecordedHostCalls::Ending::RunCancelled:
        declined.stopRun = true;
        [[fallthrough]];
    case RecordedHostCalls::Ending::UnixFileDeclined:
        declined.result = kUnixFileDeclined;
        return declined;
    }
    table_ = std::move(page->table);
    preparedInsertion_ = std::move(page->insertion);
    foundAhead_ = {std::move(page->boxText), page->utf8};
    return page->outcome;
}

bool FolderRun::admitPage(const PageFile& named)
{
    const std::string& name = named.name;
    Admission admitted = pages_->admit(named);
    currentPage_ = std::move(admitted.file);
    switch (admitted.admission) {
    case PageAdmission::Admitted:
        return true;
    case PageAdmission::AlreadyTreated:
        log_.output("\r\nFile: " + reportName(name) +
                    "  ---  Passed over: another name of a page already treated.\r\n");
        finishPage(PageResult::PassedOver, passed_over::kAnotherName);
        return false;
    case PageAdmission::OutsideFolder:
        log_.output("\r\nFile: " + reportName(name) +
                    "  ---  Passed over: a link that leads out of the folder.\r\n");
        finishPage(PageResult::PassedOver, passed_over::kOutsideFolder);
        return false;
    }
    return false;
}

void FolderRun::removeStatusText()
{
    if (!job_.settings.logOperations || log_.isFull())
        return;
    for (const std::string_view status : {kNowProcessing, kNowGenerating}) {
        const std::string tail = "  " + std::string(status);
        if (log_.text().ends_with(tail)) {
            log_.cutAt(log_.text().size() - tail.size());
            return;
        }
    }
}

bool FolderRun::logAnalysisOutcome(std::int16_t result, std::uint8_t offendingByte,
                                   std::int32_t position)
{
    switch (result) {
    case kAnalysisDone:
        break;
    case kNotATextFile:
        log_.output("  ---  Not a text file (byte" + numberText(position) + " is" +
                    numberText(offendingByte) + ").");
        record_.reason = passed_over::kNotATextFile;
        break;
    case kAnalysisStopped:
        log_.output("  ---  Operation on this file stopped.");
        record_.reason = passed_over::kStopped;
        break;
    case kUnixFileDeclined:
        log_.output("  ---  Operation on this unix/linux file stopped.");
        record_.reason = passed_over::kUnixFileDeclined;
        break;
    default:
        log_.output("  --- Unexpected error:" + numberText(result));
        break;
    }
    if (counts_.stopRun) {
        log_.output("\r\n");
        return false;
    }
    if (result == kAnalysisStopped && !goesOnAfterStop()) {
        logStopped();
        counts_.stopRun = true;
        return false;
    }
    return result == kAnalysisDone;
}

bool FolderRun::goesOnAfterStop()
{
    if (!host_.askGoOnToNextFile())
        return false;
    if (job_.settings.logOperations)
        host_.showReport();
    analysisHost_.setOutputText({});
    return true;
}

bool FolderRun::composeAndInsert(const OldTagAndDoneDate& old)
{
    const std::string boxText = foundAhead_.boxText
                                    ? std::move(*foundAhead_.boxText)
                                    : generateKeywordMetaTag(table_, tag_, analysis_);
    analysisHost_.setOutputText(boxText);
    const bool utf8 = foundAhead_.utf8 ? *foundAhead_.utf8 : isUtf8Page(currentPage_.readPath());
    const std::string shownOldTag = oldTagAsShown(old.oldTag, utf8);

    record_.oldTag = shownOldTag;
    const std::string composedTag = getMetaTag(boxText);
    record_.newTag = composedTag;
    if (!job_.settings.confirm) {
        insert(composedTag, job_.settings.addDone, old, utf8);
        return true;
    }
    analysisHost_.setOutputText("Existing keywords meta tag: " + shownOldTag);
    const InspectAnswer answer = host_.inspect(
        {currentFile_, boxText, shownOldTag, job_.settings.addDone, insertedCountText()});
    counts_.stopRun = answer.stopRun;
    if (answer.insertConfirmed) {
        insert(answer.tag, answer.insertDone, old, utf8);
        return true;
    }
    log_.output("  ---  " + job_.texts.text(29));
    if (answer.insertDone && !insertDoneMarkerOnly())
        finishPage(PageResult::Failed);
    else
        finishPage(PageResult::PassedOver, passed_over::kDeclined);
    if (!counts_.stopRun)
        return true;
    log_.output("\r\n\r\n" + job_.texts.text(30) + "\r\n");
    return false;
}

OldTagAndDoneDate FolderRun::currentHead(std::size_t index) const
{
    // A worker that read the head of a page that has not changed since saves reading it again.
    if (ahead_) {
        if (std::optional<OldTagAndDoneDate> head = ahead_->headReadAhead(index, currentPage_))
            return std::move(*head);
    }
    return headOfPage(job_, currentPage_, fs_);
}

std::string FolderRun::oldTagAsShown(const std::string& oldTag, bool utf8)
{
    return utf8 ? utf8ToCp1252(oldTag) : oldTag;
}

bool FolderRun::keepsItsTag(const std::string& tag, const OldTagAndDoneDate& old, bool utf8)
{
    return old.keywordsTags == 1 &&
           lowerCaseAccented(tag) == lowerCaseAccented(oldTagAsShown(old.oldTag, utf8));
}

void FolderRun::insert(const std::string& tag, bool withDone, const OldTagAndDoneDate& old,
                       bool utf8)
{
    record_.newTag = tag;
    if (keepsItsTag(tag, old, utf8)) {
        log_.output("  ---  New keywords meta tag is the same as the existing one.");
        const bool renew = withDone && !old.fingerprint.empty() &&
                           textFingerprint(fs_, currentPage_.readPath()) != old.fingerprint;
        if (renew)
            log_.output("  ---  Done meta tag renewed: the text has changed since it was tagged.");
        finishPage(!renew || insertDoneMarkerOnly() ? PageResult::Unchanged : PageResult::Failed);
        return;
    }
    InsertRequest request =
        insertionOfRun(job_.settings, doneDate_).forPage(currentPage_, currentFile_, tag, utf8);
    request.withDone = withDone;
    if (const auto refused = prepareToWrite(currentPage_)) {
        preparedInsertion_.reset();
        log_.output("  ---  Passed over: another run is writing in this folder.");
        recordFailure(*refused);
        finishPage(PageResult::Failed);
        return;
    }
    const InsertOutcome outcome = writePage(request);
    const int result = outcome.result;
    switch (result) {
    case kInserted:
        pageWritten(currentPage_);
        if (!job_.settings.includeNewMetaTag)
            log_.output("  ---  Keywords meta tag inserted.");
        ++counts_.filesInserted;
        counts_.insertedFiles += reportName(currentFile_) + "\r\n";
        finishPage(PageResult::Written);
        return;
    case kInsertNotAKeywordsTag:
        log_.output("  ---  No keywords meta tag to insert.");
        finishPage(PageResult::PassedOver, passed_over::kNoWords);
        return;
    case kInsertOldTagOverLines:
        log_.output("  ---  Keywords meta tag not inserted because existing meta tag occupies more "
                    "than one line.");
        finishPage(PageResult::PassedOver, passed_over::kOldTagOverLines);
        return;
    case kInsertHeadEndMissing:
        log_.output("  ---  Keywords meta tag not inserted because </head> is missing.");
        finishPage(PageResult::PassedOver, passed_over::kHeadEndMissing);
        return;
    default:
        log_.output("  ---  An error (" + std::to_string(result) +
                    ") occurred during meta tag insertion.");
        recordFailure(outcome);
        finishPage(PageResult::Failed);
        return;
    }
}

InsertOutcome FolderRun::writePage(const InsertRequest& request)
{
    std::optional<PreparedInsertion> prepared = std::exchange(preparedInsertion_, std::nullopt);
    if (prepared && !(prepared->request() == request))
        prepared.reset(); // its file goes before the page is written here
    const bool failedAhead = prepared && !prepared->ready();
    InsertOutcome outcome = prepared ? prepared->commit(&log_) : insertMetaTag(request, &log_, fs_);
    prepared.reset();
    if (outcome.result != kInsertFailed || !ahead_)
        return outcome;
    // Writing ahead is a guess: a page whose writing ahead failed, or whose write failed for
    // want of space beside files written ahead of it, is written again as on one job, with
    // nothing held ahead. Its failure counts only when that fails too.
    const bool heldAhead = ahead_->releaseWrittenAhead();
    if (failedAhead || (heldAhead && outcome.cause && outcome.cause->isLackOfSpace()))
        outcome = insertMetaTag(request, &log_, fs_);
    return outcome;
}

bool FolderRun::insertDoneMarkerOnly()
{
    if (const auto refused = prepareToWrite(currentPage_)) {
        log_.output("  ---  Passed over: another run is writing in this folder.");
        recordFailure(*refused);
        return false;
    }
    const InsertOutcome outcome = insertDoneMetaTagOnly(currentPage_, currentFile_, doneDate_, fs_);
    switch (outcome.result) {
    case kInserted:
        pageWritten(currentPage_);
        return true;
    case kInsertHeadEndMissing:
        log_.output("  ---  Done meta tag not inserted because </head> is missing.");
        return true;
    default:
        log_.output("  ---  An error (" + std::to_string(outcome.result) +
                    ") occurred during done meta tag insertion.");
        recordFailure(outcome);
        return false;
    }
}

void FolderRun::recordFailure(std::string cause)
{
    counts_.failures.push_back({currentFile_, std::move(cause)});
}

void FolderRun::recordFailure(const InsertOutcome& outcome)
{
    recordFailure(outcome.causeText().empty() ? insertResultMessage(outcome.result, {}).text
                                            : outcome.causeText());
}

void FolderRun::finishPage(PageResult result, std::string_view reason)
{
    record_.result = result;
    if (record_.reason.empty())
        record_.reason = reason;
    if (result != PageResult::PassedOver)
        record_.reason.clear();
    host_.pageFinished(record_);
}

void FolderRun::logStopped()
{
    log_.output("\r\n\r\n" + std::string(kStoppedAtUsersRequest) + "\r\n");
}

} // namespace tagwright
