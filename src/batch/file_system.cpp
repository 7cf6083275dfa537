#include "batch/file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tagwright {

int FileSystem::openForReading(const std::string& path)
{
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

int FileSystem::createNew(const std::string& path, mode_t mode)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
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

bool FileSystem::flush(int fd)
{
    // The data and what is needed to read it back (the size); times need not be forced.
    return ::fdatasync(fd) == 0;
}

bool FileSystem::close(int fd)
{
    return ::close(fd) == 0;
}

bool FileSystem::link(const std::string& existing, const std::string& newName)
{
    return ::link(existing.c_str(), newName.c_str()) == 0;
}

bool FileSystem::rename(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool FileSystem::remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
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
