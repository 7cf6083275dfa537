#include "batch/report_log.h"

#include "batch/file_system.h"
#include "batch/safe_replace.h"
#include "support/cp1252.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tagwright {

namespace {

constexpr std::size_t kCutOnFull = 1000;

// How many bytes at the start of a and b are alike. A new status text changes only the end of a
// long report: blocks that halve in length are compared at memcmp's pace, and only the last few
// bytes one at a time.
std::size_t alikeAtStart(std::string_view a, std::string_view b)
{
    const std::size_t length = std::min(a.size(), b.size());
    std::size_t alike = 0;
    for (std::size_t block = std::bit_floor(length); block >= 64; block /= 2) {
        if (alike + block <= length && std::memcmp(a.data() + alike, b.data() + alike, block) == 0)
            alike += block;
    }
    return static_cast<std::size_t>(
        std::mismatch(a.begin() + alike, a.begin() + length, b.begin() + alike).first - a.begin());
}

} // namespace

void ReportLog::output(std::string_view entry)
{
    if (bufferFull_ || !loggingOn_)
        return;
    if (sink_) {
        const std::size_t before = handedOut_ + text_.size();
        text_.append(entry);
        handOutCompleteLines();
        if (changed_)
            changed_({before, entry});
        return;
    }
    if (text_.size() + entry.size() <= static_cast<std::size_t>(capacity_)) {
        text_.append(entry);
        notify(text_.size() - entry.size());
        return;
    }
    text_.resize(text_.size() > kCutOnFull ? text_.size() - kCutOnFull : 0);
    const auto lastLineEnd = text_.rfind("\r\n");
    text_.resize(lastLineEnd == std::string::npos ? 0 : lastLineEnd);
    const std::size_t kept = text_.size();
    text_.append("\r\n\r\n");
    text_.append(kReportFullNotice);
    bufferFull_ = true;
    notify(kept);
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
}

void ReportLog::clear()
{
    text_.clear();
    handedOut_ = 0;
    bufferFull_ = false;
    notify(0);
}

void ReportLog::cutAt(std::size_t position)
{
    if (position < text_.size()) {
        text_.resize(position);
        notify(position);
    }
}

void ReportLog::replaceText(std::string text)
{
    const std::size_t kept = alikeAtStart(text_, text);
    text_ = std::move(text);
    notify(kept);
}

void ReportLog::notify(std::size_t kept) const
{
    if (changed_)
        changed_({handedOut_ + kept, std::string_view(text_).substr(kept)});
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
