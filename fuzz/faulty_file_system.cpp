#include "faulty_file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <string_view>

namespace tagwright::testing {

const char* stepName(Step step)
{
    static constexpr std::array names{"open", "create", "read", "write", "write at", "flush",
                                      "close", "link", "rename", "remove",
                                      "set owner", "set mode", "copy attributes",
                                      "read flags", "status", "open status", "set times",
                                      "open folder", "list folder", "flush folder"};
    static_assert(names.size() == static_cast<std::size_t>(Step::Count));
    return names[static_cast<std::size_t>(step)];
}

FaultyFileSystem::FaultyFileSystem(Step step, int occurrence, int error)
    : failStep_(step), failOccurrence_(occurrence), error_(error)
{
}

int FaultyFileSystem::calls(Step step) const
{
    const std::scoped_lock lock(mutex_);
    return calls_[static_cast<std::size_t>(step)];
}

int FaultyFileSystem::opens(const std::string& path) const
{
    const std::scoped_lock lock(mutex_);
    const auto found = opens_.find(path);
    return found == opens_.end() ? 0 : found->second;
}

bool FaultyFileSystem::failed() const
{
    const std::scoped_lock lock(mutex_);
    return failed_;
}

bool FaultyFileSystem::fails(Step step, bool chosen)
{
    ++calls_[static_cast<std::size_t>(step)];
    if (step != failStep_ || (path_ && !chosen))
        return false;
    ++struck_;
    if (fromThenOn_ ? struck_ < failOccurrence_ : struck_ != failOccurrence_)
        return false;
    failed_ = true;
    errno = error_;
    return true;
}

bool FaultyFileSystem::chosenName(const std::string& path) const
{
    return path == path_ || names_.contains(path);
}

bool FaultyFileSystem::chosenRead(int fd) const
{
    return readFds_.contains(fd) || chosenMadeFds_.contains(fd);
}

bool FaultyFileSystem::chosenMade(int fd) const
{
    return chosenMadeFds_.contains(fd);
}

void FaultyFileSystem::changeThePage(Change when)
{
    if (changing_ != when || changed_ || !path_)
        return;
    changed_ = true;
    const int fd = ::open(path_->c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return;
    constexpr std::string_view kParagraph = "\r\n<p>pumpkin pumpkin pumpkin squash</p>\r\n";
    [[maybe_unused]] const ssize_t written = ::write(fd, kParagraph.data(), kParagraph.size());
    ::close(fd);
}

long long FaultyFileSystem::spaceOf(const Folder& folder, const std::string& name)
{
    struct stat status
    {
    };
    if (!FileSystem::nameStatus(folder, name, status) || status.st_nlink != 1)
        return 0;
    return status.st_size;
}

int FaultyFileSystem::openForReading(const Folder& folder, const std::string& name)
{
    const std::scoped_lock lock(mutex_);
    const std::string path = folder.pathOf(name);
    ++opens_[path];
    const bool chosen = path == path_;
    if (chosen && std::this_thread::get_id() == ownThread_)
        changeThePage(Change::DuringTheRun);
    onTheChosen_[std::this_thread::get_id()] = chosen;
    if (fails(Step::Open, chosen))
        return -1;
    const int fd = FileSystem::openForReading(folder, name);
    if (chosen && fd >= 0)
        readFds_.insert(fd);
    return fd;
}

int FaultyFileSystem::createNew(const Folder& folder, const std::string& name, mode_t mode)
{
    const std::scoped_lock lock(mutex_);
    const bool chosen = onTheChosen_[std::this_thread::get_id()];
    if (fails(Step::Create, chosen))
        return -1;
    const int fd = FileSystem::createNew(folder, name, mode);
    if (fd >= 0) {
        madeFds_.insert(fd);
        if (chosen) {
            chosenMadeFds_.insert(fd);
            names_.insert(folder.pathOf(name));
        }
    }
    return fd;
}

ssize_t FaultyFileSystem::read(int fd, char* buffer, std::size_t size)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::Read, readFds_.contains(fd)))
            return -1;
        if (badSpot_ && readFds_.contains(fd)) {
            const off_t at = ::lseek(fd, 0, SEEK_CUR);
            if (at >= 0 && static_cast<std::size_t>(at) + size > *badSpot_) {
                errno = EIO;
                return -1;
            }
        }
    }
    const ssize_t got = FileSystem::read(fd, buffer, size);
    if (got == 0) {
        const std::scoped_lock lock(mutex_);
        if (readFds_.contains(fd))
            changeThePage(Change::OnceRead);
    }
    return got;
}

bool FaultyFileSystem::writeAll(int fd, std::string_view data)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::Write, chosenMade(fd)))
            return false;
        if (spaceLeft_ && madeFds_.contains(fd)) {
            if (static_cast<long long>(data.size()) > *spaceLeft_) {
                errno = ENOSPC;
                return false;
            }
            *spaceLeft_ -= static_cast<long long>(data.size());
        }
    }
    return FileSystem::writeAll(fd, data);
}

bool FaultyFileSystem::writeAt(int fd, std::string_view data, off_t offset)
{
    {
        // Bytes written again in place take no more space.
        const std::scoped_lock lock(mutex_);
        if (fails(Step::WriteAt, chosenMade(fd)))
            return false;
    }
    return FileSystem::writeAt(fd, data, offset);
}

