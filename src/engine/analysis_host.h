#pragma once

#include <string>
#include <string_view>

namespace tagwright {

enum class QuestionAnswer { Yes, No, Cancel };

// What the analysis needs from its caller while it runs: the window of the desktop program, the
// command line, or a test with scripted answers. The texts passed are the final texts to show
// (Windows-1252, CR LF between lines).
class AnalysisHost
{
  public:
    virtual ~AnalysisHost() = default;

    // Called before every scan step: a window lets pending input through here (as often as it
    // sees fit, say every 20 ms of work) and answers whether Stop has been pressed since.
    virtual bool stopRequested() = 0;
    // Called about every 20 ms while a batch run waits for a page that another thread analyses:
    // a window lets pending input through here, whatever stopRequested's pace.
    virtual bool stopRequestedWhileWaiting() { return stopRequested(); }

    // The run took over the commands ("List words" becomes "Stop", the others are disabled; the
    // table has been emptied, so it matches no input any more) / ended normally or by Stop
    // (single-file mode gives them back). After a refusal (-4) or an error the caller restores
    // the commands itself.
    virtual void analysisStarted() = 0;
    virtual void analysisFinished() = 0;

    // The word-count label (lblNumberOfWords): its text, and whether it shows counting in progress
    // (red and bold) or not (black, not bold).
    virtual void setWordCountText(std::string_view text) = 0;
    virtual void setWordCountBusy(bool busy) = 0;

    // The output box (txbMetaTAG). Appending puts the caret at the end.
    virtual std::string outputText() const = 0;
    virtual void setOutputText(std::string_view text) = 0;
    virtual void appendOutputText(std::string_view text) = 0;

    // Multiple-files mode without the Unix-file question: the warning goes into the progress
    // label (lblMetaTagInserted), in red.
    virtual void showUnixFileWarning(std::string_view text) = 0;
    // Title "Unix-type file warning", Yes/No/Cancel.
    virtual QuestionAnswer askUnixFile(std::string_view question) = 0;
    // Title "Font tag error", Yes/No; true goes on.
    virtual bool askProceedAfterInvalidEndFont(std::string_view question) = 0;

    // Counting has ended and logging is on: a report that ends with the status text of the file
    // being analysed ("  Now processing ...") now ends with "  Now generating meta tag ...",
    // unless the report is full (see reportWithNowGenerating).
    virtual void reportNowGenerating() = 0;
};

// The host of a run without a person: nothing is shown, Stop is never pressed, a Unix-type file
// is processed and an invalid end-font tag is passed over. The command line uses it as it is;
// tests override what they script.
class SilentAnalysisHost : public AnalysisHost
{
  public:
    bool stopRequested() override { return false; }
    void analysisStarted() override {}
    void analysisFinished() override {}
    void setWordCountText(std::string_view) override {}
    void setWordCountBusy(bool) override {}
    std::string outputText() const override { return {}; }
    void setOutputText(std::string_view) override {}
    void appendOutputText(std::string_view) override {}
    void showUnixFileWarning(std::string_view) override {}
    QuestionAnswer askUnixFile(std::string_view) override { return QuestionAnswer::Yes; }
    bool askProceedAfterInvalidEndFont(std::string_view) override { return true; }
    void reportNowGenerating() override {}
};

inline constexpr std::string_view kNowProcessing = "Now processing ...";
inline constexpr std::string_view kNowGenerating = "Now generating meta tag ...";

// The report text with its last 2 + length("Now processing ...") characters replaced by two
// blanks and "Now generating meta tag ...", when it is longer than that; otherwise unchanged.
std::string reportWithNowGenerating(std::string_view report);

} // namespace tagwright
