#pragma once

// The file operations that rewriting a page relies on, gathered behind one small class so that
// tests can make any single step fail and check that no page is lost. The base class performs
// the real operations; a test derives from it and overrides the step it wants to break.
//
// Names are reached through an open folder (the *at calls) and never through a symbolic link:
// a rewrite touches only the folder it was given, whatever happens to the paths above it.

#include "support/folder.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tagwright {

class FileSystem : public FolderAccess
{
  public:
    // Each returns -1 or false on failure with errno set, like the system calls beneath.
    // A name that is a symbolic link is not opened (ELOOP); nor does a pipe block the opening.
    virtual int openForReading(const Folder& folder, const std::string& name);
    // Creates a new file; fails when the name is taken, so it can never replace anything.
    virtual int createNew(const Folder& folder, const std::string& name, mode_t mode);
    virtual ssize_t read(int fd, char* buffer, std::size_t size);
    virtual bool writeAll(int fd, std::string_view data);
    // Writes data over what the file holds at offset, which it has already been written up to.
    virtual bool writeAt(int fd, std::string_view data, off_t offset);
    // Forces the written data to the disk.
    virtual bool flush(int fd);
    virtual bool close(int fd);
    // A second name for an existing file; fails when the new name is taken.
    virtual bool link(const Folder& folder, const std::string& existing,
                      const std::string& newName);
    virtual bool rename(const Folder& folder, const std::string& from, const std::string& to);
    virtual bool remove(const Folder& folder, const std::string& name);
    // What an open file is.
    virtual bool openStatus(int fd, struct stat& status);
    // Access and modification times, as futimens.
    virtual bool setTimes(int fd, const struct timespec times[2]);
    // What a new file takes over from the file it replaces: owner and group, permission bits,
    // and every extended attribute (ACLs among them), with none that the other file lacks.
    virtual bool setOwner(int fd, uid_t owner, gid_t group);
    virtual bool setMode(int fd, mode_t mode);
    virtual bool copyExtendedAttributes(const Folder& folder, const std::string& name, int to);
    // The file's inode flags (FS_IOC_GETFLAGS: immutable, append-only, ...).
    virtual bool readFileFlags(int fd, int& flags);
    // Forces a folder's entries (names just renamed into it) to the disk. A file system that
    // cannot force folders counts as done.
    virtual bool flushFolder(const Folder& folder);
    // Whether the operations change files for real: a run through them holds a lock on each
    // folder it writes in; a run that writes nothing (a dry run) takes none.
    virtual bool writesForReal() const { return true; }
    // Whether the operations may be called from several threads at once, as the workers of a run
    // on several jobs call them when they write pages ahead.
    virtual bool bearsSeveralThreads() const { return true; }
};

// An open file descriptor that is closed when it goes out of scope.
class OpenFile
{
  public:
    OpenFile(FileSystem& fs, int fd) : fs_(fs), fd_(fd) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile();

    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (a late write error shows up here).
    bool close();

  private:
    FileSystem& fs_;
    int fd_;
};

} // namespace tagwright
