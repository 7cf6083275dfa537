#include "support/folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <utility>

namespace tagwright {

namespace {

constexpr std::string_view kDescriptors = "/proc/self/fd/";

struct DirectoryCloser
{
    void operator()(DIR* directory) const { ::closedir(directory); }
};

} // namespace

Folder::Folder(int fd, std::string path) : fd_(fd), path_(std::move(path))
{
    struct stat status
    {
    };
    if (::fstat(fd_, &status) == 0) {
        device_ = status.st_dev;
        inode_ = status.st_ino;
    }
    const std::string own = std::string(kDescriptors) + std::to_string(fd_);
    throughDescriptor_ = ::access(own.c_str(), X_OK) == 0;
}

Folder::Folder(Folder&& other) noexcept
{
    *this = std::move(other);
}

Folder& Folder::operator=(Folder&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        error_ = other.error_;
        device_ = other.device_;
        inode_ = other.inode_;
        throughDescriptor_ = other.throughDescriptor_;
    }
    return *this;
}

Folder::~Folder()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::string Folder::pathOf(std::string_view name) const
{
    std::string path = path_;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path.append(name);
}

std::string Folder::readPathOf(std::string_view name) const
{
    if (!throughDescriptor_)
        return pathOf(name);
    return std::string(kDescriptors) + std::to_string(fd_) + "/" + std::string(name);
}

Folder FolderAccess::openFolder(const std::string& path)
{
    // A bare file name's folder is the current one, whose path the user never sees.
    const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Folder(path, errno);
    return Folder(fd, path);
}

Folder FolderAccess::openSubfolder(const Folder& parent, const std::string& name)
{
    const int fd = ::openat(parent.fd(), name.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return Folder(parent.pathOf(name), errno);
    return Folder(fd, parent.pathOf(name));
}

bool FolderAccess::readNames(const Folder& folder, std::vector<FolderEntry>& names)
{
    // The listing reads through a descriptor of its own: closedir closes it, not the folder's.
    const int own = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (own < 0)
        return false;
    const std::unique_ptr<DIR, DirectoryCloser> directory(::fdopendir(own));
    if (!directory) {
        const int error = errno;
        ::close(own);
        errno = error;
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(directory.get());
        if (entry == nullptr)
            return errno == 0;
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back({std::string(name), entry->d_type});
    }
}

bool FolderAccess::nameStatus(const Folder& folder, const std::string& name, struct stat& status)
{
    return ::fstatat(folder.fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

bool FolderAccess::targetStatus(const Folder& folder, const std::string& name,
                                struct stat& status)
{
    return ::fstatat(folder.fd(), name.c_str(), &status, 0) == 0;
}

} // namespace tagwright
