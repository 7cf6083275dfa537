#include "batch/report_log.h"

#include "batch/file_system.h"
#include "batch/safe_replace.h"
#include "support/cp1252.h"

namespace tagwright {

namespace {
constexpr std::size_t kCutOnFull = 1000;
}

void ReportLog::output(std::string_view entry)
{
    if (bufferFull_ || !loggingOn_)
        return;
    if (sink_) {
        text_.append(entry);
        handOutCompleteLines();
        notify();
        return;
    }
    if (text_.size() + entry.size() <= static_cast<std::size_t>(capacity_)) {
        text_.append(entry);
        notify();
        return;
    }
    text_.resize(text_.size() > kCutOnFull ? text_.size() - kCutOnFull : 0);
    const auto lastLineEnd = text_.rfind("\r\n");
    text_.resize(lastLineEnd == std::string::npos ? 0 : lastLineEnd);
    text_.append("\r\n\r\n");
    text_.append(kReportFullNotice);
    bufferFull_ = true;
    notify();
}

void ReportLog::handOutCompleteLines()
{
    const std::size_t lineEnd = text_.rfind("\r\n");
    if (lineEnd == std::string::npos)
        return;
    const std::size_t complete = lineEnd + 2;
    sink_(std::string_view(text_).substr(0, complete));
    handedOut_ += complete;
    text_.erase(0, complete);
}

void ReportLog::handOutRest()
{
    if (!sink_ || text_.empty())
        return;
    sink_(text_);
    handedOut_ += text_.size();
    text_.clear();
    notify();
}

void ReportLog::clear()
{
    text_.clear();
    handedOut_ = 0;
    bufferFull_ = false;
    notify();
}

void ReportLog::cutAt(std::size_t position)
{
    if (position < text_.size()) {
        text_.resize(position);
        notify();
    }
}

void ReportLog::replaceText(std::string text)
{
    text_ = std::move(text);
    notify();
}

void ReportLog::notify() const
{
    if (changed_)
        changed_();
}

std::string saveReportToFile(std::string_view text, const std::string& path)
{
    return saveBytesToFile(cp1252ToUtf8(text) + "\r\n", path);
}

std::string saveBytesToFile(std::string_view bytes, const std::string& path)
{
    return saveFile(path, [&](PageWriter& writer) { writer.writeBytes(bytes); });
}

} // namespace tagwright
