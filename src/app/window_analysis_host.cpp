#include "app/window_analysis_host.h"

#include "app/main_window.h"
#include "app/qt_text.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tagwright {

bool WindowAnalysisHost::stopRequested()
{
    // Reading the clock costs more than a scan step, so it is read at every 64th step only.
    if (++steps_ % kStepsPerClockRead == 0 &&
        (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= kEventInterval)) {
        if (!sinceShown_.isValid() || sinceShown_.elapsed() >= kShowInterval) {
            flushOutput();
            sinceShown_.start();
        }
        letEventsThrough();
    }
    return window_.stopPressed();
}

bool WindowAnalysisHost::stopRequestedWhileWaiting()
{
    letEventsThrough();
    return window_.stopPressed();
}

void WindowAnalysisHost::letEventsThrough()
{
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

void WindowAnalysisHost::analysisStarted()
{
    window_.listWordsButton().setText(QStringLiteral("Stop"));
    window_.enableDisableButtons(false);
    pendingOutput_.clear();
    pendingWordCount_.reset();
    running_ = true;
    sinceShown_.start();
    // Stop is shown and takes a click before the first line is read, however long that takes.
    letEventsThrough();
}

void WindowAnalysisHost::endRun()
{
    flushOutput();
    // The label counts the words of this analysis: one that found none leaves it empty.
    if (!wordCountGiven_)
        window_.numberOfWordsLabel().clear();
    wordCountGiven_ = false;
    running_ = false;
}

void WindowAnalysisHost::analysisFinished()
{
    endRun();
    if (window_.singleFileMode()) {
        window_.listWordsButton().setText(QStringLiteral("List words"));
        window_.enableDisableButtons(true);
    } else {
        window_.listWordsButton().setEnabled(false);
    }
}

void WindowAnalysisHost::setWordCountText(std::string_view text)
{
    wordCountGiven_ = true;
    if (running_)
        pendingWordCount_ = std::string(text);
    else
        window_.numberOfWordsLabel().setText(fromCp1252(text));
}

void WindowAnalysisHost::setWordCountBusy(bool busy)
{
    QLabel& label = window_.numberOfWordsLabel();
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, busy ? Qt::red : Qt::black);
    label.setPalette(palette);
    QFont font = label.font();
    font.setBold(busy);
    label.setFont(font);
}

std::string WindowAnalysisHost::outputText() const
{
    return window_.outputText() + pendingOutput_;
}

void WindowAnalysisHost::setOutputText(std::string_view text)
{
    pendingOutput_.clear();
    window_.setOutputText(std::string(text));
    window_.outputBox().repaint();
}

void WindowAnalysisHost::appendOutputText(std::string_view text)
{
    if (running_)
        pendingOutput_ += text;
    else
        window_.appendOutputText(std::string(text));
}

void WindowAnalysisHost::flushOutput()
{
    if (pendingWordCount_) {
        window_.numberOfWordsLabel().setText(fromCp1252(*pendingWordCount_));
        pendingWordCount_.reset();
    }
    if (pendingOutput_.empty())
        return;
    window_.appendOutputText(pendingOutput_);
    pendingOutput_.clear();
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
    return window_.dialogs().ask(QStringLiteral("Font tag error"), fromCp1252(question),
                                 QuestionButtons::YesNo, MessageIcon::None,
                                 Answer::Yes) == Answer::Yes;
}

void WindowAnalysisHost::reportNowGenerating()
{
    window_.reportNowGenerating();
}

} // namespace tagwright
