#pragma once

// A batch run's hold on a folder while it writes there: an advisory lock on the folder itself
// (no lock file in the user's site), so that two runs never rewrite the pages of one folder at
// once. Where the file system refuses locks, the run goes on without one.

#include <string>

namespace tagwright {

class FolderLock
{
  public:
    enum class State {
        Held,           // this run holds the lock
        TakenByAnother, // another run holds it: the folder is not written
        Unavailable,    // the folder cannot be opened or the file system has no locks
    };

    explicit FolderLock(const std::string& folder);
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

    State state() const { return state_; }

  private:
    int fd_ = -1;
    State state_ = State::Unavailable;
};

} // namespace tagwright
