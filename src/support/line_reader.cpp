#include "support/line_reader.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace tagwright {

LineReader::LineReader(const std::string& path, std::size_t bufferSize)
    : file_(std::fopen(path.c_str(), "rb")), buffer_(std::make_unique<char[]>(bufferSize)),
      bufferSize_(bufferSize)
{
    if (!file_) {
        errorNumber_ = errno;
        atEnd_ = true;
        return;
    }
    // The reader keeps its own large buffer; a second one inside the stream would only copy.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    source_ = [file = file_.get()](char* buffer, std::size_t size) -> long {
        const std::size_t got = std::fread(buffer, 1, size, file);
        return got == 0 && std::ferror(file) ? -1 : static_cast<long>(got);
    };
}

LineReader::LineReader(ByteSource source, std::size_t bufferSize)
    : source_(std::move(source)), buffer_(std::make_unique<char[]>(bufferSize)),
      bufferSize_(bufferSize)
{
}

std::string LineReader::errorText() const
{
    return errorNumber_ == 0 ? std::string() : std::string(std::strerror(errorNumber_));
}

bool LineReader::refill()
{
    if (atEnd_)
        return false;
    errno = 0;
    begin_ = 0;
    const long got = source_(buffer_.get(), bufferSize_);
    end_ = got > 0 ? static_cast<std::size_t>(got) : 0;
    if (end_ == 0) {
        atEnd_ = true;
        if (got < 0)
            errorNumber_ = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

bool LineReader::readLine(std::string& line)
{
    line.clear();
    bool any = false; // whether a line has begun: a final line without line end still counts
    for (;;) {
        if (begin_ == end_ && !refill())
            return any && errorNumber_ == 0;
        const char* data = buffer_.get();
        if (skipLineFeed_) {
            skipLineFeed_ = false;
            if (data[begin_] == '\n' && ++begin_ == end_)
                continue;
        }
        any = true;
        const void* found = std::memchr(data + begin_, '\r', end_ - begin_);
        if (found == nullptr) {
            line.append(data + begin_, end_ - begin_);
            begin_ = end_;
            continue;
        }
        const auto cr = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        line.append(data + begin_, cr - begin_);
        begin_ = cr + 1;
        skipLineFeed_ = true;
        return true;
    }
}

} // namespace tagwright
