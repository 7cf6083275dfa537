#pragma once

#include "engine/analysis_host.h"

#include <QElapsedTimer>

#include <optional>
#include <string>

namespace tagwright {

class MainWindow;

// The analysis as the main window shows it: "List words" becomes "Stop", the word-count label
// turns red and bold while counting, words appear in the output box, questions go through the
// window's dialogs. The analysis runs off the window's thread (runOffWindowThread): what it shows
// is posted to the window, what it asks waits for the answer there, and Stop is a flag that the
// window sets. The words shown as found and the word count reach the window every ~200 ms: the
// box lays out its whole growing paragraph again at every change.
class WindowAnalysisHost : public AnalysisHost
{
  public:
    explicit WindowAnalysisHost(MainWindow& window) : window_(window) {}

    bool stopRequested() override;
    bool stopRequestedWhileWaiting() override;
    void analysisStarted() override;
    void analysisFinished() override;
    void setWordCountText(std::string_view text) override;
    void setWordCountBusy(bool busy) override;
    std::string outputText() const override;
    void setOutputText(std::string_view text) override;
    void appendOutputText(std::string_view text) override;
    void showUnixFileWarning(std::string_view text) override;
    QuestionAnswer askUnixFile(std::string_view question) override;
    bool askProceedAfterInvalidEndFont(std::string_view question) override;
    void reportNowGenerating() override;

    // Shows what is still pending; called when a run ends without analysisFinished (a file that
    // is not text, an error).
    void endRun();

  private:
    static constexpr int kShowInterval = 200; // milliseconds between updates of the box
    static constexpr unsigned kStepsPerClockRead = 64;

    void flushOutput();

    MainWindow& window_;
    bool wordCountGiven_ = false; // since the last end of a run
    std::string pendingOutput_; // appended during a run, not yet in the box
    std::optional<std::string> pendingWordCount_;
    bool running_ = false;
    QElapsedTimer sinceShown_;
    unsigned steps_ = 0;
};

} // namespace tagwright
