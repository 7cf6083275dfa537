#pragma once

#include "app/multiple_files_side.h"

#include <memory>
#include <string>

namespace tagwright {

struct BatchSettings;
class EditMetaTagWindow;
class MainWindow;
class ParametersWindow;
class ReportWindow;
class RunLock;
class FileSystem;
class WindowBatchHost;

// The batch parameters as a run reads them.
BatchSettings batchSettings(const ParameterValues& values);

// The multiple-files side of the main window: the batch parameters, report and inspect windows,
// created hidden with the main window as their parent, and the batch run over the folder of
// the main window.
class MultipleFilesWindows : public MultipleFilesSide
{
  public:
    explicit MultipleFilesWindows(MainWindow& main);

    void showParameters() override;
    void runBatch() override;
    void restoreBackups() override;
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

    // The file system of the runs, through which tests slow down or fail a call.
    void setFileSystem(FileSystem& fs) { fileSystem_ = &fs; }

  private:
    // The run's hold on its folder for its whole length; none, and the user told why, while
    // another run holds it.
    std::unique_ptr<RunLock> holdFolder(const std::string& folder);
    // Restores what the user agrees to; the text of the result box, empty when nothing was
    // restored.
    std::string restoreAsAgreed(const std::string& folder, const RunLock& runLock,
                                WindowBatchHost& host);
    MainWindow& main_;
    ParametersWindow* parameters_; // owned by the main window as their parent
    ReportWindow* report_;
    EditMetaTagWindow* inspect_;
    unsigned jobs_;
    FileSystem* fileSystem_ = nullptr; // none: the real one
};

} // namespace tagwright
