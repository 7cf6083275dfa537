#include "batch/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tagwright {

namespace {

int flockRetried(int fd, int operation)
{
    int locked;
    do {
        locked = ::flock(fd, operation);
    } while (locked != 0 && errno == EINTR);
    return locked;
}

// The folders above a resolved folder, from the root down.
std::vector<std::string> foldersAbove(const std::filesystem::path& folder)
{
    std::vector<std::string> above;
    for (std::filesystem::path path = folder; path != path.root_path();) {
        path = path.parent_path();
        above.push_back(path.string());
    }
    std::reverse(above.begin(), above.end());
    return above;
}

} // namespace

RunLock::RunLock(const std::string& folder, const BeforeWaiting& beforeWaiting)
{
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(folder, error);
    if (error)
        return;
    bool told = false;
    for (const std::string& above : foldersAbove(resolved)) {
        if (!take(above, false, beforeWaiting, told)) {
            release();
            state_ = State::TakenByAnother;
            return;
        }
    }
    const std::size_t before = fds_.size();
    if (!take(resolved.string(), true, beforeWaiting, told)) {
        release();
        state_ = State::TakenByAnother;
        return;
    }
    struct stat status
    {
    };
    if (fds_.size() == before || ::fstat(fds_.back(), &status) != 0)
        return;
    device_ = status.st_dev;
    inode_ = status.st_ino;
    state_ = State::Held;
}

RunLock::~RunLock()
{
    release();
}

bool RunLock::holds(const struct stat& folder) const
{
    return state_ == State::Held && folder.st_dev == device_ && folder.st_ino == inode_;
}

bool RunLock::take(const std::string& path, bool exclusive, const BeforeWaiting& beforeWaiting,
                   bool& told)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true; // a folder that cannot be opened is not held, by this run or another
    const int operation = exclusive ? LOCK_EX : LOCK_SH;
    int locked = flockRetried(fd, operation | LOCK_NB);
    if (locked != 0 && errno == EWOULDBLOCK) {
        if (!told) {
            told = true;
            if (!beforeWaiting(path)) {
                ::close(fd);
                return false;
            }
        }
        locked = flockRetried(fd, operation);
    }
    if (locked == 0)
        fds_.push_back(fd);
    else
        ::close(fd); // no locks here: the run goes on without this one
    return true;
}

void RunLock::release()
{
    for (const int fd : fds_)
        ::close(fd); // releases its lock
    fds_.clear();
}

} // namespace tagwright
