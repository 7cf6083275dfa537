#include "batch/page_io.h"

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
    buffer_.append(line);
    writeBytes(lineEnd_);
}

void PageWriter::writeBytes(std::string_view bytes)
{
    buffer_.append(bytes);
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
