#pragma once

// A file system with one fault that strikes every attempt at a page in the same way, however
// many threads work on it and in whatever order:
// - on the files of one page: every open of the page fails, or every read of it from a given
//   byte on (a bad spot of the disk), or, among the files written for it (its new content, its
//   backup, their names), the k-th call of one step fails and every later call of that step
//   too (a device that went bad);
// - a nearly full disk: writes fail once they would take more than the bytes left, which
//   grow again as files are removed or replaced;
// - the page changes (a paragraph is added) once a thread other than the run's own has
//   written its new content ahead, or at the latest when the run's thread first opens it.

#include "batch/file_system.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace tagwright::fuzz {

enum class Fault {
    None,
    Open,
    Read,
    Create,
    Write,
    Flush,
    Close,
    Link,
    Rename,
    Remove,
    SetMode,
    CopyAttributes,
    NearlyFullDisk,
    PageChanges,
};
inline constexpr int kFaults = 14;

class FaultyFileSystem : public FileSystem
{
  public:
    // `occurrence` counts from 1. For Read it gives the bad spot (256 bytes a step), for
    // NearlyFullDisk the space left (600 bytes a step).
    FaultyFileSystem(std::string page, Fault fault, int occurrence, bool hardLinks);

    int openForReading(const Folder& folder, const std::string& name) override;
    int createNew(const Folder& folder, const std::string& name, mode_t mode) override;
    ssize_t read(int fd, char* buffer, std::size_t size) override;
    bool writeAll(int fd, std::string_view data) override;
    bool flush(int fd) override;
    bool close(int fd) override;
    bool link(const Folder& folder, const std::string& existing,
              const std::string& newName) override;
    bool rename(const Folder& folder, const std::string& from, const std::string& to) override;
    bool remove(const Folder& folder, const std::string& name) override;
    bool setMode(int fd, mode_t mode) override;
    bool copyExtendedAttributes(const Folder& folder, const std::string& name, int to) override;

  private:
    // Whether a call of `step` fails; counts the calls on the page's files.
    bool fails(Fault step, bool forThePage);
    bool pageName(const std::string& path) const;
    // The bytes of a name that go when it is removed or replaced: its file's, when no other
    // name holds it.
    long long spaceOf(const Folder& folder, const std::string& name);
    void changeThePage();

    std::string page_;
    Fault fault_;
    int occurrence_;
    bool hardLinks_;
    std::thread::id runThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    int calls_ = 0;
    long long spaceLeft_ = 0;
    bool changed_ = false;
    std::set<int> readFds_;                     // the page opened for reading
    std::set<int> writtenFds_;                  // every file made
    std::set<int> pageFds_;                     // files made for the page
    std::set<std::string> names_;               // paths of the names made for the page
    std::map<std::thread::id, bool> onThePage_; // the last page a thread opened was this one
};

} // namespace tagwright::fuzz
