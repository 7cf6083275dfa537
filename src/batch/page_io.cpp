#include "batch/page_io.h"

namespace tagwright {

namespace {
constexpr std::size_t kChunkSize = 64 * 1024;
}

bool PageLineReader::fill()
{
    if (atEnd_ || failed_)
        return false;
    buffer_.erase(0, position_);
    position_ = 0;
    const std::size_t kept = buffer_.size();
    buffer_.resize(kept + kChunkSize);
    const ssize_t got = fs_.read(fd_, buffer_.data() + kept, kChunkSize);
    if (got < 0)
        failed_ = true;
    else if (got == 0)
        atEnd_ = true;
    buffer_.resize(kept + (got > 0 ? static_cast<std::size_t>(got) : 0));
    return got > 0;
}

bool PageLineReader::next(std::string& line)
{
    for (;;) {
        const std::size_t cr = buffer_.find('\r', position_);
        // A CR as the last byte buffered may be the first half of CR LF: read on before deciding.
        if (cr != std::string::npos && (cr + 1 < buffer_.size() || atEnd_)) {
            line.assign(buffer_, position_, cr - position_);
            position_ = cr + 1;
            if (position_ < buffer_.size() && buffer_[position_] == '\n')
                ++position_;
            return true;
        }
        if (!fill()) {
            if (failed_ || position_ >= buffer_.size())
                return false;
            if (buffer_.find('\r', position_) != std::string::npos)
                continue;
            line.assign(buffer_, position_, std::string::npos);
            position_ = buffer_.size();
            return true;
        }
    }
}

void PageWriter::writeLine(std::string_view line)
{
    buffer_.append(line);
    buffer_.append("\r\n");
    if (buffer_.size() >= kChunkSize)
        spill();
}

void PageWriter::spill()
{
    if (!failed_ && !fs_.writeAll(fd_, buffer_))
        failed_ = true;
    buffer_.clear();
}

bool PageWriter::finish()
{
    spill();
    return !failed_;
}

} // namespace tagwright
