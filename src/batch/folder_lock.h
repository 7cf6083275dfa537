#pragma once

// A batch run's hold on a folder while it writes there: an advisory lock on the folder itself
// (no lock file in the user's site), so that two runs never rewrite the pages of one folder at
// once. Where the file system refuses locks, the run goes on without one. In the folder that
// the run was given, the run's own lock (RunLock) stands for the folder's.

#include "batch/run_lock.h"
#include "support/folder.h"

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

    // run: the run's lock on the folder it was given, if it holds one.
    explicit FolderLock(const Folder& folder, const RunLock* run = nullptr);
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

    State state() const { return state_; }

  private:
    int fd_ = -1;
    State state_ = State::Unavailable;
};

} // namespace tagwright
