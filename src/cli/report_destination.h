#pragma once

// Where --report sends the report. The destination is checked and opened before the run
// touches any page: "-", a terminal or other character device, a pipe and the process's own
// descriptors (/dev/stdout, /dev/fd/N, a link to one) are written through; a regular file is
// replaced safely; a folder, a block device, a socket and a page of the run are refused.

#include "batch/page_io.h"

#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tagwright::cli {

// The pages a run may write: files with one of the extensions in the walked folder (and,
// with recursive, its subfolders), backups included.
struct PageScope
{
    std::string folder;
    bool recursive = false;
    std::set<std::string> extensions; // lower case, without the dot

    // Whether a run takes a file of this name as a page: one of the extensions, and no backup.
    bool takesPage(const std::string& name) const;
};

class ReportDestination
{
  public:
    // Throws ReportRefused, whose text begins with option, when the report cannot go to path.
    ReportDestination(const std::string& path, const PageScope& pages,
                      std::string_view option = "--report");
    ReportDestination(const ReportDestination&) = delete;
    ReportDestination& operator=(const ReportDestination&) = delete;
    ~ReportDestination();

    // The next lines of the report, UTF-8 with LF, as the run writes them: written through at
    // once to a descriptor, kept until finish() for a file.
    void append(std::string_view lines);
    // Saves the report to its file; returns the empty text or the description of the first
    // failure to write the report.
    std::string finish();
    // Writes a report made at the end of the run, streamed by produce, in place of what append
    // kept; the failure's description or the empty text.
    std::string write(const std::function<void(PageWriter&)>& produce);
    // The folder from which links in the report lead: the file's, or the working folder.
    std::string linkBase() const;

    // Whether the report goes to this process's standard output ("-", /dev/stdout, ...).
    bool isStandardOutput() const { return standardOutput_; }

  private:
    std::string file_; // a regular file (possibly still absent), replaced safely
    std::string kept_; // the report for file_
    int fd_ = -1;      // or a descriptor written through
    std::string failure_;
    bool standardOutput_ = false;
};

class ReportRefused : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

} // namespace tagwright::cli
