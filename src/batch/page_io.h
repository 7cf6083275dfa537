#pragma once

// Line-wise reading and writing of a page through the FileSystem seam. Lines are read by the
// program's one line reader, with the line ends of pages; every line written ends with CR LF,
// or with LF when the writer is told so (an LF page keeps its LF line ends).

#include "batch/file_system.h"
#include "batch/text_hash.h"
#include "support/line_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tagwright {

// The lines of a page opened through the seam, so that a read failure can be injected.
LineReader pageLineReader(FileSystem& fs, int fd);

class PageWriter
{
  public:
    PageWriter(FileSystem& fs, int fd) : fs_(fs), fd_(fd) {}

    // Whether every line written from now on ends with LF rather than CR LF.
    void setLineFeedEnds(bool lineFeed) { lineEnd_ = lineFeed ? "\n" : "\r\n"; }
    void writeLine(std::string_view line);
    // Bytes as they stand, without a line end.
    void writeBytes(std::string_view bytes);
    // What is written from now on is hashed into text too; nothing when null.
    void hashTextInto(LineTextHash* text) { text_ = text; }
    // How many bytes have been written.
    std::uint64_t position() const { return handedOver_ + buffer_.size(); }
    // Bytes written earlier at `at` are replaced by as many others: in the buffer while they are
    // still there, in the file once written out, or in both.
    void overwrite(std::uint64_t at, std::string_view bytes);
    // Writes what is still buffered; false when any write failed, with errno set by the first.
    bool finish();

  private:
    void spill();

    FileSystem& fs_;
    int fd_;
    std::string_view lineEnd_ = "\r\n";
    std::string buffer_;
    std::uint64_t handedOver_ = 0; // bytes of the file before the buffer
    LineTextHash* text_ = nullptr;
    int error_ = 0; // errno of the first failed write; 0 while none failed
};

} // namespace tagwright
