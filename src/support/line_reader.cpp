#include "support/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <sys/stat.h>

namespace tagwright {

namespace {

std::size_t bufferSizeFor(LineEnds ends, std::size_t bufferSize)
{
    // The whole sample of a page must fit, so that its line ends are known before any line.
    return ends == LineEnds::OfPage ? std::max(bufferSize, kLineEndSampleBytes) : bufferSize;
}

} // namespace

bool isLineFeedSample(std::string_view sample)
{
    return sample.find('\n') != std::string_view::npos &&
           sample.find('\r') == std::string_view::npos;
}

LineReader::LineReader(const std::string& path, LineEnds ends, std::size_t bufferSize)
    : file_(std::fopen(path.c_str(), "rb")),
      buffer_(std::make_unique_for_overwrite<char[]>(bufferSizeFor(ends, bufferSize))),
      bufferSize_(bufferSizeFor(ends, bufferSize))
{
    if (!file_) {
        errorNumber_ = errno;
        atEnd_ = true;
        return;
    }
    // The reader keeps its own large buffer; a second one inside the stream would only copy.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    struct stat status
    {
    };
    if (fstat(fileno(file_.get()), &status) == 0 && S_ISREG(status.st_mode))
        fileSize_ = static_cast<std::size_t>(status.st_size);
    source_ = [file = file_.get()](char* buffer, std::size_t size) -> long {
        const std::size_t got = std::fread(buffer, 1, size, file);
        return got == 0 && std::ferror(file) ? -1 : static_cast<long>(got);
    };
    if (ends == LineEnds::OfPage)
        decideLineEnds();
}

LineReader::LineReader(ByteSource source, LineEnds ends, std::size_t bufferSize)
    : source_(std::move(source)),
      buffer_(std::make_unique_for_overwrite<char[]>(bufferSizeFor(ends, bufferSize))),
      bufferSize_(bufferSizeFor(ends, bufferSize))
{
    if (ends == LineEnds::OfPage)
        decideLineEnds();
}

std::string LineReader::errorText() const
{
    return errorNumber_ == 0 ? std::string() : std::string(std::strerror(errorNumber_));
}

void LineReader::decideLineEnds()
{
    // A source may give fewer bytes than asked for: read on until the sample is whole.
    while (end_ < kLineEndSampleBytes) {
        errno = 0;
        const long got = source_(buffer_.get() + end_, bufferSize_ - end_);
        if (got <= 0) {
            atEnd_ = true;
            if (got < 0)
                errorNumber_ = errno != 0 ? errno : EIO;
            break;
        }
        end_ += static_cast<std::size_t>(got);
    }
    lineFeed_ =
        isLineFeedSample(std::string_view(buffer_.get(), std::min(end_, kLineEndSampleBytes)));
}

bool LineReader::refill()
{
    if (!atEnd_ && keepReading_ && !keepReading_())
        atEnd_ = true;
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

// A page without line ends is one line as long as the file. Grown by doubling, such a line would
// be copied whole at each step (hundreds of MB at once, which no look at Stop can interrupt);
// once it outgrows a few MiB it gets room for the rest of the file in one step instead. The system
// commits that room only as it is written. One byte more, for the blank a prepared line ends with:
// else appending it would copy the whole line once more.
void LineReader::makeRoomInLongLine(std::string& line, std::size_t more) const
{
    constexpr std::size_t kLongLineBytes = 4 * 1024 * 1024;
    if (line.size() + more > line.capacity() && line.size() >= kLongLineBytes &&
        fileSize_ > line.capacity())
        line.reserve(fileSize_ + 1);
}

bool LineReader::readLine(std::string& line)
{
    line.clear();
    lastLineEnd_ = 0;
    const char lineEnd = lineFeed_ ? '\n' : '\r';
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
        const void* found = std::memchr(data + begin_, lineEnd, end_ - begin_);
        if (found == nullptr) {
            makeRoomInLongLine(line, end_ - begin_);
            line.append(data + begin_, end_ - begin_);
            begin_ = end_;
            continue;
        }
        const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        line.append(data + begin_, at - begin_);
        begin_ = at + 1;
        lastLineEnd_ = lineEnd;
        skipLineFeed_ = !lineFeed_;
        return true;
    }
}

bool LineReader::copyRest(const ByteSink& sink)
{
    if (lastLineEnd_ != 0)
        sink(std::string_view(&lastLineEnd_, 1));
    lastLineEnd_ = 0;
    // An LF after the last line's CR is part of its line end, and is copied with the rest.
    skipLineFeed_ = false;
    do {
        if (begin_ < end_)
            sink(std::string_view(buffer_.get() + begin_, end_ - begin_));
        begin_ = end_;
    } while (refill());
    return errorNumber_ == 0;
}

} // namespace tagwright
