#pragma once

// Where --report sends the report. The destination is checked and opened before the run
// touches any page: "-", a terminal or other character device, a pipe and the process's own
// descriptors (/dev/stdout, /dev/fd/N, a link to one) are written through; a regular file is
// replaced safely; a folder, a block device, a socket and a page of the run are refused.

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
    // Throws ReportRefused when the report cannot go to path.
    ReportDestination(const std::string& path, const PageScope& pages);
    ReportDestination(const ReportDestination&) = delete;
    ReportDestination& operator=(const ReportDestination&) = delete;
    ~ReportDestination();

    // Writes the report (Windows-1252, CR LF) as UTF-8 followed by CR LF; returns the empty
    // text or the failure's description.
    std::string write(std::string_view cp1252Text) const;

    // Whether the report goes to this process's standard output ("-", /dev/stdout, ...).
    bool isStandardOutput() const { return standardOutput_; }

  private:
    std::string file_; // a regular file (possibly still absent), replaced safely
    int fd_ = -1;      // or a descriptor written through
    bool standardOutput_ = false;
};

class ReportRefused : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

} // namespace tagwright::cli
