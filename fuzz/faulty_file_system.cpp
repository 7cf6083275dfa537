#include "faulty_file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace tagwright::fuzz {

FaultyFileSystem::FaultyFileSystem(std::string page, Fault fault, int occurrence, bool hardLinks)
    : page_(std::move(page)), fault_(fault), occurrence_(occurrence), hardLinks_(hardLinks),
      spaceLeft_(600LL * occurrence)
{
}

bool FaultyFileSystem::fails(Fault step, bool forThePage)
{
    if (!forThePage || step != fault_)
        return false;
    if (step != Fault::Open && ++calls_ < occurrence_)
        return false;
    errno = EIO;
    return true;
}

bool FaultyFileSystem::pageName(const std::string& path) const
{
    return path == page_ || names_.contains(path);
}

void FaultyFileSystem::changeThePage()
{
    if (fault_ != Fault::PageChanges || changed_)
        return;
    changed_ = true;
    const int fd = ::open(page_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
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
    const bool page = folder.pathOf(name) == page_;
    if (page && std::this_thread::get_id() == runThread_)
        changeThePage();
    onThePage_[std::this_thread::get_id()] = page;
    if (fails(Fault::Open, page))
        return -1;
    const int fd = FileSystem::openForReading(folder, name);
    if (page && fd >= 0)
        readFds_.insert(fd);
    return fd;
}

int FaultyFileSystem::createNew(const Folder& folder, const std::string& name, mode_t mode)
{
    const std::scoped_lock lock(mutex_);
    const bool page = onThePage_[std::this_thread::get_id()];
    if (fails(Fault::Create, page))
        return -1;
    const int fd = FileSystem::createNew(folder, name, mode);
    if (fd >= 0) {
        writtenFds_.insert(fd);
        if (page) {
            pageFds_.insert(fd);
            names_.insert(folder.pathOf(name));
        }
    }
    return fd;
}
ssize_t FaultyFileSystem::read(int fd, char* buffer, std::size_t size)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fault_ == Fault::Read && readFds_.contains(fd)) {
            const off_t at = ::lseek(fd, 0, SEEK_CUR);
            if (at >= 0 && static_cast<std::size_t>(at) + size > 256 * std::size_t(occurrence_)) {
                errno = EIO;
                return -1;
            }
        }
    }
    return FileSystem::read(fd, buffer, size);
}

bool FaultyFileSystem::writeAll(int fd, std::string_view data)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Fault::Write, pageFds_.contains(fd)))
            return false;
        if (fault_ == Fault::NearlyFullDisk && writtenFds_.contains(fd)) {
            if (static_cast<long long>(data.size()) > spaceLeft_) {
                errno = ENOSPC;
                return false;
            }
            spaceLeft_ -= static_cast<long long>(data.size());
        }
    }
    return FileSystem::writeAll(fd, data);
}

bool FaultyFileSystem::flush(int fd)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Fault::Flush, pageFds_.contains(fd)))
            return false;
    }
    return FileSystem::flush(fd);
}

bool FaultyFileSystem::close(int fd)
{
    const std::scoped_lock lock(mutex_);
    const bool page = pageFds_.contains(fd);
    if (page && std::this_thread::get_id() != runThread_)
        changeThePage(); // written ahead
    readFds_.erase(fd);
    writtenFds_.erase(fd);
    pageFds_.erase(fd);
    // A failing close still releases the descriptor, as close(2) does.
    if (fails(Fault::Close, page)) {
        ::close(fd);
        errno = EIO;
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
    const bool page = pageName(folder.pathOf(existing));
    if (fails(Fault::Link, page))
        return false;
    const bool linked = FileSystem::link(folder, existing, newName);
    if (page && linked)
        names_.insert(folder.pathOf(newName));
    return linked;
}

bool FaultyFileSystem::rename(const Folder& folder, const std::string& from, const std::string& to)
{
    const std::scoped_lock lock(mutex_);
    const bool page = pageName(folder.pathOf(from)) || pageName(folder.pathOf(to));
    if (fails(Fault::Rename, page))
        return false;
    const long long replaced = spaceOf(folder, to);
    const bool renamed = FileSystem::rename(folder, from, to);
    if (renamed)
        spaceLeft_ += replaced;
    if (page && renamed && folder.pathOf(to) != page_)
        names_.insert(folder.pathOf(to));
    return renamed;
}

bool FaultyFileSystem::remove(const Folder& folder, const std::string& name)
{
    const std::scoped_lock lock(mutex_);
    if (fails(Fault::Remove, pageName(folder.pathOf(name))))
        return false;
    const long long removed = spaceOf(folder, name);
    if (!FileSystem::remove(folder, name))
        return false;
    spaceLeft_ += removed;
    return true;
}

bool FaultyFileSystem::setMode(int fd, mode_t mode)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Fault::SetMode, pageFds_.contains(fd)))
            return false;
    }
    return FileSystem::setMode(fd, mode);
}

bool FaultyFileSystem::copyExtendedAttributes(const Folder& folder, const std::string& name,
                                              int to)
{
    {
        const std::scoped_lock lock(mutex_);
        if (fails(Fault::CopyAttributes, pageFds_.contains(to)))
            return false;
    }
    return FileSystem::copyExtendedAttributes(folder, name, to);
}

} // namespace tagwright::fuzz
