#include "batch/temporary_files.h"

#include "support/folder_listing.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>

namespace tagwright {

namespace {

constexpr std::string_view kPrefix = ".tagwright-";
constexpr std::string_view kSuffix = ".tmp";

// The only process-wide state of the core: a signal handler can reach nothing else. A slot's
// path is complete before its state says so, and the handler reads only complete slots; a slot
// that the handler took to remove is never filled again.
enum SlotState : int { kFree, kFilling, kReady, kRemoving };

struct Slot
{
    std::atomic<int> state{kFree};
    std::atomic<pid_t> maker{0}; // the thread making the file now, 0 when none
    int folder = -1;             // the guard's own descriptor of the file's folder
    char name[NAME_MAX + 1]{};
};

std::array<Slot, kGuardedTemporaryFiles> slots;
// Set by the handler before it looks at the slots: from then on no file is made.
std::atomic<bool> ending{false};

// How long the handler waits at most, in all, for other threads to finish making files.
constexpr int kMostWaits = 1000;
constexpr timespec kWait = {0, 1000 * 1000};

bool processGone(pid_t process)
{
    return ::kill(process, 0) != 0 && errno == ESRCH;
}

bool allDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

} // namespace

std::string temporaryFileName()
{
    static std::atomic<unsigned long> given{0};
    return std::string(kPrefix) + std::to_string(::getpid()) + "-" + std::to_string(given++) +
           std::string(kSuffix);
}

std::optional<pid_t> temporaryFileOwner(std::string_view name)
{
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix))
        return std::nullopt;
    name.remove_prefix(kPrefix.size());
    name.remove_suffix(kSuffix.size());
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || !allDigits(name.substr(0, dash)) ||
        !allDigits(name.substr(dash + 1)))
        return std::nullopt;
    pid_t owner = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + dash, owner);
    if (error != std::errc() || owner <= 0)
        return std::nullopt;
    return owner;
}

void removeLeftoverTemporaryFiles(const Folder& folder, FileSystem& fs)
{
    struct stat status
    {
    };
    for (const std::string& name : listFolder(folder, fs).files) {
        const std::optional<pid_t> owner = temporaryFileOwner(name);
        if (owner && processGone(*owner) && fs.nameStatus(folder, name, status) &&
            S_ISREG(status.st_mode))
            fs.remove(folder, name);
    }
}

TemporaryFileGuard::TemporaryFileGuard(const Folder& folder, const std::string& name) : slot_(-1)
{
    if (name.size() > NAME_MAX)
        return;
    for (std::size_t index = 0; index < slots.size(); ++index) {
        int expected = kFree;
        if (slots[index].state.compare_exchange_strong(expected, kFilling)) {
            Slot& slot = slots[index];
            // A descriptor of its own: the folder's may be closed before the file is gone.
            slot.folder = ::fcntl(folder.fd(), F_DUPFD_CLOEXEC, 0);
            if (slot.folder < 0) {
                slot.state.store(kFree);
                return;
            }
            std::memcpy(slot.name, name.c_str(), name.size() + 1);
            slot.state.store(kReady);
            slot_ = static_cast<int>(index);
            return;
        }
    }
}

bool TemporaryFileGuard::make(const std::function<bool()>& make)
{
    if (slot_ < 0)
        return make();
    Slot& slot = slots[static_cast<std::size_t>(slot_)];
    slot.maker.store(::gettid());
    if (ending.load()) {
        slot.maker.store(0);
        errno = EINTR;
        return false;
    }
    const bool made = make();
    const int error = errno;
    slot.maker.store(0);
    errno = error;
    return made;
}

TemporaryFileGuard::~TemporaryFileGuard()
{
    if (slot_ < 0)
        return;
    Slot& slot = slots[static_cast<std::size_t>(slot_)];
    const int folder = slot.folder;
    // A slot that a handler took keeps its descriptor: the process is ending with it in use.
    int expected = kReady;
    if (slot.state.compare_exchange_strong(expected, kFilling)) {
        slot.folder = -1;
        ::close(folder);
        slot.state.store(kFree);
    }
}

extern "C" void removeTemporaryFilesAndEnd(int signalNumber)
{
    ending.store(true);
    const pid_t self = ::gettid();
    int waited = 0;
    for (Slot& slot : slots) {
        // A slot taken by a handler of another signal at the same time is removed here too: the
        // first handler to raise its signal ends the process.
        int expected = kReady;
        if (!slot.state.compare_exchange_strong(expected, kRemoving) && expected != kRemoving)
            continue;
        // A file that another thread is making (the system call may take a while) is there to
        // remove once it is made.
        for (; waited < kMostWaits; ++waited) {
            const pid_t maker = slot.maker.load();
            if (maker == 0 || maker == self)
                break;
            ::nanosleep(&kWait, nullptr);
        }
        ::unlinkat(slot.folder, slot.name, 0);
    }
    // The action is back to the default (SA_RESETHAND): the signal ends the process once this
    // handler returns.
    ::raise(signalNumber);
}

} // namespace tagwright
