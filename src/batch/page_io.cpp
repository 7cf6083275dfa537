#include "batch/page_io.h"

#include <algorithm>
#include <cerrno>

namespace tagwright {

namespace {
constexpr std::size_t kChunkSize = 64 * 1024;
}

LineReader pageLineReader(FileSystem& fs, int fd)
{
    return LineReader(
        [&fs, fd](char* buffer, std::size_t size) -> long { return fs.read(fd, buffer, size); },
        LineEnds::OfPage, kChunkSize);
}

void PageWriter::writeLine(std::string_view line)
{
    if (text_)
        text_->take(line);
    buffer_.append(line);
    writeBytes(lineEnd_);
}

void PageWriter::writeBytes(std::string_view bytes)
{
    if (text_)
        text_->take(bytes);
    buffer_.append(bytes);
    if (buffer_.size() >= kChunkSize)
        spill();
}

void PageWriter::overwrite(std::uint64_t at, std::string_view bytes)
{
    // The part written out is replaced in the file, the rest in the buffer, which would
    // otherwise write its own bytes over what went to the file beyond its end.
    if (at < handedOver_) {
        const auto inFile =
            static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), handedOver_ - at));
        if (error_ == 0 && !fs_.writeAt(fd_, bytes.substr(0, inFile), static_cast<off_t>(at)))
            error_ = errno != 0 ? errno : EIO;
        bytes.remove_prefix(inFile);
        at = handedOver_;
    }
    buffer_.replace(at - handedOver_, bytes.size(), bytes);
}

void PageWriter::spill()
{
    if (error_ == 0 && !fs_.writeAll(fd_, buffer_))
        error_ = errno != 0 ? errno : EIO;
    handedOver_ += buffer_.size();
    buffer_.clear();
}

bool PageWriter::finish()
{
    spill();
    // The reading since a failed write may have reset errno: the failure's own is given back.
    if (error_ != 0)
        errno = error_;
    return error_ == 0;
}

} // namespace tagwright
