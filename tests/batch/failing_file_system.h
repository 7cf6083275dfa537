#pragma once

// A file system that performs the real operations but makes the n-th call of one chosen step
// fail, the way a full disk or a failing device would. It also counts the calls of every step,
// so that a test can first learn how many calls a run makes and then break each in turn.

#include "batch/file_system.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <optional>

namespace tagwright::testing {

enum class Step {
    Open,
    Create,
    Read,
    Write,
    Flush,
    Close,
    Link,
    Rename,
    Remove,
    SetOwner,
    SetMode,
    CopyAttributes,
    ReadFlags,
    Status,
    OpenStatus,
    SetTimes,
    OpenFolder,
    ListFolder,
    FlushFolder,
    Count
};

inline const char* stepName(Step step)
{
    static constexpr std::array names{"open", "create", "read", "write", "flush",
                                      "close", "link", "rename", "remove",
                                      "set owner", "set mode", "copy attributes",
                                      "read flags", "status", "open status", "set times",
                                      "open folder", "list folder", "flush folder"};
    return names[static_cast<std::size_t>(step)];
}

class FailingFileSystem : public FileSystem {
public:
    FailingFileSystem() = default;
    FailingFileSystem(Step step, int occurrence, int error = EIO)
        : failStep_(step), failOccurrence_(occurrence), error_(error)
    {
    }

    // Like a file system without hard links (FAT, many network shares): link() always fails.
    void withoutHardLinks() { hardLinks_ = false; }

    // Every remove() fails too, so that the clean-up after a failure fails as well.
    void withoutRemoving() { removing_ = false; }

    // Files show these inode flags (FS_IMMUTABLE_FL, ...) from the n-th reading of flags on,
    // as if chattr had set them then.
    void withFileFlags(int flags, int fromReading = 1)
    {
        fakeFlags_ = flags;
        fakeFlagsFrom_ = fromReading;
    }

    int calls(Step step) const { return calls_[static_cast<std::size_t>(step)]; }
    bool failed() const { return failed_; }

    int openForReading(const Folder& folder, const std::string& name) override
    {
        return fails(Step::Open) ? -1 : FileSystem::openForReading(folder, name);
    }
    int createNew(const Folder& folder, const std::string& name, mode_t mode) override
    {
        return fails(Step::Create) ? -1 : FileSystem::createNew(folder, name, mode);
    }
    ssize_t read(int fd, char* buffer, std::size_t size) override
    {
        return fails(Step::Read) ? -1 : FileSystem::read(fd, buffer, size);
    }
    bool writeAll(int fd, std::string_view data) override
    {
        return !fails(Step::Write) && FileSystem::writeAll(fd, data);
    }
    bool flush(int fd) override { return !fails(Step::Flush) && FileSystem::flush(fd); }
    bool close(int fd) override
    {
        // A failing close still releases the descriptor, as close(2) does.
        if (fails(Step::Close)) {
            ::close(fd);
            errno = error_;
            return false;
        }
        return FileSystem::close(fd);
    }
    bool link(const Folder& folder, const std::string& existing,
              const std::string& newName) override
    {
        if (!hardLinks_) {
            errno = EPERM;
            return false;
        }
        return !fails(Step::Link) && FileSystem::link(folder, existing, newName);
    }
    bool rename(const Folder& folder, const std::string& from, const std::string& to) override
    {
        return !fails(Step::Rename) && FileSystem::rename(folder, from, to);
    }
    bool remove(const Folder& folder, const std::string& name) override
    {
        if (!removing_) {
            errno = EACCES;
            return false;
        }
        return !fails(Step::Remove) && FileSystem::remove(folder, name);
    }

    Folder openFolder(const std::string& path) override
    {
        return fails(Step::OpenFolder) ? Folder(path, error_) : FileSystem::openFolder(path);
    }
    Folder openSubfolder(const Folder& parent, const std::string& name) override
    {
        return fails(Step::OpenFolder) ? Folder(parent.pathOf(name), error_)
                                       : FileSystem::openSubfolder(parent, name);
    }
    bool readNames(const Folder& folder, std::vector<FolderEntry>& names) override
    {
        return !fails(Step::ListFolder) && FileSystem::readNames(folder, names);
    }
    bool nameStatus(const Folder& folder, const std::string& name, struct stat& status) override
    {
        return !fails(Step::Status) && FileSystem::nameStatus(folder, name, status);
    }
    bool flushFolder(const Folder& folder) override
    {
        return !fails(Step::FlushFolder) && FileSystem::flushFolder(folder);
    }
    bool openStatus(int fd, struct stat& status) override
    {
        return !fails(Step::OpenStatus) && FileSystem::openStatus(fd, status);
    }
    bool setTimes(int fd, const struct timespec times[2]) override
    {
        return !fails(Step::SetTimes) && FileSystem::setTimes(fd, times);
    }

    bool setOwner(int fd, uid_t owner, gid_t group) override
    {
        return !fails(Step::SetOwner) && FileSystem::setOwner(fd, owner, group);
    }
    bool setMode(int fd, mode_t mode) override
    {
        return !fails(Step::SetMode) && FileSystem::setMode(fd, mode);
    }
    bool copyExtendedAttributes(const Folder& folder, const std::string& name, int to) override
    {
        return !fails(Step::CopyAttributes) && FileSystem::copyExtendedAttributes(folder, name, to);
    }
    bool readFileFlags(int fd, int& flags) override
    {
        if (fails(Step::ReadFlags))
            return false;
        if (fakeFlags_ && calls(Step::ReadFlags) >= fakeFlagsFrom_) {
            flags = *fakeFlags_;
            return true;
        }
        return FileSystem::readFileFlags(fd, flags);
    }

private:
    bool fails(Step step)
    {
        const int call = ++calls_[static_cast<std::size_t>(step)];
        if (step != failStep_ || call != failOccurrence_)
            return false;
        failed_ = true;
        errno = error_;
        return true;
    }

    Step failStep_ = Step::Count;
    int failOccurrence_ = 0;
    int error_ = EIO;
    std::array<int, static_cast<std::size_t>(Step::Count)> calls_{};
    bool failed_ = false;
    bool hardLinks_ = true;
    bool removing_ = true;
    std::optional<int> fakeFlags_;
    int fakeFlagsFrom_ = 1;
};

} // namespace tagwright::testing
