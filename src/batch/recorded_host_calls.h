#pragma once

// What a page's analysis on a worker thread told its host, kept in order so that the run's
// thread can tell the real host the same at the page's turn: the window then shows what it
// shows in a run on one thread, and the questions are asked in the walk's order.

#include "engine/analysis_host.h"

#include <atomic>
#include <string>
#include <vector>

namespace tagwright {

class RecordedHostCalls
{
  public:
    // How telling the calls to a host ended.
    enum class Ending {
        Told,             // every call
        UnixFileDeclined, // the Unix-type question was answered No
        RunCancelled,     // the Unix-type question was answered Cancel
        Stopped,          // Stop was pressed as the analysis started
    };

    // The host of an analysis on a worker: nothing is shown, the Unix-type question is answered
    // Yes (the run asks it), the invalid end-font question marks the page for the run's thread,
    // and Stop follows the run's stop.
    class Recorder : public AnalysisHost
    {
      public:
        Recorder(RecordedHostCalls& calls, const std::atomic<bool>& stopping);

        bool stopRequested() override;
        void analysisStarted() override;
        void analysisFinished() override;
        void setWordCountText(std::string_view text) override;
        void setWordCountBusy(bool busy) override;
        std::string outputText() const override { return box_; }
        void setOutputText(std::string_view text) override;
        void appendOutputText(std::string_view text) override;
        void showUnixFileWarning(std::string_view text) override;
        QuestionAnswer askUnixFile(std::string_view question) override;
        bool askProceedAfterInvalidEndFont(std::string_view question) override;
        void reportNowGenerating() override;

      private:
        RecordedHostCalls& calls_;
        const std::atomic<bool>& stopping_;
        std::string box_; // the output box as the calls leave it; the run empties it first
    };

    // The analysis met the invalid end-font question, whose answer changes its result: the run
    // analyses the page again on its own thread.
    bool metEndFontQuestion() const { return metEndFontQuestion_; }

    // Tells host every call in order. Ends early when the Unix-type question is not answered
    // Yes, or when host says Stop was pressed while the analysis started (the window lets
    // pending input through there).
    Ending tellTo(AnalysisHost& host) const;

  private:
    enum class Kind {
        AnalysisStarted,
        AnalysisFinished,
        SetWordCountText,
        SetWordCountBusy,
        SetOutputText,
        AppendOutputText,
        ShowUnixFileWarning,
        AskUnixFile,
        ReportNowGenerating,
    };
    struct Call
    {
        Kind kind;
        std::string text;
        bool flag = false;
    };

    void add(Kind kind, std::string_view text = {}, bool flag = false);

    std::vector<Call> calls_;
    bool metEndFontQuestion_ = false;
};

} // namespace tagwright
