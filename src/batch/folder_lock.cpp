#include "batch/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tagwright {

FolderLock::FolderLock(const Folder& folder, const RunLock* run)
    : fd_(::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (fd_ < 0)
        return;
    // A second lock of the run's own folder would be refused: the run holds it already.
    struct stat status
    {
    };
    if (run != nullptr && ::fstat(fd_, &status) == 0 && run->holds(status)) {
        state_ = State::Held;
        return;
    }
    int locked;
    do {
        locked = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0)
        state_ = State::Held;
    else if (errno == EWOULDBLOCK)
        state_ = State::TakenByAnother;
}

FolderLock::~FolderLock()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock
}

} // namespace tagwright
