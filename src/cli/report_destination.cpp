#include "cli/report_destination.h"

#include "batch/file_system.h"
#include "batch/report_log.h"
#include "batch/safe_replace.h"
#include "support/files.h"
#include "support/quoted_name.h"
#include "support/strings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace tagwright::cli {

namespace {

namespace fs = std::filesystem;

std::optional<int> descriptorNumber(std::string_view text)
{
    int number = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

// The descriptor that a name of the process's own descriptors stands for.
std::optional<int> descriptorNamed(std::string_view path)
{
    if (path == "/dev/stdin")
        return 0;
    if (path == "/dev/stdout")
        return 1;
    if (path == "/dev/stderr")
        return 2;
    const std::string ownProc = "/proc/" + std::to_string(::getpid()) + "/fd/";
    for (const std::string_view prefix :
         {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/"),
          std::string_view("/proc/thread-self/fd/"), std::string_view(ownProc)})
        if (path.starts_with(prefix))
            return descriptorNumber(path.substr(prefix.size()));
    return std::nullopt;
}

// Follows the links of path one by one, stopping at a name of the process's own descriptors:
// their targets are what the descriptor holds (a pipe, a terminal, the file stdout goes to),
// which is to be written through, not replaced.
std::optional<int> ownDescriptor(std::string path)
{
    for (int hop = 0; hop < 40; ++hop) {
        if (const auto number = descriptorNamed(path))
            return number;
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error)))
            return std::nullopt;
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            return std::nullopt;
        path = target.is_absolute() ? target.string()
                                    : (fs::path(path).parent_path() / target).string();
    }
    return std::nullopt;
}

bool isPageOfTheRun(const std::string& path, const PageScope& pages)
{
    std::error_code error;
    const fs::path folder = fs::canonical(pages.folder, error);
    if (error)
        return false;
    // The file that the report would replace: a link's final target.
    const fs::path file = fs::exists(path, error) ? fs::canonical(path, error)
                                                  : fs::canonical(containingFolder(path), error) /
                                                        fs::path(path).filename();
    if (error || !pages.extensions.contains(fileExtension(file.filename().string(), true)))
        return false;
    if (!pages.recursive)
        return file.parent_path() == folder;
    const std::string inside = folder.string() + (folder.string().ends_with('/') ? "" : "/");
    return file.string().starts_with(inside);
}

// Throws the refusal of a destination: "--report PATH: reason".
class Refusal
{
  public:
    Refusal(std::string_view option, const std::string& path)
        : start_(std::string(option) + " " + shellQuotedName(path) + ": ")
    {
    }
    [[noreturn]] void operator()(const std::string& reason) const
    {
        throw ReportRefused(start_ + reason);
    }

  private:
    std::string start_;
};

int openForWritingThrough(const std::string& path, const Refusal& refuse)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        refuse(std::strerror(errno));
    return fd;
}

} // namespace

bool PageScope::takesPage(const std::string& name) const
{
    return extensions.contains(fileExtension(name, true)) &&
           lowerCaseAccented(name).find(".bak.") == std::string::npos;
}

ReportDestination::ReportDestination(const std::string& path, const PageScope& pages,
                                     std::string_view option)
{
    const Refusal refuse(option, path);
    const std::optional<int> own =
        path == "-" ? std::optional<int>(STDOUT_FILENO) : ownDescriptor(path);
    if (own) {
        standardOutput_ = *own == STDOUT_FILENO;
        fd_ = ::fcntl(*own, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0)
            refuse(std::strerror(errno));
        return;
    }
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            refuse("is a folder");
        if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)) {
            fd_ = openForWritingThrough(path, refuse);
            return;
        }
        if (!S_ISREG(status.st_mode))
            refuse("is neither a regular file nor a terminal nor a pipe");
    } else if (errno != ENOENT) {
        refuse(std::strerror(errno));
    }
    if (isPageOfTheRun(path, pages))
        refuse("is a page of the run");
    const std::string folder = containingFolder(path);
    struct stat folderStatus
    {
    };
    if (::stat(folder.c_str(), &folderStatus) != 0)
        refuse(std::strerror(errno));
    if (!S_ISDIR(folderStatus.st_mode))
        refuse(std::strerror(ENOTDIR));
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        refuse(std::strerror(errno));
    file_ = path;
}

ReportDestination::~ReportDestination()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void ReportDestination::append(std::string_view lines)
{
    if (fd_ < 0) {
        kept_.append(lines);
        return;
    }
    FileSystem fs;
    if (failure_.empty() && !fs.writeAll(fd_, lines))
        failure_ = std::strerror(errno);
}

std::string ReportDestination::finish()
{
    if (fd_ < 0)
        return saveBytesToFile(kept_, file_);
    return failure_;
}

std::string ReportDestination::write(const std::function<void(PageWriter&)>& produce)
{
    if (fd_ < 0)
        return saveFile(file_, produce);
    FileSystem fs;
    PageWriter writer(fs, fd_);
    produce(writer);
    return writer.finish() ? std::string() : std::strerror(errno);
}

std::string ReportDestination::linkBase() const
{
    return fd_ < 0 ? containingFolder(file_) : ".";
}

} // namespace tagwright::cli
