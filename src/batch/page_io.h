#pragma once

// Line-wise reading and writing of a page through the FileSystem seam. A line read ends at
// CR LF or at a lone CR; a lone LF stays inside the line. Every line written ends with CR LF.

#include "batch/file_system.h"

#include <string>
#include <string_view>

namespace tagwright {

class PageLineReader {
public:
    PageLineReader(FileSystem& fs, int fd) : fs_(fs), fd_(fd) {}

    // The next line without its end; false at the end of the file or on a read failure.
    bool next(std::string& line);
    bool failed() const { return failed_; }

private:
    bool fill();

    FileSystem& fs_;
    int fd_;
    std::string buffer_;
    std::size_t position_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

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
