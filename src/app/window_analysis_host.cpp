#include "app/window_analysis_host.h"

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/window_thread.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tagwright {

bool WindowAnalysisHost::stopRequested()
{
    // Reading the clock costs more than a scan step, so it is read at every 64th step only.
    if (++steps_ % kStepsPerClockRead == 0 && sinceShown_.isValid() &&
        sinceShown_.elapsed() >= kShowInterval) {
        flushOutput();
        sinceShown_.start();
    }
    return window_.stopPressed();
}

bool WindowAnalysisHost::stopRequestedWhileWaiting()
{
    return window_.stopPressed();
}

void WindowAnalysisHost::analysisStarted()
{
    pendingOutput_.clear();
    pendingWordCount_.reset();
    running_ = true;
    sinceShown_.start();
    onWindowThread([this] {
        window_.listWordsButton().setText(QStringLiteral("Stop"));
        window_.enableDisableButtons(false);
    });
}

void WindowAnalysisHost::endRun()
{
    flushOutput();
    // The label counts the words of this analysis: one that found none leaves it empty.
    if (!wordCountGiven_)
        postToWindowThread([this] { window_.numberOfWordsLabel().clear(); });
    wordCountGiven_ = false;
    running_ = false;
}

void WindowAnalysisHost::analysisFinished()
{
    endRun();
    postToWindowThread([this] {
        if (window_.singleFileMode()) {
            window_.listWordsButton().setText(QStringLiteral("List words"));
            window_.enableDisableButtons(true);
        }
    });
}

void WindowAnalysisHost::setWordCountText(std::string_view text)
{
    wordCountGiven_ = true;
    if (running_)
        pendingWordCount_ = std::string(text);
    else
        postToWindowThread([this, shown = fromCp1252(text)] {
            window_.numberOfWordsLabel().setText(shown);
        });
}

void WindowAnalysisHost::setWordCountBusy(bool busy)
{
    postToWindowThread([this, busy] {
        QLabel& label = window_.numberOfWordsLabel();
        QPalette palette = label.palette();
        palette.setColor(QPalette::WindowText, busy ? Qt::red : Qt::black);
        label.setPalette(palette);
        QFont font = label.font();
        font.setBold(busy);
        label.setFont(font);
    });
}

std::string WindowAnalysisHost::outputText() const
{
    return onWindowThread([this] { return window_.outputText(); }) + pendingOutput_;
}

void WindowAnalysisHost::setOutputText(std::string_view text)
{
    pendingOutput_.clear();
    postToWindowThread([this, shown = std::string(text)] { window_.setOutputText(shown); });
}

void WindowAnalysisHost::appendOutputText(std::string_view text)
{
    if (running_)
        pendingOutput_ += text;
    else
        postToWindowThread(
            [this, shown = std::string(text)] { window_.appendOutputText(shown); });
}

void WindowAnalysisHost::flushOutput()
{
    if (!pendingWordCount_ && pendingOutput_.empty())
        return;
    postToWindowThread([this, count = std::exchange(pendingWordCount_, std::nullopt),
                        output = std::exchange(pendingOutput_, {})] {
        if (count)
            window_.numberOfWordsLabel().setText(fromCp1252(*count));
        if (!output.empty())
            window_.appendOutputText(output);
    });
}

// An LF page is an ordinary page here: it is read line by line at full speed, so it is neither
// flagged nor asked about.
void WindowAnalysisHost::showUnixFileWarning(std::string_view) {}

QuestionAnswer WindowAnalysisHost::askUnixFile(std::string_view)
{
    return QuestionAnswer::Yes;
}

bool WindowAnalysisHost::askProceedAfterInvalidEndFont(std::string_view question)
{
    return onWindowThread([this, &question] {
        return window_.dialogs().ask(QStringLiteral("Font tag error"), fromCp1252(question),
                                     QuestionButtons::YesNo, MessageIcon::None,
                                     Answer::Yes) == Answer::Yes;
    });
}

void WindowAnalysisHost::reportNowGenerating()
{
    onWindowThread([this] { window_.reportNowGenerating(); });
}

} // namespace tagwright
