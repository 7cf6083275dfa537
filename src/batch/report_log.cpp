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

void ReportLog::clear()
{
    text_.clear();
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
    FileSystem fs;
    const std::string content = cp1252ToUtf8(text);
    const ReplaceResult result = replaceFile(fs, resolvedFilePath(path), {}, [&](PageWriter& writer) {
        writer.writeLine(content);
        return 0;
    });
    return result.errorText;
}

} // namespace tagwright