bool FaultyFileSystem::flush(int fd)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::Flush, chosenMade(fd)))
            return false;
    }
    return FileSystem::flush(fd);
}

bool FaultyFileSystem::close(int fd)
{
    const std::scoped_lock lock(mutex_);
    const bool chosen = chosenMade(fd);
    if (chosen && std::this_thread::get_id() != ownThread_)
        changeThePage(Change::DuringTheRun); // written ahead
    readFds_.erase(fd);
    madeFds_.erase(fd);
    chosenMadeFds_.erase(fd);
    // A failing close still releases the descriptor, as close(2) does.
    if (fails(Step::Close, chosen)) {
        ::close(fd);
        errno = error_;
        return false;
    }
    return FileSystem::close(fd);
}

bool FaultyFileSystem::link(const Folder& folder, const std::string& existing,
                            const std::string& newName)
{
    const std::scoped_lock lock(mutex_);
    if (!hardLinks_) {
        errno = EPERM;
        return false;
    }
    const bool chosen = chosenName(folder.pathOf(existing));
    if (fails(Step::Link, chosen))
        return false;
    const bool linked = FileSystem::link(folder, existing, newName);
    if (chosen && linked)
        names_.insert(folder.pathOf(newName));
    return linked;
}

bool FaultyFileSystem::rename(const Folder& folder, const std::string& from, const std::string& to)
{
    const std::scoped_lock lock(mutex_);
    const bool chosen = chosenName(folder.pathOf(from)) || chosenName(folder.pathOf(to));
    if (fails(Step::Rename, chosen))
        return false;
    const long long replaced = spaceLeft_ ? spaceOf(folder, to) : 0;
    const bool renamed = FileSystem::rename(folder, from, to);
    if (renamed && spaceLeft_)
        *spaceLeft_ += replaced;
    if (chosen && renamed && folder.pathOf(to) != path_)
        names_.insert(folder.pathOf(to));
    return renamed;
}

bool FaultyFileSystem::remove(const Folder& folder, const std::string& name)
{
    const std::scoped_lock lock(mutex_);
    if (!removing_) {
        errno = EACCES;
        return false;
    }
    if (fails(Step::Remove, chosenName(folder.pathOf(name))))
        return false;
    const long long removed = spaceLeft_ ? spaceOf(folder, name) : 0;
    if (!FileSystem::remove(folder, name))
        return false;
    if (spaceLeft_)
        *spaceLeft_ += removed;
    return true;
}

bool FaultyFileSystem::openStatus(int fd, struct stat& status)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::OpenStatus, chosenRead(fd)))
            return false;
    }
    return FileSystem::openStatus(fd, status);
}

bool FaultyFileSystem::setTimes(int fd, const struct timespec times[2])
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::SetTimes, chosenMade(fd)))
            return false;
    }
    return FileSystem::setTimes(fd, times);
}

bool FaultyFileSystem::setOwner(int fd, uid_t owner, gid_t group)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::SetOwner, chosenMade(fd)))
            return false;
    }
    return FileSystem::setOwner(fd, owner, group);
}

bool FaultyFileSystem::setMode(int fd, mode_t mode)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::SetMode, chosenMade(fd)))
            return false;
    }
    return FileSystem::setMode(fd, mode);
}

bool FaultyFileSystem::copyExtendedAttributes(const Folder& folder, const std::string& name,
                                              int to)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::CopyAttributes, chosenMade(to)))
            return false;
    }
    return FileSystem::copyExtendedAttributes(folder, name, to);
}

bool FaultyFileSystem::readFileFlags(int fd, int& flags)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::ReadFlags, chosenRead(fd)))
            return false;
        if (fakeFlags_ && calls_[static_cast<std::size_t>(Step::ReadFlags)] >= fakeFlagsFrom_) {
            flags = *fakeFlags_;
            return true;
        }
    }
    return FileSystem::readFileFlags(fd, flags);
}

bool FaultyFileSystem::flushFolder(const Folder& folder)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::FlushFolder, folder.path() == path_))
            return false;
    }
    return FileSystem::flushFolder(folder);
}

Folder FaultyFileSystem::openFolder(const std::string& path)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::OpenFolder, path == path_))
            return Folder(path, error_);
    }
    return FileSystem::openFolder(path);
}

Folder FaultyFileSystem::openSubfolder(const Folder& parent, const std::string& name)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::OpenFolder, parent.pathOf(name) == path_))
            return Folder(parent.pathOf(name), error_);
    }
    return FileSystem::openSubfolder(parent, name);
}

bool FaultyFileSystem::readNames(const Folder& folder, std::vector<FolderEntry>& names)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::ListFolder, folder.path() == path_))
            return false;
    }
    return FileSystem::readNames(folder, names);
}

bool FaultyFileSystem::nameStatus(const Folder& folder, const std::string& name,
                                  struct stat& status)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Step::Status, chosenName(folder.pathOf(name))))
            return false;
    }
    return FileSystem::nameStatus(folder, name, status);
}

} // namespace tagwright::testing
