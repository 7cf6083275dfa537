#pragma once

// The analysis host of a batch run: everything goes to the caller's host, except the status
// text at the end of the report line, which the run's own report log changes.

#include "batch/report_log.h"
#include "engine/analysis_host.h"

namespace tagwright {

class ReportStatusHost : public AnalysisHost {
public:
    ReportStatusHost(AnalysisHost& inner, ReportLog& log) : inner_(inner), log_(log) {}

    bool stopRequested() override { return inner_.stopRequested(); }
    bool stopRequestedWhileWaiting() override { return inner_.stopRequestedWhileWaiting(); }
    void analysisStarted() override { inner_.analysisStarted(); }
    void analysisFinished() override { inner_.analysisFinished(); }
    void setWordCountText(std::string_view text) override { inner_.setWordCountText(text); }
    void setWordCountBusy(bool busy) override { inner_.setWordCountBusy(busy); }
    std::string outputText() const override { return inner_.outputText(); }
    void setOutputText(std::string_view text) override { inner_.setOutputText(text); }
    void appendOutputText(std::string_view text) override { inner_.appendOutputText(text); }
    void showUnixFileWarning(std::string_view text) override { inner_.showUnixFileWarning(text); }
    QuestionAnswer askUnixFile(std::string_view question) override { return inner_.askUnixFile(question); }
    bool askProceedAfterInvalidEndFont(std::string_view question) override
    {
        return inner_.askProceedAfterInvalidEndFont(question);
    }
    void reportNowGenerating() override
    {
        if (log_.loggingOn() && !log_.isFull())
            log_.replaceText(reportWithNowGenerating(log_.text()));
    }

private:
    AnalysisHost& inner_;
    ReportLog& log_;
};

} // namespace tagwright
