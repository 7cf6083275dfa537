#include "batch/safe_replace.h"

#include "batch/temporary_files.h"
#include "support/files.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace tagwright {

namespace {

struct Failure
{
    std::string text;
};

Failure failureFromErrno()
{
    return Failure{std::strerror(errno)};
}

// What could not be done, with the system's reason.
Failure withReason(const char* what)
{
    return Failure{std::string(what) + " (" + std::strerror(errno) + ")."};
}

// A temporary file next to target, under the first name of the program's own naming that no
// file bears (a taken name is passed over, so nothing is ever replaced), made by `take` under the
// guard returned, so that a termination signal removes it from the moment it exists. None, with
// errno, on a failure.
std::unique_ptr<TemporaryFileGuard>
takeFreshName(const std::string& target, std::string& name,
              const std::function<bool(const std::string&)>& take)
{
    const std::string folder = folderPart(target, false);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        name = folder + temporaryFileName();
        auto guard = std::make_unique<TemporaryFileGuard>(name);
        if (guard->make([&] { return take(name); }))
            return guard;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

int createTemporaryNear(FileSystem& fs, const std::string& target, std::string& path,
                        std::unique_ptr<TemporaryFileGuard>& guard)
{
    int fd = -1;
    guard = takeFreshName(target, path, [&](const std::string& name) {
        fd = fs.createNew(name, 0600);
        return fd >= 0;
    });
    return fd;
}

// Makes the new file what the previous one was: owner and group first (a change of owner
// clears the set-ID bits), then the permission bits, then the extended attributes (an ACL sets
// the group bits).
std::optional<Failure> takeOverAttributes(FileSystem& fs, int fd, const std::string& previousPath,
                                          const struct stat& previous)
{
    struct stat created
    {
    };
    if (::fstat(fd, &created) != 0)
        return failureFromErrno();
    if ((created.st_uid != previous.st_uid || created.st_gid != previous.st_gid) &&
        !fs.setOwner(fd, previous.st_uid, previous.st_gid))
        return withReason(kOwnerNotKept);
    if (!fs.setMode(fd, previous.st_mode & 07777))
        return withReason(kModeNotKept);
    if (!fs.copyExtendedAttributes(previousPath, fd))
        return withReason(kAttributesNotKept);
    return std::nullopt;
}

// A file that did not exist before gets the permissions that creating it plainly would give.
std::optional<Failure> takeDefaultPermissions(FileSystem& fs, int fd)
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (!fs.setMode(fd, 0666 & ~mask))
        return failureFromErrno();
    return std::nullopt;
}

bool linkUnsupported(int error)
{
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EMLINK ||
           error == ENOSYS;
}

std::optional<Failure> copyContent(FileSystem& fs, int source, int copy)
{
    const auto buffer = std::make_unique<char[]>(64 * 1024);
    for (;;) {
        const ssize_t got = fs.read(source, buffer.get(), 64 * 1024);
        if (got < 0)
            return failureFromErrno();
        if (got == 0)
            return std::nullopt;
        if (!fs.writeAll(copy, std::string_view(buffer.get(), static_cast<std::size_t>(got))))
            return failureFromErrno();
    }
}

// A copy of the previous file, with its attributes and times, under a temporary name kept by
// guard: for file systems without hard links.
std::optional<Failure> copyPrevious(FileSystem& fs, const std::string& target,
                                    const struct stat& previous, std::string& copyPath,
                                    std::unique_ptr<TemporaryFileGuard>& guard)
{
    OpenFile source(fs, fs.openForReading(target));
    if (!source.isOpen())
        return failureFromErrno();
    OpenFile copy(fs, createTemporaryNear(fs, target, copyPath, guard));
    if (!copy.isOpen())
        return failureFromErrno();
    auto failure = copyContent(fs, source.fd(), copy.fd());
    if (!failure)
        failure = takeOverAttributes(fs, copy.fd(), target, previous);
    if (!failure) {
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

bool nameExists(const std::string& path)
{
    struct stat status
    {
    };
    return ::lstat(path.c_str(), &status) == 0;
}

// Puts the previous file under backupPath while it keeps its own name too.
std::optional<Failure> makeBackup(FileSystem& fs, const std::string& target,
                                  const struct stat& previous, const std::string& backupPath)
{
    // A second name for the previous file first: link() and rename() each replace nothing but
    // an older backup.
    std::string linkPath;
    std::unique_ptr<TemporaryFileGuard> guard = takeFreshName(
        target, linkPath, [&](const std::string& name) { return fs.link(target, name); });
    if (!guard) {
        if (!linkUnsupported(errno))
            return failureFromErrno();
        if (auto failure = copyPrevious(fs, target, previous, linkPath, guard))
            return failure;
    }
    if (!fs.rename(linkPath, backupPath)) {
        const Failure failure = failureFromErrno();
        fs.remove(linkPath);
        return failure;
    }
    // When the backup name already was a name of the same file, the rename did nothing (and
    // that name holds the previous content already): the second name must not stay behind.
    if (nameExists(linkPath) && !fs.remove(linkPath))
        return failureFromErrno();
    return std::nullopt;
}

bool flagsUnsupported(int error)
{
    return error == ENOTTY || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS ||
           error == EINVAL;
}

// A file that the system lets nobody replace or link (chattr +i or +a) is refused before anything
// is made: its rename would fail only after its backup had replaced an older one.
std::optional<Failure> unalterable(FileSystem& fs, const std::string& target)
{
    OpenFile file(fs, fs.openForReading(target));
    int flags = 0;
    if (!file.isOpen() || !fs.readFileFlags(file.fd(), flags))
        return flagsUnsupported(errno) ? std::nullopt : std::optional(failureFromErrno());
    if (!file.close())
        return failureFromErrno();
    if ((flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0)
        return Failure{kUnalterableFile};
    return std::nullopt;
}

std::optional<Failure> unchangedSince(const std::string& target, const FileStamp& expected)
{
    struct stat now
    {
    };
    if (::stat(target.c_str(), &now) != 0)
        return failureFromErrno();
    if (!(fileStamp(now) == expected))
        return Failure{kFileChanged};
    return std::nullopt;
}

} // namespace

bool FileStamp::operator==(const FileStamp& other) const
{
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           mode == other.mode && owner == other.owner && group == other.group;
}

FileStamp fileStamp(const struct stat& status)
{
    return {status.st_dev,  status.st_ino, status.st_size, status.st_mtim,
            status.st_mode, status.st_uid, status.st_gid};
}

std::optional<FileStamp> fileStamp(int fd)
{
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0)
        return std::nullopt;
    return fileStamp(status);
}

PreparedReplacement::PreparedReplacement() = default;
PreparedReplacement::PreparedReplacement(PreparedReplacement&& other) noexcept
{
    *this = std::move(other);
}
PreparedReplacement::~PreparedReplacement()
{
    discard();
}

PreparedReplacement& PreparedReplacement::operator=(PreparedReplacement&& other) noexcept
{
    if (this != &other) {
        discard();
        fs_ = other.fs_;
        target_ = std::move(other.target_);
        backupPath_ = std::move(other.backupPath_);
        temporaryPath_ = std::move(other.temporaryPath_);
        guard_ = std::move(other.guard_);
        previous_ = other.previous_;
        replacing_ = other.replacing_;
        expected_ = other.expected_;
        flushFolder_ = other.flushFolder_;
        prepared_ = std::move(other.prepared_);
        other.temporaryPath_.clear();
    }
    return *this;
}

void PreparedReplacement::discard()
{
    if (fs_ != nullptr && !temporaryPath_.empty())
        fs_->remove(temporaryPath_);
    temporaryPath_.clear();
    guard_.reset();
}

PreparedReplacement prepareReplacement(FileSystem& fs, const std::string& target,
                                       const std::string& backupPath,
                                       const ContentProducer& produce,
                                       const ReplaceOptions& options)
{
    PreparedReplacement prepared;
    prepared.fs_ = &fs;
    prepared.target_ = target;
    prepared.backupPath_ = backupPath;
    prepared.flushFolder_ = options.flushFolder;
    struct stat& previous = prepared.previous_;
    prepared.replacing_ = ::stat(target.c_str(), &previous) == 0;
    if (prepared.replacing_ && (previous.st_mode & 0222) == 0) {
        prepared.prepared_ = {kReplaceFailed, kReadOnlyFile};
        return prepared;
    }
    if (prepared.replacing_) {
        if (auto refusal = unalterable(fs, target)) {
            prepared.prepared_ = {kReplaceFailed, refusal->text};
            return prepared;
        }
    }
    prepared.expected_ = options.asRead.value_or(fileStamp(previous));
    std::string temporaryPath;
    OpenFile temporary(fs, createTemporaryNear(fs, target, temporaryPath, prepared.guard_));
    if (!temporary.isOpen()) {
        prepared.prepared_ = {kReplaceFailed, failureFromErrno().text};
        return prepared;
    }
    prepared.temporaryPath_ = temporaryPath;
    const auto abandon = [&](int code, const std::string& text) {
        temporary.close();
        prepared.discard();
        prepared.prepared_ = {code, text};
        return std::move(prepared);
    };
    PageWriter writer(fs, temporary.fd());
    const int produced = produce(writer);
    if (produced != 0)
        return abandon(produced, {});
    if (!writer.finish())
        return abandon(kReplaceFailed, failureFromErrno().text);
    const auto attributesFailure = prepared.replacing_
                                       ? takeOverAttributes(fs, temporary.fd(), target, previous)
                                       : takeDefaultPermissions(fs, temporary.fd());
    if (attributesFailure)
        return abandon(kReplaceFailed, attributesFailure->text);
    if (!fs.flush(temporary.fd()) || !temporary.close())
        return abandon(kReplaceFailed, failureFromErrno().text);
    return prepared;
}

ReplaceResult PreparedReplacement::commit()
{
    if (prepared_.code != 0 || temporaryPath_.empty())
        return prepared_.code != 0 ? prepared_ : ReplaceResult{kReplaceFailed, {}};
    FileSystem& fs = *fs_;
    const auto abandon = [&](const std::string& text) {
        discard();
        return ReplaceResult{kReplaceFailed, text};
    };
    if (replacing_) {
        if (auto failure = unchangedSince(target_, expected_))
            return abandon(failure->text);
    }
    if (replacing_ && !backupPath_.empty()) {
        // Made unalterable since the preparation: no backup may replace an older one.
        if (auto failure = unalterable(fs, target_))
            return abandon(failure->text);
        if (auto failure = makeBackup(fs, target_, previous_, backupPath_))
            return abandon(failure->text);
    }
    if (!fs.rename(temporaryPath_, target_))
        return abandon(failureFromErrno().text);
    temporaryPath_.clear();
    guard_.reset();
    // The page is written now, whatever the folder's flush gives.
    if (flushFolder_ && !fs.flushFolder(containingFolder(target_)))
        return {0, withReason(kFolderNotFlushed).text};
    return {};
}

ReplaceResult replaceFile(FileSystem& fs, const std::string& target, const std::string& backupPath,
                          const ContentProducer& produce, const ReplaceOptions& options)
{
    PreparedReplacement prepared = prepareReplacement(fs, target, backupPath, produce, options);
    return prepared.commit();
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
    struct stat status
    {
    };
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
