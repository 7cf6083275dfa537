#pragma once

// Line-wise reading and writing of a page through the FileSystem seam. Lines are read by the
// program's one line reader; every line written ends with CR LF.

#include "batch/file_system.h"
#include "support/line_reader.h"

#include <string>
#include <string_view>

namespace tagwright {

// The lines of a page opened through the seam, so that a read failure can be injected.
LineReader pageLineReader(FileSystem& fs, int fd);

class PageWriter {
public:
    PageWriter(FileSystem& fs, int fd) : fs_(fs), fd_(fd) {}

    void writeLine(std::string_view line);
    // Writes what is still buffered; false when any write failed.
    bool finish();

private:
    void spill();

    FileSystem& fs_;
    int fd_;
    std::string buffer_;
    bool failed_ = false;
};

} // namespace tagwright
