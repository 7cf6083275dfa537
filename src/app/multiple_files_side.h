#pragma once

#include "app/parameter_values.h"

#include "batch/report_log.h"

namespace tagwright {

// The multiple-files side of the main window: the batch parameters, report and inspect windows
// and the batch run. The main window calls it from its commands in multiple-files mode, for
// the saved state (items of the parameters window) and for the single-file insertion, which
// reads the same parameters.
class MultipleFilesSide
{
  public:
    virtual ~MultipleFilesSide() = default;

    // "Set operation parameters": shows the parameters window without blocking.
    virtual void showParameters() = 0;
    // "Generate/insert keywords meta tag" with a folder that exists.
    virtual void runBatch() = 0;
    // "Restore backups..." with a folder that exists.
    virtual void restoreBackups() = 0;
    // "View report": shows the report window without blocking.
    virtual void showReport() = 0;
    // Whether the report window holds text (the "View report" button is shown then).
    virtual bool reportHasText() const = 0;
    // "Clear" of the output box also resets the report's full notice.
    virtual void resetReportFull() = 0;
    // The report log, which also takes the old and new tags of a single-file insertion.
    virtual ReportLog& reportLog() = 0;
    // Counting of a file has ended: the report's status text of that file now says that the
    // tag is being generated.
    virtual void reportNowGenerating() = 0;

    virtual ParameterValues parameterValues() const = 0;
    virtual void setParameterValues(const ParameterValues& values) = 0;
    // The inspect window's "Insert 'Done' meta tag" box as it was last left (unticked before
    // the window was ever shown).
    virtual bool inspectDoneTicked() const = 0;
};

} // namespace tagwright
