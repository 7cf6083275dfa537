#include "batch/recorded_host_calls.h"

namespace tagwright {

RecordedHostCalls::Recorder::Recorder(RecordedHostCalls& calls, const std::atomic<bool>& stopping)
    : calls_(calls), stopping_(stopping)
{
}

bool RecordedHostCalls::Recorder::stopRequested()
{
    return stopping_.load(std::memory_order_relaxed);
}

void RecordedHostCalls::Recorder::analysisStarted()
{
    calls_.add(Kind::AnalysisStarted);
}

void RecordedHostCalls::Recorder::analysisFinished()
{
    calls_.add(Kind::AnalysisFinished);
}

void RecordedHostCalls::Recorder::setWordCountText(std::string_view text)
{
    calls_.add(Kind::SetWordCountText, text);
}

void RecordedHostCalls::Recorder::setWordCountBusy(bool busy)
{
    calls_.add(Kind::SetWordCountBusy, {}, busy);
}

void RecordedHostCalls::Recorder::setOutputText(std::string_view text)
{
    box_ = text;
    calls_.add(Kind::SetOutputText, text);
}

void RecordedHostCalls::Recorder::appendOutputText(std::string_view text)
{
    box_ += text;
    calls_.add(Kind::AppendOutputText, text);
}

void RecordedHostCalls::Recorder::showUnixFileWarning(std::string_view text)
{
    calls_.add(Kind::ShowUnixFileWarning, text);
}

QuestionAnswer RecordedHostCalls::Recorder::askUnixFile(std::string_view question)
{
    calls_.add(Kind::AskUnixFile, question);
    return QuestionAnswer::Yes;
}

bool RecordedHostCalls::Recorder::askProceedAfterInvalidEndFont(std::string_view)
{
    calls_.metEndFontQuestion_ = true;
    return false;
}

void RecordedHostCalls::Recorder::reportNowGenerating()
{
    calls_.add(Kind::ReportNowGenerating);
}

void RecordedHostCalls::add(Kind kind, std::string_view text, bool flag)
{
    // Between the start and the end of an analysis a window shows the latest word count and the
    // words appended since it last showed them, so runs of these calls are kept as one.
    if (!calls_.empty() && calls_.back().kind == kind) {
        if (kind == Kind::SetWordCountText) {
            calls_.back().text = text;
            return;
        }
        if (kind == Kind::AppendOutputText) {
            calls_.back().text += text;
            return;
        }
    }
    calls_.push_back({kind, std::string(text), flag});
}

RecordedHostCalls::Ending RecordedHostCalls::tellTo(AnalysisHost& host) const
{
    for (const Call& call : calls_) {
        switch (call.kind) {
        case Kind::AnalysisStarted:
            host.analysisStarted();
            if (host.stopRequested())
                return Ending::Stopped;
            break;
        case Kind::AnalysisFinished:
            host.analysisFinished();
            break;
        case Kind::SetWordCountText:
            host.setWordCountText(call.text);
            break;
        case Kind::SetWordCountBusy:
            host.setWordCountBusy(call.flag);
            break;
        case Kind::SetOutputText:
            host.setOutputText(call.text);
            break;
        case Kind::AppendOutputText:
            host.appendOutputText(call.text);
            break;
        case Kind::ShowUnixFileWarning:
            host.showUnixFileWarning(call.text);
            break;
        case Kind::AskUnixFile:
            switch (host.askUnixFile(call.text)) {
            case QuestionAnswer::Yes:
                break;
            case QuestionAnswer::No:
                return Ending::UnixFileDeclined;
            case QuestionAnswer::Cancel:
                return Ending::RunCancelled;
            }
            break;
        case Kind::ReportNowGenerating:
            host.reportNowGenerating();
            break;
        }
    }
    return Ending::Told;
}

} // namespace tagwright
