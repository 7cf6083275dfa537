#pragma once

// A run's hold on the folder it was given, for the whole run, so that a second run over the
// same tree cannot rewrite the folders that the first has finished (its backups would hold the
// first run's output). Trees overlap when one folder holds the other, so a run holds its own
// folder alone (an exclusive advisory lock on the folder itself) and every folder above it
// shared: a run over the same folder, over a folder above it or over one below it waits, while
// runs over folders side by side do not. Locks are taken from the root down, so two waiting
// runs never wait for each other. A folder above that cannot be opened is not held; where the
// file system refuses locks the run goes on without, under the per-folder locks alone.

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

namespace tagwright {

class RunLock
{
  public:
    enum class State {
        Held,           // this run holds its folder
        TakenByAnother, // another run holds it and this one did not wait
        Unavailable,    // the folder cannot be opened or the file system has no locks
    };

    // Told, once, the folder that another run holds (this run's own or one above it, resolved)
    // before the run waits for it; false: do not wait.
    using BeforeWaiting = std::function<bool(const std::string& heldFolder)>;

    RunLock(const std::string& folder, const BeforeWaiting& beforeWaiting);
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;
    ~RunLock();

    State state() const { return state_; }
    // Whether this is the lock on the folder of that status: a run writes there without taking
    // the folder's own lock, which this one stands for.
    bool holds(const struct stat& folder) const;

  private:
    // Takes the lock of one folder; false when the run gives up.
    bool take(const std::string& path, bool exclusive, const BeforeWaiting& beforeWaiting,
              bool& told);
    void release();

    std::vector<int> fds_; // the folders above, then the folder itself
    dev_t device_ = 0;
    ino_t inode_ = 0;
    State state_ = State::Unavailable;
};

} // namespace tagwright
