#include "batch/dry_run_file_system.h"

#include "support/files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

namespace tagwright {

namespace {

std::string contentOf(int fd)
{
    std::string content;
    char buffer[64 * 1024];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got <= 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

} // namespace

int DryRunFileSystem::createNew(const Folder& folder, const std::string& name, mode_t)
{
    // A folder that the real run could not write in (read-only, not ours) fails here as well.
    if (permissions_ == Permissions::AsTheRun) {
        if (::faccessat(folder.fd(), ".", W_OK | X_OK, 0) != 0)
            return -1;
    }
    const int fd = ::memfd_create("tagwright-dry-run", MFD_CLOEXEC);
    if (fd >= 0)
        open_[fd] = folder.pathOf(name);
    return fd;
}

bool DryRunFileSystem::close(int fd)
{
    if (const auto found = open_.find(fd); found != open_.end()) {
        written_[found->second] = contentOf(fd);
        open_.erase(found);
    }
    return FileSystem::close(fd);
}

bool DryRunFileSystem::link(const Folder&, const std::string&, const std::string&)
{
    return true;
}

bool DryRunFileSystem::rename(const Folder& folder, const std::string& from, const std::string& to)
{
    if (const auto found = written_.find(folder.pathOf(from)); found != written_.end()) {
        listener_(folder.pathOf(to), found->second);
        written_.erase(found);
    }
    return true;
}

bool DryRunFileSystem::remove(const Folder& folder, const std::string& name)
{
    written_.erase(folder.pathOf(name));
    return true;
}

bool DryRunFileSystem::setOwner(int fd, uid_t owner, gid_t group)
{
    return permissions_ == Permissions::Disregarded || FileSystem::setOwner(fd, owner, group);
}

bool DryRunFileSystem::setMode(int fd, mode_t mode)
{
    return permissions_ == Permissions::Disregarded || FileSystem::setMode(fd, mode);
}

bool DryRunFileSystem::copyExtendedAttributes(const Folder& folder, const std::string& name, int)
{
    return permissions_ == Permissions::Disregarded ||
           ::llistxattr(folder.readPathOf(name).c_str(), nullptr, 0) >= 0 || errno == ENOTSUP ||
           errno == ENOSYS;
}

bool DryRunFileSystem::readFileFlags(int fd, int& flags)
{
    flags = 0;
    return permissions_ == Permissions::Disregarded || FileSystem::readFileFlags(fd, flags);
}

} // namespace tagwright
