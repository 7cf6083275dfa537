#pragma once

#include "batch/batch_host.h"

namespace tagwright {

class EditMetaTagWindow;
class MainWindow;
class ReportWindow;

// A batch run as the windows show it: the main window's progress label, input box, commands and
// "View report" button, the report window and the modal inspect window. The run calls it from
// its own thread; each call is done on the window's thread before the run goes on.
class WindowBatchHost : public BatchHost
{
  public:
    WindowBatchHost(MainWindow& main, ReportWindow& report, EditMetaTagWindow& inspectWindow,
                    bool logOperations);

    void runStarted() override;
    void showReport() override;
    void setReportButtonsEnabled(bool enabled) override;
    void setInputFile(std::string_view path) override;
    void setProgressText(std::string_view text) override;
    InspectAnswer inspect(const InspectRequest& request) override;
    bool askGoOnToNextFile() override;
    void pageFinished(const PageRecord& page) override;
    void showError(std::string_view text) override;
    void runFinished(std::string_view resultText, bool reportHasText) override;

  private:
    void showProgressText(std::string_view text);
    void finishRun(std::string_view resultText, bool reportHasText);

    MainWindow& main_;
    ReportWindow& report_;
    EditMetaTagWindow& inspectWindow_;
    bool logOperations_;
};

} // namespace tagwright
