#include "batch/folder_run.h"

#include "batch/done_marker.h"
#include "batch/folder_lock.h"
#include "batch/insertion.h"
#include "batch/old_tag_reader.h"
#include "batch/report_status_host.h"
#include "batch/safe_replace.h"
#include "batch/temporary_files.h"
#include "engine/analysis.h"
#include "engine/input_checks.h"
#include "output/meta_tag.h"
#include "support/cp1252.h"
#include "support/dates.h"
#include "support/files.h"
#include "support/folder_listing.h"
#include "support/quoted_name.h"
#include "support/strings.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

namespace tagwright {

namespace {

std::string joinPath(const std::string& folder, const std::string& name)
{
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

struct Extension
{
    bool BatchSettings::*ticked;
    std::string_view pattern;
};

constexpr std::array<Extension, 4> kExtensions{{{&BatchSettings::htm, "*.htm"},
                                                {&BatchSettings::html, "*.html"},
                                                {&BatchSettings::shtm, "*.shtm"},
                                                {&BatchSettings::shtml, "*.shtml"}}};

bool isUtf8Page(const std::string& path)
{
    return detectEncoding(path, true) == static_cast<std::int16_t>(Encoding::Utf8);
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

FolderRun::FolderRun(const BatchJob& job, BatchHost& host, AnalysisHost& analysisHost,
                     ReportLog& log, FileSystem& fs)
    : job_(job), host_(host), analysisHost_(analysisHost), log_(log), fs_(fs),
      analysis_(job.analysis), doneDate_(formatDate(jdnToGregorian(job.todayJdn))),
      pages_(job.folder)
{
    analysis_.singleFile = false;
    analysis_.logOperations = job.settings.logOperations;
    if (job.jobs > 1) {
        // Without the inspect window the tag is the one composed from the table, so a worker
        // may write the new page ahead and force it to the disk while the run treats the pages
        // before it. Not in a run that writes nothing, nor where a person may take a while.
        std::optional<WriteAhead> writeAhead;
        if (!job.settings.confirm && fs.takesFolderLocks()) {
            InsertRequest request;
            request.backup = job.settings.backup;
            request.withDone = job.settings.addDone;
            request.doneDate = doneDate_;
            request.logOldTag = job.settings.includeOldMetaTag;
            request.logNewTag = job.settings.includeNewMetaTag;
            request.flushFolder = false;
            writeAhead =
                WriteAhead{job.tag, request, &fs,
                           [this](const std::string& path, const std::string& tag, bool utf8) {
                               const OldTagAndDoneDate old = oldTagAndDoneDate(path);
                               return !passesOverAsDone(old) &&
                                      !isSameTag(tag, oldTagAsShown(old.oldTag, utf8));
                           }};
        }
        try {
            ahead_ = std::make_unique<AnalysisAhead>(analysis_, job.commonWords, job.jobs,
                                                     std::move(writeAhead));
        } catch (const std::system_error&) {
            // The system gives no more threads: the run is the one on one job, which gives the
            // same report and pages.
        }
    }
}

bool FolderRun::takesFile(const std::string& name) const
{
    if (lowerCaseAccented(name).find(".bak.") != std::string::npos)
        return false;
    for (const Extension& extension : kExtensions) {
        if (job_.settings.*extension.ticked && matchFileName(name, extension.pattern, false))
            return true;
    }
    return false;
}

bool FolderRun::folderHasTargetFiles(const std::string& folder) const
{
    for (const Extension& extension : kExtensions) {
        std::string errorText;
        if (job_.settings.*extension.ticked &&
            countMatchingFiles(folder, extension.pattern, true, errorText) > 0)
            return true;
    }
    return false;
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
    const FolderListing listing = listFolder(folder);
    if (!listing.ok())
        return;
    processPages(folder, listing.files);
    if (counts_.stopRun || !job_.settings.includeAllSubfolders)
        return;
    for (const std::string& name : listing.subfolders) {
        const std::string subfolder = joinPath(folder, name);
        if (folderHasTargetFiles(subfolder))
            logFolderLine(subfolder);
        processFolder(subfolder);
        ++counts_.foldersWalked;
        if (counts_.stopRun)
            return;
    }
}

void FolderRun::processPages(const std::string& folder, const std::vector<std::string>& names)
{
    if (std::none_of(names.begin(), names.end(),
                     [this](const std::string& name) { return takesFile(name); }))
        return;
    std::optional<FolderLock> lock;
    if (fs_.takesFolderLocks())
        lock.emplace(folder, job_.runLock);
    const FolderLock::State lockState = lock ? lock->state() : FolderLock::State::Unavailable;
    if (lockState == FolderLock::State::TakenByAnother) {
        log_.output("\r\nPassed over: another run is writing in this folder.\r\n");
        counts_.failures.push_back({folder, "Another run is writing in this folder."});
        return;
    }
    currentFolder_ = folder;
    leftoversPending_ = lockState == FolderLock::State::Held;
    std::vector<std::string> taken;
    for (const std::string& name : names) {
        if (takesFile(name))
            taken.push_back(name);
    }
    if (ahead_) {
        std::vector<std::string> paths;
        for (const std::string& name : taken)
            paths.push_back(joinPath(folder, name));
        ahead_->start(std::move(paths));
    }
    try {
        for (std::size_t index = 0; index < taken.size(); ++index) {
            processFile(folder, taken[index], index);
            if (counts_.stopRun)
                break;
        }
    } catch (...) {
        // A failure that ends the walk: no page written ahead outlives the folder's lock, nor
        // goes on being written while the failure is shown.
        dropPagesWrittenAhead();
        throw;
    }
    dropPagesWrittenAhead();
    flushWrittenFolders();
}

void FolderRun::dropPagesWrittenAhead()
{
    preparedInsertion_.reset();
    if (ahead_)
        ahead_->stop();
}

void FolderRun::prepareToWrite()
{
    if (!leftoversPending_)
        return;
    leftoversPending_ = false;
    removeLeftoverTemporaryFiles(currentFolder_, fs_);
}

void FolderRun::pageWritten()
{
    writtenFolders_.insert(containingFolder(resolvedFilePath(currentFile_)));
}

void FolderRun::flushWrittenFolders()
{
    for (const std::string& folder : writtenFolders_) {
        if (!fs_.flushFolder(folder))
            counts_.failures.push_back({folder, std::strerror(errno)});
    }
    writtenFolders_.clear();
}

void FolderRun::processFile(const std::string& folder, const std::string& name, std::size_t index)
{
    currentFile_ = joinPath(folder, name);
    preparedInsertion_.reset();
    ++counts_.filesExamined;
    analysisHost_.setOutputText({});
    if (!admitPage(name)) {
        host_.pageFinished(currentFile_, PageResult::PassedOver);
        return;
    }

    const OldTagAndDoneDate old = oldTagAndDoneDate(currentFile_);
    if (passesOverAsDone(old)) {
        if (!job_.settings.dontLogDone)
            log_.output("\r\nFile: " + reportName(name) + "  ---  Done already on " + old.doneDate +
                        ".\r\n");
        host_.pageFinished(currentFile_, PageResult::DoneAlready);
        return;
    }

    host_.setInputFile(currentFile_);
    log_.output("\r\nFile: " + reportName(name) + "  " + std::string(kNowProcessing));
    host_.setReportButtonsEnabled(false);

    ReportStatusHost statusHost(analysisHost_, log_);
    const AnalysisOutcome outcome = analyseCurrentFile(statusHost, index);
    removeStatusText();
    if (outcome.result > 0)
        recordFailure(outcome.errorText.empty() ? "error" + numberText(outcome.result)
                                                : outcome.errorText);
    if (outcome.stopRun)
        counts_.stopRun = true;
    if (logAnalysisOutcome(outcome.result, outcome.offendingByte, outcome.position)) {
        if (!composeAndInsert(old.oldTag))
            return;
    } else {
        host_.pageFinished(currentFile_,
                           outcome.result > 0 ? PageResult::Failed : PageResult::PassedOver);
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
        return doFile(currentFile_, analysis_, job_.commonWords, statusHost, table_);
    };
    if (!ahead_)
        return analyseHere();
    // A Stop pressed while the run waits, or as the analysis is shown to start, stops the
    // analysis here at its first step, as in the run on one thread.
    std::optional<PageAnalysis> page =
        ahead_->take(index, [&] { return statusHost.stopRequestedWhileWaiting(); });
    if (!page || page->needsTheRun)
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
    return page->outcome;
}

bool FolderRun::admitPage(const std::string& name)
{
    switch (pages_.admit(currentFile_)) {
    case PageAdmission::Admitted:
        return true;
    case PageAdmission::AlreadyTreated:
        log_.output("\r\nFile: " + reportName(name) +
                    "  ---  Passed over: another name of a page already treated.\r\n");
        return false;
    case PageAdmission::OutsideFolder:
        log_.output("\r\nFile: " + reportName(name) +
                    "  ---  Passed over: a link that leads out of the folder.\r\n");
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
        break;
    case kAnalysisStopped:
        log_.output("  ---  Operation on this file stopped.");
        break;
    case kUnixFileDeclined:
        log_.output("  ---  Operation on this unix/linux file stopped.");
        break;
    default:
        log_.output("  --- Unexpected error:" + numberText(result));
        break;
    }
    if (counts_.stopRun) {
        log_.output("\r\n");
        return false;
    }
    if (result == kAnalysisStopped) {
        if (!host_.askGoOnToNextFile()) {
            logStopped();
            counts_.stopRun = true;
            return false;
        }
        if (job_.settings.logOperations)
            host_.showReport();
        analysisHost_.setOutputText({});
    }
    return result == kAnalysisDone;
}

bool FolderRun::composeAndInsert(const std::string& oldTag)
{
    const std::string boxText = generateKeywordMetaTag(table_, job_.tag, analysis_);
    analysisHost_.setOutputText(boxText);
    const bool utf8 = isUtf8Page(currentFile_);
    const std::string shownOldTag = oldTagAsShown(oldTag, utf8);

    if (!job_.settings.confirm) {
        insert(getMetaTag(boxText), job_.settings.addDone, shownOldTag, utf8);
        return true;
    }
    analysisHost_.setOutputText("Existing keywords meta tag: " + shownOldTag);
    const InspectAnswer answer = host_.inspect(
        {currentFile_, boxText, shownOldTag, job_.settings.addDone, insertedCountText()});
    counts_.stopRun = answer.stopRun;
    if (answer.insertConfirmed) {
        insert(answer.tag, answer.insertDone, shownOldTag, utf8);
        return true;
    }
    log_.output("  ---  " + job_.texts.text(29));
    host_.pageFinished(currentFile_, answer.insertDone && !insertDoneMarkerOnly()
                                         ? PageResult::Failed
                                         : PageResult::PassedOver);
    if (!counts_.stopRun)
        return true;
    log_.output("\r\n\r\n" + job_.texts.text(30) + "\r\n");
    return false;
}

OldTagAndDoneDate FolderRun::oldTagAndDoneDate(const std::string& path) const
{
    const int lessThanDays = job_.settings.lessThanNDaysOld + 1;
    return readOldTagAndDoneDate(path, job_.todayJdn, lessThanDays, fs_);
}

bool FolderRun::passesOverAsDone(const OldTagAndDoneDate& old) const
{
    return job_.settings.skipDone && old.doneRecently;
}

std::string FolderRun::oldTagAsShown(const std::string& oldTag, bool utf8)
{
    return utf8 ? utf8ToCp1252(oldTag) : oldTag;
}

bool FolderRun::isSameTag(const std::string& tag, const std::string& oldTag)
{
    return lowerCaseAccented(tag) == lowerCaseAccented(oldTag);
}

void FolderRun::insert(const std::string& tag, bool withDone, const std::string& oldTag, bool utf8)
{
    if (isSameTag(tag, oldTag)) {
        log_.output("  ---  New keywords meta tag is the same as the existing one.");
        host_.pageFinished(currentFile_, PageResult::Unchanged);
        return;
    }
    InsertRequest request;
    request.tag = tag;
    request.path = currentFile_;
    request.backup = job_.settings.backup;
    request.utf8 = utf8;
    request.withDone = withDone;
    request.doneDate = doneDate_;
    request.logOldTag = job_.settings.includeOldMetaTag;
    request.logNewTag = job_.settings.includeNewMetaTag;
    request.flushFolder = false; // once per folder, after its last page
    prepareToWrite();
    const InsertOutcome outcome = preparedInsertion_ && preparedInsertion_->request() == request
                                      ? preparedInsertion_->commit(&log_)
                                      : insertMetaTag(request, &log_, fs_);
    preparedInsertion_.reset();
    const int result = outcome.result;
    switch (result) {
    case kInserted:
        pageWritten();
        if (!job_.settings.includeNewMetaTag)
            log_.output("  ---  Keywords meta tag inserted.");
        ++counts_.filesInserted;
        counts_.insertedFiles += reportName(currentFile_) + "\r\n";
        host_.pageFinished(currentFile_, PageResult::Written);
        return;
    case kInsertNotAKeywordsTag:
        log_.output("  ---  No keywords meta tag to insert.");
        break;
    case kInsertOldTagOverLines:
        log_.output("  ---  Keywords meta tag not inserted because existing meta tag occupies more "
                    "than one line.");
        break;
    case kInsertHeadEndMissing:
        log_.output("  ---  Keywords meta tag not inserted because </head> is missing.");
        break;
    default:
        log_.output("  ---  An error (" + std::to_string(result) +
                    ") occurred during meta tag insertion.");
        recordFailure(outcome);
        host_.pageFinished(currentFile_, PageResult::Failed);
        return;
    }
    host_.pageFinished(currentFile_, PageResult::PassedOver);
}

bool FolderRun::insertDoneMarkerOnly()
{
    prepareToWrite();
    const InsertOutcome outcome = insertDoneMetaTagOnly(currentFile_, doneDate_, fs_);
    switch (outcome.result) {
    case kInserted:
        pageWritten();
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
    recordFailure(outcome.errorText.empty() ? insertResultMessage(outcome.result, {}).text
                                            : outcome.errorText);
}

void FolderRun::logStopped()
{
    log_.output("\r\n\r\nOperation stopped at user's request.\r\n");
}

} // namespace tagwright
