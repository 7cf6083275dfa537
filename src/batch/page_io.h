#pragma once

// Line-wise reading and writing of a page through the FileSystem seam. Lines are read by the
// program's one line reader, with the line ends of pages; every line written ends with CR LF,
// or with LF when the writer is told so (an LF page keeps its LF line ends).

#include "batch/file_system.h"
#include "support/line_reader.h"

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
    // Writes what is still buffered; false when any write failed, with errno set by the first.
    bool finish();

  private:
    void spill();

    FileSystem& fs_;
    int fd_;
    std::string_view lineEnd_ = "\r\n";
    std::string buffer_;
    int error_ = 0; // errno of the first failed write; 0 while none failed
};

} // namespace tagwright
