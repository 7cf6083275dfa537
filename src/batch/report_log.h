#pragma once

// The bounded text of the report window. Entries are appended only through output(); when an
// entry would pass the capacity the log is closed with a notice and later entries are dropped,
// so that a long run cannot exhaust memory while the processing itself goes on.
//
// The command line's log has no capacity: it hands each line out as soon as the line is
// complete and keeps only the line being written, which the run may still change (the status
// text at its end), so that the whole report is printed as the run goes in little memory.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tagwright {

inline constexpr std::int32_t kReportCapacity = 50000;
inline constexpr std::string_view kReportFullNotice = "[Report buffer is full.  Processing will continue.]";

// Receives complete lines of the log, each with its CR LF.
using ReportLineSink = std::function<void(std::string_view lines)>;

// A change of the log's text: the first `kept` bytes of the text before it stay, and `appended`
// follows them now. Positions count from the start of the log since it was last emptied, the
// lines handed out included.
struct ReportChange
{
    std::size_t kept = 0;
    std::string_view appended;
};

class ReportLog {
public:
    explicit ReportLog(std::int32_t capacity = kReportCapacity) : capacity_(capacity) {}
    // A log without capacity whose complete lines go to sink; text() is the line being written.
    explicit ReportLog(ReportLineSink sink) : capacity_(0), sink_(std::move(sink)) {}

    // Appends when logging is on and the log is not full; see the class comment.
    void output(std::string_view entry);

    const std::string& text() const { return text_; }
    // Whether nothing was logged since the log was last emptied, handed-out lines included.
    bool isEmpty() const { return text_.empty() && handedOut_ == 0; }
    // The bytes handed out to the sink since the log was last emptied.
    std::size_t handedOut() const { return handedOut_; }
    // Hands the line being written to the sink as it stands (the end of a run).
    void handOutRest();
    bool isFull() const { return bufferFull_; }
    bool loggingOn() const { return loggingOn_; }
    // Whether output() is to take effect; the batch run sets it from its settings.
    void setLoggingOn(bool on) { loggingOn_ = on; }

    // Empties the text and lets entries be appended again.
    void clear();
    // Lets entries be appended again to the text as it stands.
    void clearFullFlag() { bufferFull_ = false; }
    // Cuts the text at a 0-based position (the status text of a file line, the end of a run
    // that failed).
    void cutAt(std::size_t position);
    // The status text at the end of the file line changes while a file is analysed.
    void replaceText(std::string text);

    // Called after every change of the text with what changed, so that a window can follow
    // it without taking the whole text each time.
    void setChangeListener(std::function<void(const ReportChange&)> listener)
    {
        changed_ = std::move(listener);
    }

private:
    // Tells the listener that the text from `kept` (a position in text_) on is new.
    void notify(std::size_t kept) const;
    // Hands out what text_ holds up to its last CR LF.
    void handOutCompleteLines();

    std::int32_t capacity_;
    ReportLineSink sink_;
    std::size_t handedOut_ = 0;
    std::string text_;
    bool bufferFull_ = false;
    bool loggingOn_ = true;
    std::function<void(const ReportChange&)> changed_;
};

// Writes the report text, followed by CR LF, in UTF-8 to a file through a temporary file, so
// that a failure never leaves a partial file. Returns the empty text or the failure's
// description.
std::string saveReportToFile(std::string_view text, const std::string& path);

// Writes bytes as they are to a file in the same way as saveReportToFile.
std::string saveBytesToFile(std::string_view bytes, const std::string& path);

} // namespace tagwright
