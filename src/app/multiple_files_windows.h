#pragma once

#include "app/multiple_files_side.h"

namespace tagwright {

class EditMetaTagWindow;
class MainWindow;
class ParametersWindow;
class ReportWindow;

// The multiple-files side of the main window: the batch parameters, report and inspect windows,
// created hidden with the main window as their parent, and the batch run over the folder of
// the main window.
class MultipleFilesWindows : public MultipleFilesSide
{
  public:
    explicit MultipleFilesWindows(MainWindow& main);

    void showParameters() override;
    void runBatch() override;
    void showReport() override;
    bool reportHasText() const override;
    void resetReportFull() override;
    ReportLog& reportLog() override;
    void reportNowGenerating() override;
    ParameterValues parameterValues() const override;
    void setParameterValues(const ParameterValues& values) override;
    bool inspectDoneTicked() const override;

    ParametersWindow& parametersWindow() { return *parameters_; }
    ReportWindow& reportWindow() { return *report_; }
    EditMetaTagWindow& inspectWindow() { return *inspect_; }
    // The threads that analyse the pages of a run; one a core unless set.
    void setJobs(unsigned jobs) { jobs_ = jobs; }

  private:
    MainWindow& main_;
    ParametersWindow* parameters_; // owned by the main window as their parent
    ReportWindow* report_;
    EditMetaTagWindow* inspect_;
    unsigned jobs_;
};

} // namespace tagwright
