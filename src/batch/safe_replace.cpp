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

// A temporary file in a folder, under the first name of the program's own naming that no file
// bears (a taken name is passed over, so nothing is ever replaced), made by `take` under the
// guard returned, so that a termination signal removes it from the moment it exists. None, with
// errno, on a failure.
std::unique_ptr<TemporaryFileGuard>
takeFreshName(const Folder& folder, std::string& name,
              const std::function<bool(const std::string&)>& take)
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        name = temporaryFileName();
        auto guard = std::make_unique<TemporaryFileGuard>(folder, name);
        if (guard->make([&] { return take(name); }))
            return guard;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

// Created with `mode` less the process's mask, as the system applies it.
int createTemporaryIn(FileSystem& fs, const Folder& folder, mode_t mode, std::string& name,
                      std::unique_ptr<TemporaryFileGuard>& guard)
{
    int fd = -1;
    guard = takeFreshName(folder, name, [&](const std::string& fresh) {
        fd = fs.createNew(folder, fresh, mode);
        return fd >= 0;
    });
    return fd;
}

// Makes the new file what the previous one was: owner and group first (a change of owner
// clears the set-ID bits), then the permission bits, then the extended attributes (an ACL sets
// the group bits).
std::optional<Failure> takeOverAttributes(FileSystem& fs, int fd, const PageFile& previousFile,
                                          const struct stat& previous)
{
    struct stat created
    {
    };
    if (!fs.openStatus(fd, created))
        return Failure::ofErrno();
    if ((created.st_uid != previous.st_uid || created.st_gid != previous.st_gid) &&
        !fs.setOwner(fd, previous.st_uid, previous.st_gid))
        return Failure::withReason(kOwnerNotKept);
    if (!fs.setMode(fd, previous.st_mode & 07777))
        return Failure::withReason(kModeNotKept);
    if (!fs.copyExtendedAttributes(*previousFile.folder, previousFile.name, fd))
        return Failure::withReason(kAttributesNotKept);
    return std::nullopt;
}

bool linkUnsupported(int error)
{
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EMLINK ||
           error == ENOSYS;
}

std::optional<Failure> copyContent(FileSystem& fs, int source, int copy)
{
    const auto buffer = std::make_unique_for_overwrite<char[]>(64 * 1024);
    for (;;) {
        const ssize_t got = fs.read(source, buffer.get(), 64 * 1024);
        if (got < 0)
            return Failure::ofErrno();
        if (got == 0)
            return std::nullopt;
        if (!fs.writeAll(copy, std::string_view(buffer.get(), static_cast<std::size_t>(got))))
            return Failure::ofErrno();
    }
}

// A copy of the previous file, with its attributes and times, under a temporary name kept by
// guard: for file systems without hard links.
std::optional<Failure> copyPrevious(FileSystem& fs, const PageFile& target,
                                    const struct stat& previous, std::string& copyName,
                                    std::unique_ptr<TemporaryFileGuard>& guard)
{
    const Folder& folder = *target.folder;
    OpenFile source(fs, fs.openForReading(folder, target.name));
    if (!source.isOpen())
        return Failure::ofErrno();
    OpenFile copy(fs, createTemporaryIn(fs, folder, 0600, copyName, guard));
    if (!copy.isOpen())
        return Failure::ofErrno();
    auto failure = copyContent(fs, source.fd(), copy.fd());
    if (!failure)
        failure = takeOverAttributes(fs, copy.fd(), target, previous);
    if (!failure) {
        const struct timespec times[2] = {previous.st_atim, previous.st_mtim};
        if (!fs.setTimes(copy.fd(), times) || !fs.flush(copy.fd()) || !copy.close())
            failure = Failure::ofErrno();
    }
    if (failure) {
        copy.close();
        fs.remove(folder, copyName);
    }
    return failure;
}

