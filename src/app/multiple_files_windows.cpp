#include "app/multiple_files_windows.h"

#include "app/edit_meta_tag_window.h"
#include "app/main_window.h"
#include "app/parameters_window.h"
#include "app/dialogs.h"
#include "app/qt_text.h"
#include "app/report_window.h"
#include "app/window_analysis_host.h"
#include "app/window_batch_host.h"
#include "app/window_thread.h"

#include "batch/batch_driver.h"
#include "batch/run_lock.h"
#include "engine/analysis_host.h"

#include <QLineEdit>

namespace tagwright {

BatchSettings batchSettings(const ParameterValues& values)
{
    BatchSettings settings;
    settings.htm = values.htm == 1;
    settings.html = values.html == 1;
    settings.shtm = values.shtm == 1;
    settings.shtml = values.shtml == 1;
    settings.includeAllSubfolders = values.includeAllSubfolders == 1;
    settings.backup = values.backup == 1;
    settings.confirm = values.confirm == 1;
    settings.logOperations = values.logOperations == 1;
    settings.includeOldMetaTag = values.includeOldMetaTag == 1;
    settings.includeNewMetaTag = values.includeNewMetaTag == 1;
    settings.addDone = values.addDone == 1;
    settings.skipDone = values.skipDone == 1;
    settings.lessThanNDaysOld = values.lessThanNDaysOld;
    settings.dontLogDone = values.dontLogDone == 1;
    settings.clearReportAtStart = values.clearReportAtStart == 1;
    settings.siteWords = values.siteWords;
    return settings;
}

MultipleFilesWindows::MultipleFilesWindows(MainWindow& main)
    : main_(main), parameters_(new ParametersWindow(&main)),
      report_(new ReportWindow(&main, main.dialogs(), main.programText(13))),
      inspect_(new EditMetaTagWindow(&main)), jobs_(defaultJobs())
{
    // Closing the parameters window with "Save state when closing this form" ticked; the
    // result is not examined there.
    QObject::connect(parameters_, &ParametersWindow::saveStateRequested, &main,
                     [this] { main_.saveState(); });
}

void MultipleFilesWindows::showParameters()
{
    parameters_->present();
}

// The folder box holds a folder that exists (the main window checked it). The settings are
// copied here, so that a change made during the run waits for the next one. The run reads and
// writes its pages off the window's thread, and the next pages are analysed on every core while
// the window shows one and asks about it. The run holds its folder throughout.
void MultipleFilesWindows::runBatch()
{
    const std::string folder = toPath(main_.folderBox().text().trimmed());
    const std::unique_ptr<RunLock> runLock = holdFolder(folder);
    if (!runLock)
        return;
    const BatchSettings settings = batchSettings(parameters_->values());
    const BatchJob job{folder,
                       settings,
                       main_.analysisSettings(),
                       main_.tagSettings(),
                       main_.commonWords(),
                       main_.programTexts(),
                       todayJdn(main_.clock()),
                       jobs_,
                       runLock.get()};
    WindowBatchHost host(main_, *report_, *inspect_, settings.logOperations);
    report_->beginSiteReport(reportedRun(job, false, false));
    // Nothing else starts before the run has taken the commands over; Stop is there at once.
    main_.clearStop();
    main_.enableDisableButtons(false);
    FileSystem realFileSystem;
    BatchCounts counts;
    runOffWindowThread([&] {
        counts = tagwright::runBatch(job, host, main_.analysisHost(), report_->log(),
                                     fileSystem_ ? *fileSystem_ : realFileSystem);
    });
    report_->finishSiteReport(counts);
}

// While another run (another window, the command line) holds the tree, the window says so and
// starts nothing, rather than waiting with no end in sight and no way to stop.
std::unique_ptr<RunLock> MultipleFilesWindows::holdFolder(const std::string& folder)
{
    auto runLock = std::make_unique<RunLock>(folder, [](const std::string&) { return false; });
    if (runLock->state() != RunLock::State::TakenByAnother)
        return runLock;
    main_.dialogs().showMessage(
        QStringLiteral("Not started"),
        QStringLiteral("Another run over this folder, a folder above it or one in it has "
                       "not finished.\r\nStart this one when it has."),
        MessageIcon::Warning);
    return nullptr;
}

void MultipleFilesWindows::showReport()
{
    report_->present();
}

bool MultipleFilesWindows::reportHasText() const
{
    return !report_->log().text().empty();
}

void MultipleFilesWindows::resetReportFull()
{
    report_->log().clearFullFlag();
}

// Insertion in single-file mode logs too, as the parameters window says at that moment.
ReportLog& MultipleFilesWindows::reportLog()
{
    report_->log().setLoggingOn(parameters_->values().logOperations == 1);
    return report_->log();
}

void MultipleFilesWindows::reportNowGenerating()
{
    ReportLog& log = report_->log();
    if (log.loggingOn() && !log.isFull())
        log.replaceText(reportWithNowGenerating(log.text()));
}

ParameterValues MultipleFilesWindows::parameterValues() const
{
    return parameters_->values();
}

void MultipleFilesWindows::setParameterValues(const ParameterValues& values)
{
    parameters_->setValues(values);
}

bool MultipleFilesWindows::inspectDoneTicked() const
{
    return inspect_->insertDoneTicked();
}

} // namespace tagwright
