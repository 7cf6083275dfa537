#include "batch/safe_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

namespace tagwright {

namespace {

struct Failure {
    std::string text;
};

Failure failureFromErrno()
{
    return Failure{std::strerror(errno)};
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Hands take() names next to target until it takes one; a name that a file already bears
// (EEXIST) is passed over, so that nothing is ever replaced. False, with errno, on a failure.
bool takeFreshName(const std::string& target, const char* purpose, std::string& name,
                   const std::function<bool(const std::string&)>& take)
{
    const std::string stem =
        folderOf(target) + "." + nameOf(target) + "." + purpose + "-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 1000; ++attempt) {
        name = stem + std::to_string(attempt);
        if (take(name))
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

int createTemporaryNear(FileSystem& fs, const std::string& target, const char* purpose, std::string& path)
{
    int fd = -1;
    takeFreshName(target, purpose, path, [&](const std::string& name) {
        fd = fs.createNew(name, 0600);
        return fd >= 0;
    });
    return fd;
}

// Makes the new file look like the previous one: same permission bits, and, where allowed,
// the same owner.
void takeOverAttributes(int fd, const struct stat& previous)
{
    ::fchmod(fd, previous.st_mode & 07777);
    if (::geteuid() == 0)
        [[maybe_unused]] const int ignored = ::fchown(fd, previous.st_uid, previous.st_gid);
}

// A file that did not exist before gets the permissions that creating it plainly would give.
void takeDefaultPermissions(int fd)
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
}

bool linkUnsupported(int error)
{
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS;
}

std::optional<Failure> copyContent(FileSystem& fs, int source, int copy)
{
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = fs.read(source, buffer, sizeof buffer);
        if (got < 0)
            return failureFromErrno();
        if (got == 0)
            return std::nullopt;
        if (!fs.writeAll(copy, std::string_view(buffer, static_cast<std::size_t>(got))))
            return failureFromErrno();
    }
}

// A copy of the previous file, with its attributes and times, under a temporary name: for file
// systems without hard links.
std::optional<Failure> copyPrevious(FileSystem& fs, const std::string& target, const struct stat& previous,
                                    std::string& copyPath)
{
    OpenFile source(fs, fs.openForReading(target));
    if (!source.isOpen())
        return failureFromErrno();
    OpenFile copy(fs, createTemporaryNear(fs, target, "bak", copyPath));
    if (!copy.isOpen())
        return failureFromErrno();
    auto failure = copyContent(fs, source.fd(), copy.fd());
    if (!failure) {
        takeOverAttributes(copy.fd(), previous);
        const struct timespec times[2] = {previous.st_atim, previous.st_mtim};
        ::futimens(copy.fd(), times);
        if (!fs.flush(copy.fd()) || !copy.close())
            failure = failureFromErrno();
    }
    if (failure) {
        copy.close();
        fs.remove(copyPath);
    }
    return failure;
}

// Puts the previous file under backupPath while it keeps its own name too.
std::optional<Failure> makeBackup(FileSystem& fs, const std::string& target, const struct stat& previous,
                                  const std::string& backupPath)
{
    // A second name for the previous file first: link() and rename() each replace nothing but
    // an older backup.
    std::string linkPath;
    if (!takeFreshName(target, "bak", linkPath, [&](const std::string& name) { return fs.link(target, name); })) {
        if (!linkUnsupported(errno))
            return failureFromErrno();
        if (auto failure = copyPrevious(fs, target, previous, linkPath))
            return failure;
    }
    if (!fs.rename(linkPath, backupPath)) {
        const Failure failure = failureFromErrno();
        fs.remove(linkPath);
        return failure;
    }
    return std::nullopt;
}

} // namespace

ReplaceResult replaceFile(FileSystem& fs, const std::string& target, const std::string& backupPath,
                          const ContentProducer& produce)
{
    struct stat previous {};
    const bool replacing = ::stat(target.c_str(), &previous) == 0;

    std::string temporaryPath;
    OpenFile temporary(fs, createTemporaryNear(fs, target, "new", temporaryPath));
    if (!temporary.isOpen())
        return {kReplaceFailed, failureFromErrno().text};

    const auto abandon = [&](int code, const std::string& text) {
        temporary.close();
        fs.remove(temporaryPath);
        return ReplaceResult{code, text};
    };

    PageWriter writer(fs, temporary.fd());
    const int produced = produce(writer);
    if (produced != 0)
        return abandon(produced, {});
    if (!writer.finish())
        return abandon(kReplaceFailed, failureFromErrno().text);
    if (replacing)
        takeOverAttributes(temporary.fd(), previous);
    else
        takeDefaultPermissions(temporary.fd());
    if (!fs.flush(temporary.fd()) || !temporary.close())
        return abandon(kReplaceFailed, failureFromErrno().text);

    if (replacing && !backupPath.empty()) {
        if (auto failure = makeBackup(fs, target, previous, backupPath))
            return abandon(kReplaceFailed, failure->text);
    }
    if (!fs.rename(temporaryPath, target))
        return abandon(kReplaceFailed, failureFromErrno().text);
    return {};
}

std::string backupFileName(const std::string& path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(0, dot + 1) + "bak." + path.substr(dot + 1);
}

bool isRegularFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string resolvedFilePath(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)))
        return path;
    const auto target = std::filesystem::canonical(path, error);
    return error ? path : target.string();
}

} // namespace tagwright