// Puts the previous file under backupName while it keeps its own name too.
std::optional<Failure> makeBackup(FileSystem& fs, const PageFile& target,
                                  const struct stat& previous, const std::string& backupName)
{
    const Folder& folder = *target.folder;
    // A second name for the previous file first: link() and rename() each replace nothing but
    // an older backup.
    std::string linkName;
    std::unique_ptr<TemporaryFileGuard> guard =
        takeFreshName(folder, linkName, [&](const std::string& fresh) {
            return fs.link(folder, target.name, fresh);
        });
    if (!guard) {
        if (!linkUnsupported(errno))
            return Failure::ofErrno();
        if (auto failure = copyPrevious(fs, target, previous, linkName, guard))
            return failure;
    }
    if (!fs.rename(folder, linkName, backupName)) {
        const Failure failure = Failure::ofErrno();
        fs.remove(folder, linkName);
        return failure;
    }
    // When the backup name already was a name of the same file, the rename did nothing (and
    // that name holds the previous content already): the second name must not stay behind.
    if (!fs.remove(folder, linkName) && errno != ENOENT)
        return Failure::ofErrno();
    return std::nullopt;
}

bool flagsUnsupported(int error)
{
    return error == ENOTTY || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS ||
           error == EINVAL;
}

// A file that the system lets nobody replace or link (chattr +i or +a) is refused before anything
// is made: its rename would fail only after its backup had replaced an older one.
std::optional<Failure> unalterable(FileSystem& fs, const PageFile& target)
{
    OpenFile file(fs, fs.openForReading(*target.folder, target.name));
    int flags = 0;
    if (!file.isOpen() || !fs.readFileFlags(file.fd(), flags))
        return flagsUnsupported(errno) ? std::nullopt : std::optional(Failure::ofErrno());
    if (!file.close())
        return Failure::ofErrno();
    if ((flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0)
        return Failure::refusal(kUnalterableFile);
    return std::nullopt;
}

// A page gone since it was read changed too: it is never made anew.
std::optional<Failure> unchangedSince(FileSystem& fs, const PageFile& target,
                                      const FileStamp& expected)
{
    struct stat now
    {
    };
    if (!fs.nameStatus(*target.folder, target.name, now))
        return errno == ENOENT ? Failure::refusal(kFileChanged) : Failure::ofErrno();
    if (!(fileStamp(now) == expected))
        return Failure::refusal(kFileChanged);
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

std::optional<FileStamp> fileStamp(FileSystem& fs, int fd)
{
    struct stat status
    {
    };
    if (!fs.openStatus(fd, status))
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
        backupName_ = std::move(other.backupName_);
        temporaryName_ = std::move(other.temporaryName_);
        guard_ = std::move(other.guard_);
        previous_ = other.previous_;
        replacing_ = other.replacing_;
        expected_ = other.expected_;
        flushFolder_ = other.flushFolder_;
        prepared_ = std::move(other.prepared_);
        other.temporaryName_.clear();
    }
    return *this;
}

void PreparedReplacement::discard()
{
    if (fs_ != nullptr && !temporaryName_.empty())
        fs_->remove(*target_.folder, temporaryName_);
    temporaryName_.clear();
    guard_.reset();
}

PreparedReplacement prepareReplacement(FileSystem& fs, const PageFile& target,
                                       const std::string& backupName,
                                       const ContentProducer& produce,
                                       const ReplaceOptions& options)
{
    PreparedReplacement prepared;
    prepared.fs_ = &fs;
    prepared.target_ = target;
    prepared.backupName_ = backupName;
    prepared.flushFolder_ = options.flushFolder;
    const auto refuse = [&](Failure failure) {
        prepared.prepared_ = std::move(failure);
        return std::move(prepared);
    };
    // Only a file that is not there before it was read is made anew; any other failure to
    // learn what the file is leaves it alone, since the new file could not be what it was.
    const Folder& folder = *target.folder;
    if (!folder.isOpen())
        return refuse(Failure::ofError(folder.error()));
    struct stat& previous = prepared.previous_;
    prepared.replacing_ = fs.nameStatus(folder, target.name, previous);
    if (!prepared.replacing_ && errno != ENOENT)
        return refuse(Failure::ofErrno());
    if (!prepared.replacing_ && options.asRead)
        return refuse(Failure::refusal(kFileChanged));
    // A name that is no longer the file read (a link put in its place among others) is left.
    if (prepared.replacing_ && ((options.asRead && !(fileStamp(previous) == *options.asRead)) ||
                                !S_ISREG(previous.st_mode)))
        return refuse(Failure::refusal(kFileChanged));
    if (prepared.replacing_ && (previous.st_mode & 0222) == 0)
        return refuse(Failure::refusal(kReadOnlyFile));
    if (prepared.replacing_) {
        if (auto refusal = unalterable(fs, target))
            return refuse(std::move(*refusal));
    }
    prepared.expected_ = options.asRead.value_or(fileStamp(previous));
    // A new file gets what creating it plainly gives (the mask, a folder's default ACL); a
    // replacing one stays private until it has taken over the previous file's permissions.
    std::string temporaryName;
    OpenFile temporary(fs, createTemporaryIn(fs, folder, prepared.replacing_ ? 0600 : 0666,
                                             temporaryName, prepared.guard_));
    if (!temporary.isOpen()) {
        prepared.prepared_ = Failure::ofErrno();
        return prepared;
    }
    prepared.temporaryName_ = temporaryName;
    const auto abandon = [&](ReplaceResult result) {
        temporary.close();
        prepared.discard();
        prepared.prepared_ = std::move(result);
        return std::move(prepared);
    };
    PageWriter writer(fs, temporary.fd());
    const Expected<int> produced = produce(writer);
    if (!produced)
        return abandon(produced.failure());
    if (*produced != 0)
        return abandon(Replaced{*produced, std::nullopt});
    if (!writer.finish())
        return abandon(Failure::ofErrno());
    if (prepared.replacing_) {
        if (auto failure = takeOverAttributes(fs, temporary.fd(), target, previous))
            return abandon(std::move(*failure));
    }
    if (!fs.flush(temporary.fd()) || !temporary.close())
        return abandon(Failure::ofErrno());
    return prepared;
}

ReplaceResult PreparedReplacement::commit()
{
    if (!ready() || temporaryName_.empty())
        return ready() ? ReplaceResult(Failure{}) : prepared_;
    FileSystem& fs = *fs_;
    const auto abandon = [&](Failure failure) {
        discard();
        return ReplaceResult(std::move(failure));
    };
    if (replacing_) {
        if (auto failure = unchangedSince(fs, target_, expected_))
            return abandon(std::move(*failure));
    }
    if (replacing_ && !backupName_.empty()) {
        // Made unalterable since the preparation: no backup may replace an older one.
        if (auto failure = unalterable(fs, target_))
            return abandon(std::move(*failure));
        if (auto failure = makeBackup(fs, target_, previous_, backupName_))
            return abandon(std::move(*failure));
    }
    if (!fs.rename(*target_.folder, temporaryName_, target_.name))
        return abandon(Failure::ofErrno());
    temporaryName_.clear();
    guard_.reset();
    // The page is written now, whatever the folder's flush gives.
    if (flushFolder_ && !fs.flushFolder(*target_.folder))
        return Replaced{0, Failure::withReason(kFolderNotFlushed)};
    return Replaced{};
}

ReplaceResult replaceFile(FileSystem& fs, const PageFile& target, const std::string& backupName,
                          const ContentProducer& produce, const ReplaceOptions& options)
{
    PreparedReplacement prepared = prepareReplacement(fs, target, backupName, produce, options);
    return prepared.commit();
}

std::string saveFile(const std::string& path, const std::function<void(PageWriter&)>& write)
{
    FileSystem fs;
    const ReplaceResult result =
        replaceFile(fs, locateFile(fs, path), {}, [&](PageWriter& writer) -> Expected<int> {
            write(writer);
            return 0;
        });
    if (!result)
        return result.failure().text;
    return result->folderNotFlushed ? result->folderNotFlushed->text : std::string();
}

std::string backupFileName(const std::string& path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(0, dot + 1) + "bak." + path.substr(dot + 1);
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
