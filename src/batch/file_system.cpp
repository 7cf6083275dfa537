#include "batch/file_system.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <set>
#include <string_view>

namespace tagwright {

int FileSystem::openForReading(const Folder& folder, const std::string& name)
{
    return ::openat(folder.fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

int FileSystem::createNew(const Folder& folder, const std::string& name, mode_t mode)
{
    return ::openat(folder.fd(), name.c_str(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

ssize_t FileSystem::read(int fd, char* buffer, std::size_t size)
{
    ssize_t got;
    do {
        got = ::read(fd, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

bool FileSystem::writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool FileSystem::writeAt(int fd, std::string_view data, off_t offset)
{
    while (!data.empty()) {
        const ssize_t written = ::pwrite(fd, data.data(), data.size(), offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

bool FileSystem::flush(int fd)
{
    // The data and what is needed to read it back (the size); times need not be forced.
    return ::fdatasync(fd) == 0;
}

bool FileSystem::close(int fd)
{
    return ::close(fd) == 0;
}

bool FileSystem::link(const Folder& folder, const std::string& existing,
                      const std::string& newName)
{
    return ::linkat(folder.fd(), existing.c_str(), folder.fd(), newName.c_str(), 0) == 0;
}

bool FileSystem::rename(const Folder& folder, const std::string& from, const std::string& to)
{
    return ::renameat(folder.fd(), from.c_str(), folder.fd(), to.c_str()) == 0;
}

bool FileSystem::remove(const Folder& folder, const std::string& name)
{
    return ::unlinkat(folder.fd(), name.c_str(), 0) == 0;
}

bool FileSystem::openStatus(int fd, struct stat& status)
{
    return ::fstat(fd, &status) == 0;
}

bool FileSystem::setTimes(int fd, const struct timespec times[2])
{
    return ::futimens(fd, times) == 0;
}

bool FileSystem::setOwner(int fd, uid_t owner, gid_t group)
{
    return ::fchown(fd, owner, group) == 0;
}

bool FileSystem::setMode(int fd, mode_t mode)
{
    return ::fchmod(fd, mode) == 0;
}

bool FileSystem::readFileFlags(int fd, int& flags)
{
    return ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
}

namespace {

// The whole of a value whose size is asked first; it may grow between the two calls.
bool readSized(std::string& value, const std::function<ssize_t(char*, std::size_t)>& get)
{
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return false;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = get(value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

bool attributesUnsupported(int error)
{
    return error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

std::set<std::string> attributeNames(std::string_view list)
{
    std::set<std::string> names;
    while (!list.empty()) {
        const auto end = list.find('\0');
        names.emplace(list.substr(0, end));
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    }
    return names;
}

} // namespace

bool FileSystem::copyExtendedAttributes(const Folder& folder, const std::string& name, int to)
{
    // The previous file is reached through its folder's descriptor and never through a link.
    const std::string from = folder.readPathOf(name);
    std::string sourceList;
    if (!readSized(sourceList, [&](char* buffer, std::size_t size) {
            return ::llistxattr(from.c_str(), buffer, size);
        }))
        return attributesUnsupported(errno);
    std::string targetList;
    if (!readSized(targetList,
                   [&](char* buffer, std::size_t size) { return ::flistxattr(to, buffer, size); }))
        return attributesUnsupported(errno) && sourceList.empty();
    const std::set<std::string> wanted = attributeNames(sourceList);
    for (const std::string& attribute : attributeNames(targetList)) {
        if (!wanted.contains(attribute) && ::fremovexattr(to, attribute.c_str()) != 0)
            return false;
    }
    for (const std::string& attribute : wanted) {
        std::string value;
        if (!readSized(value, [&](char* buffer, std::size_t size) {
                return ::lgetxattr(from.c_str(), attribute.c_str(), buffer, size);
            }))
            return false;
        std::string present;
        const bool same = readSized(present,
                                    [&](char* buffer, std::size_t size) {
                                        return ::fgetxattr(to, attribute.c_str(), buffer, size);
                                    }) &&
                          present == value;
        if (!same && ::fsetxattr(to, attribute.c_str(), value.data(), value.size(), 0) != 0)
            return false;
    }
    return true;
}

bool FileSystem::flushFolder(const Folder& folder)
{
    return ::fsync(folder.fd()) == 0 || errno == EINVAL;
}

OpenFile::~OpenFile()
{
    close();
}

bool OpenFile::close()
{
    if (fd_ < 0)
        return true;
    const int fd = fd_;
    fd_ = -1;
    return fs_.close(fd);
}

} // namespace tagwright
