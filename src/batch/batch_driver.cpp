#include "batch/batch_driver.h"

#include "batch/site_word_survey.h"

#include <exception>
#include <new>
#include <optional>

namespace tagwright {

namespace {

std::string plural(std::int32_t count)
{
    return count == 1 ? "" : "s";
}

std::string insertedInTheFollowing(std::int32_t count)
{
    return count == 1 ? "A keywords meta tag was inserted in the following file"
                      : "A keywords meta tag was inserted in the following " + std::to_string(count) + " files";
}

void logSummary(const BatchCounts& counts, const ProgramTextStore& texts, ReportLog& log)
{
    if (counts.insertedFiles.empty()) {
        log.output("\r\n" + texts.text(25) + "\r\n");
        return;
    }
    log.output("\r\n" + insertedInTheFollowing(counts.filesInserted));
    log.output(":\r\n\r\n" + counts.insertedFiles + "\r\n");
}

std::string outputBoxSummary(const BatchCounts& counts)
{
    if (counts.filesInserted == 0)
        return "No files were processed (perhaps because all done already).\r\n"
               "You could repeat with operations logged in the report window.";
    return insertedInTheFollowing(counts.filesInserted) + ":\r\n\r\n" + counts.insertedFiles;
}

std::string resultMessage(const BatchCounts& counts)
{
    if (counts.filesInserted == 0)
        return {};
    return "A keywords meta tag was inserted in " + std::to_string(counts.filesInserted) + " file" +
           plural(counts.filesInserted) + " in " + std::to_string(counts.foldersWalked) + " folder" +
           plural(counts.foldersWalked) + ".";
}

// What is left of the report after a failure: the last lines may be half-written.
void closeReportAfterFailure(const BatchCounts& counts, bool outOfMemory, ReportLog& log)
{
    const std::size_t cut = 80 * static_cast<std::size_t>(counts.filesInserted) + 512;
    log.cutAt(log.text().size() > cut ? log.text().size() - cut : 0);
    log.output(outOfMemory ? "\r\nTerminated due to insufficient memory.\r\n"
                           : "\r\nTerminated due to an error occurring.\r\n");
}

} // namespace

BatchCounts runBatch(const BatchJob& job, BatchHost& host, AnalysisHost& analysisHost, ReportLog& log,
                     FileSystem& fs)
{
    host.runStarted();
    log.setLoggingOn(job.settings.logOperations);
    if (job.settings.logOperations) {
        if (job.settings.clearReportAtStart)
            log.clear();
        else if (!log.isEmpty())
            log.output("\r\n" + std::string(reportName(job.folder).size() + 8, '-'));
    }
    analysisHost.setOutputText({});

    // A failure that ends the walk is one more page that was not written.
    std::optional<PageFailure> walkFailure;
    std::optional<SiteWords> siteWords;
    std::optional<FolderRun> run;
    bool stoppedBeforeThePages = false;
    try {
        if (job.settings.siteWords > 0) {
            host.setProgressText(kFindingSiteWords);
            siteWords = findSiteWords(job, host, analysisHost, fs);
            stoppedBeforeThePages = !siteWords;
            host.setProgressText({});
        }
        if (job.settings.logOperations)
            host.showReport();
        if (stoppedBeforeThePages) {
            log.output(std::string(log.isEmpty() ? "" : "\r\n") +
                       std::string(kStoppedAtUsersRequest) + "\r\n");
        } else {
            run.emplace(job, host, analysisHost, log, fs, siteWords.value_or(SiteWords{}));
            if (siteWords) {
                // On a line of its own after what a report kept from earlier runs holds.
                log.output((log.isEmpty() ? "" : "\r\n") + siteWordsReportLine(*siteWords));
                host.siteWordsFound(*siteWords);
            }
            run->logFolderLine(job.folder);
            run->processFolder(job.folder);
        }
    } catch (const std::bad_alloc&) {
        host.showError("Insufficient memory.");
        closeReportAfterFailure(run ? run->counts() : BatchCounts{}, true, log);
        walkFailure = PageFailure{job.folder, "Insufficient memory."};
    } catch (const std::exception& failure) {
        host.showError(failure.what());
        closeReportAfterFailure(run ? run->counts() : BatchCounts{}, false, log);
        walkFailure = PageFailure{job.folder, failure.what()};
    }

    BatchCounts counts = run ? run->counts() : BatchCounts{};
    counts.stopRun = counts.stopRun || stoppedBeforeThePages;
    counts.siteWords = siteWords;
    if (walkFailure)
        counts.failures.push_back(*walkFailure);
    logSummary(counts, job.texts, log);
    analysisHost.setOutputText(outputBoxSummary(counts));
    log.handOutRest();
    host.runFinished(resultMessage(counts), !log.isEmpty());
    host.setReportButtonsEnabled(true);
    return counts;
}

BatchCounts runBatch(const BatchJob& job, BatchHost& host, AnalysisHost& analysisHost, ReportLog& log)
{
    FileSystem fs;
    return runBatch(job, host, analysisHost, log, fs);
}

} // namespace tagwright
