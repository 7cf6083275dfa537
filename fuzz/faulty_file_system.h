#pragma once

// A file system that performs the real operations but makes chosen calls fail, the way a full
// disk or a failing device would. It counts the calls of every step, so that a test can first
// learn how many calls a run makes and then break each in turn. Every call may come from any
// thread, in whatever order a run on several jobs makes them.
//
// Without options the n-th call of one step fails, once. Options narrow or widen the fault:
// - onlyFor: only the calls on one file or folder count and fail: for a page, the page itself,
//   the files made for it (its new content, its backup) and their names;
// - fromThenOn: the n-th call and every later one fail (a device that went bad);
// - withBadSpot: every read of the file chosen by onlyFor from a given byte on fails;
// - withSpaceLeft: writes fail with ENOSPC once they would take more than the bytes left, which
//   grow again as files are removed or replaced (a nearly full disk);
// - changingThePage: the file chosen by onlyFor changes (a paragraph is added) once a thread
//   other than the one that made this object has written its new content ahead, or at the latest
//   when that thread first opens it; changingThePageOnceRead: once it was first read to its end;
// - withoutHardLinks, withoutRemoving, withFileFlags.

#include "batch/file_system.h"

#include <array>
#include <cerrno>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

namespace tagwright::testing {

enum class Step {
    Open,
    Create,
    Read,
    Write,
    WriteAt,
    Flush,
    Close,
    Link,
    Rename,
    Remove,
    SetOwner,
    SetMode,
    CopyAttributes,
    ReadFlags,
    Status,
    OpenStatus,
    SetTimes,
    OpenFolder,
    ListFolder,
    FlushFolder,
    Count
};

const char* stepName(Step step);

class FaultyFileSystem : public FileSystem
{
  public:
    // Only counts.
    FaultyFileSystem() = default;
    // The occurrence-th call of step (counting from 1) fails with error.
    FaultyFileSystem(Step step, int occurrence, int error = EIO);

    void onlyFor(std::string path) { path_ = std::move(path); }
    void fromThenOn() { fromThenOn_ = true; }
    void withBadSpot(std::size_t fromByte) { badSpot_ = fromByte; }
    void withSpaceLeft(long long bytes) { spaceLeft_ = bytes; }
    void changingThePage() { changing_ = Change::DuringTheRun; }
    void changingThePageOnceRead() { changing_ = Change::OnceRead; }
    // Like a file system without hard links (FAT, many network shares): link() always fails.
    void withoutHardLinks() { hardLinks_ = false; }
    // Every remove() fails too, so that the clean-up after a failure fails as well.
    void withoutRemoving() { removing_ = false; }
    // Files show these inode flags (FS_IMMUTABLE_FL, ...) from the n-th reading of flags on,
    // as if chattr had set them then.
    void withFileFlags(int flags, int fromReading = 1)
    {
        fakeFlags_ = flags;
        fakeFlagsFrom_ = fromReading;
    }

    // The calls of a step, on every file.
    int calls(Step step) const;
    // The opens for reading of one file, by its path.
    int opens(const std::string& path) const;
    bool failed() const;

    int openForReading(const Folder& folder, const std::string& name) override;
    int createNew(const Folder& folder, const std::string& name, mode_t mode) override;
    ssize_t read(int fd, char* buffer, std::size_t size) override;
    bool writeAll(int fd, std::string_view data) override;
    bool writeAt(int fd, std::string_view data, off_t offset) override;
    bool flush(int fd) override;
    bool close(int fd) override;
    bool link(const Folder& folder, const std::string& existing,
              const std::string& newName) override;
    bool rename(const Folder& folder, const std::string& from, const std::string& to) override;
    bool remove(const Folder& folder, const std::string& name) override;
    bool openStatus(int fd, struct stat& status) override;
    bool setTimes(int fd, const struct timespec times[2]) override;
    bool setOwner(int fd, uid_t owner, gid_t group) override;
    bool setMode(int fd, mode_t mode) override;
    bool copyExtendedAttributes(const Folder& folder, const std::string& name, int to) override;
    bool readFileFlags(int fd, int& flags) override;
    bool flushFolder(const Folder& folder) override;
    Folder openFolder(const std::string& path) override;
    Folder openSubfolder(const Folder& parent, const std::string& name) override;
    bool readNames(const Folder& folder, std::vector<FolderEntry>& names) override;
    bool nameStatus(const Folder& folder, const std::string& name, struct stat& status) override;

  private:
    // Counts the call and tells whether it fails (errno set); `chosen`: whether it is on the
    // file chosen by onlyFor. The caller holds the lock.
    bool fails(Step step, bool chosen);
    // Whether a path is the chosen file's or a name made for it.
    bool chosenName(const std::string& path) const;
    // Whether a descriptor is one of the chosen file's, or of a file made for it.
    bool chosenRead(int fd) const;
    bool chosenMade(int fd) const;
    // The bytes of a name that go when it is removed or replaced: its file's, when no other
    // name holds it.
    long long spaceOf(const Folder& folder, const std::string& name);
    // When the chosen file changes.
    enum class Change { Never, DuringTheRun, OnceRead };
    // Changes the chosen file if it changes `when`, once.
    void changeThePage(Change when);

    Step failStep_ = Step::Count;
    int failOccurrence_ = 0;
    int error_ = EIO;
    std::optional<std::string> path_;
    bool fromThenOn_ = false;
    std::optional<std::size_t> badSpot_;
    std::optional<long long> spaceLeft_;
    Change changing_ = Change::Never;
    bool hardLinks_ = true;
    bool removing_ = true;
    std::optional<int> fakeFlags_;
    int fakeFlagsFrom_ = 1;

    mutable std::mutex mutex_;
    std::thread::id ownThread_ = std::this_thread::get_id();
    std::array<int, static_cast<std::size_t>(Step::Count)> calls_{};
    int struck_ = 0; // calls of the failing step that could fail
    bool failed_ = false;
    bool changed_ = false;
    std::map<std::string, int> opens_;
    std::set<int> readFds_;                      // the chosen file opened for reading
    std::set<int> madeFds_;                      // every file made
    std::set<int> chosenMadeFds_;                // files made for the chosen file
    std::set<std::string> names_;                // paths of the names made for the chosen file
    std::map<std::thread::id, bool> onTheChosen_; // the last file a thread opened was the chosen
};

} // namespace tagwright::testing
