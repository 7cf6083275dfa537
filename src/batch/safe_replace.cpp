#include "batch/safe_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
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

// Creates a temporary file next to target under a name that no existing file bears.
int createTemporaryNear(FileSystem& fs, const std::string& target, const char* purpose,
                        std::string& temporaryPath)
{
    const std::string stem =
        folderOf(target) + "." + nameOf(target) + "." + purpose + "-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 1000; ++attempt) {
        temporaryPath = stem + std::to_string(attempt);
        const int fd = fs.createNew(temporaryPath, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Makes the new file look like the previous one: same permission bits, and, where allowed,
// the same owner.
void takeOverAttributes(int fd, const struct stat& previous)
{
    ::fchmod(fd, previous.st_mode & 07777);
    if (::geteuid() == 0)
        [[maybe_unused]] const int ignored = ::fchown(fd, previous.st_uid, previous.st_gid);
}

bool linkUnsupported(int error)
{
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS;
}

// A copy of the previous file under a temporary name, for file systems without hard links.
std::optional<Failure> copyPrevious(FileSystem& fs, const std::string& target, const struct stat& previous,
                                    const std::string& copyPath)
{
    OpenFile source(fs, fs.openForReading(target));
    if (!source.isOpen())
        return failureFromErrno();
    OpenFile copy(fs, fs.createNew(copyPath, 0600));
    if (!copy.isOpen())
        return failureFromErrno();
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = fs.read(source.fd(), buffer, sizeof buffer);
        if (got < 0)
            return failureFromErrno();
        if (got == 0)
            break;
        if (!fs.writeAll(copy.fd(), std::string_view(buffer, static_cast<std::size_t>(got))))
            return failureFromErrno();
    }
    takeOverAttributes(copy.fd(), previous);
    const struct timespec times[2] = {previous.st_atim, previous.st_mtim};
    ::futimens(copy.fd(), times);
    if (!fs.flush(copy.fd()) || !copy.close())
        return failureFromErrno();
    return std::nullopt;
}

// Puts the previous file under backupPath while it keeps its own name too.
std::optional<Failure> makeBackup(FileSystem& fs, const std::string& target, const struct stat& previous,
                                  const std::string& backupPath)
{
    std::string linkPath;
    {
        // Reserve a unique name, then free it for link(), which refuses to replace anything.
        OpenFile reserved(fs, createTemporaryNear(fs, target, "bak", linkPath));
        if (!reserved.isOpen())
            return failureFromErrno();
    }
    if (!fs.remove(linkPath))
        return failureFromErrno();
    if (!fs.link(target, linkPath)) {
        if (!linkUnsupported(errno))
            return failureFromErrno();
        if (auto failure = copyPrevious(fs, target, previous, linkPath)) {
            fs.remove(linkPath);
            return failure;
        }
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
