#pragma once

// The program's temporary files: short names that a later run recognises as its own
// (".tagwright-PID-N.tmp", so that a page name of any allowed length can still be rewritten),
// and their removal when a termination signal ends the process in the middle of a rewrite: the
// programs install removeTemporaryFilesAndEnd as its handler (the core installs none). A process
// killed outright leaves them behind; the next run that holds the folder's lock removes them.

#include "batch/file_system.h"

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tagwright {

// A temporary name of this process that it has not given before: threads that write pages ahead
// never meet a name that another rewrite has just freed (and may be about to test or remove).
std::string temporaryFileName();

// The process that made a temporary name of the program's own naming; none for any other name.
std::optional<pid_t> temporaryFileOwner(std::string_view name);

// Removes from a folder the temporary files of the program's naming whose process has ended
// (left by a run that ended abruptly). A process that still lives keeps its files: a single-page
// insertion takes no folder lock. Only for a folder whose lock the caller holds.
void removeLeftoverTemporaryFiles(const Folder& folder, FileSystem& fs);

// How many temporary files a termination signal can find at once. A file beyond them is left
// behind by a signal, for the next run that holds its folder's lock to remove.
inline constexpr std::size_t kGuardedTemporaryFiles = 128;

// Keeps a temporary file's name, with a descriptor of its folder, where a termination signal can
// find it and remove it before the process ends; forgets it when it goes out of scope (the file
// then was renamed or removed). The name is kept before the file is made, through make(): a
// signal that comes while the system makes the file, on this thread or on another, still removes
// it.
class TemporaryFileGuard
{
  public:
    TemporaryFileGuard(const Folder& folder, const std::string& name);
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;
    ~TemporaryFileGuard();

    // Makes the file at the path with `make`, which answers whether it did (errno set when not).
    // A signal handled meanwhile on another thread waits for it, then removes the file. False,
    // with EINTR and nothing made, once a termination signal is ending the process.
    bool make(const std::function<bool()>& make);

  private:
    int slot_; // -1 when every slot was taken: the file then waits for the next run
};

// The handler of a termination signal in a program that rewrites files, which its main installs
// (support/termination_signals.h): removes every temporary file that a guard keeps, waiting a
// little for one that another thread is making, lets no guard make another, and raises the
// signal again, which ends the process as it would have ended. Async-signal-safe.
extern "C" void removeTemporaryFilesAndEnd(int signalNumber);

} // namespace tagwright
