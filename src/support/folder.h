#pragma once

// An open folder: its descriptor, through which every name in it is reached without its path
// being looked up again (a folder renamed or replaced by a link meanwhile changes nothing, and
// a tree may be deeper than any path the system takes), and the path the user knows it by, for
// the report. FolderAccess makes the system calls that open and list folders, so that tests can
// make any of them fail.

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace tagwright {

class Folder
{
  public:
    // A folder that could not be opened: error is the system's error number.
    Folder(std::string path, int error) : path_(std::move(path)), error_(error) {}
    // Takes over fd.
    Folder(int fd, std::string path);
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    int error() const { return error_; }
    const std::string& path() const { return path_; }
    // Which folder this is, whatever path led to it.
    dev_t device() const { return device_; }
    ino_t inode() const { return inode_; }
    bool isSameFolder(const Folder& other) const
    {
        return device_ == other.device_ && inode_ == other.inode_;
    }

    // The path of a name in the folder, as the user knows it (the name alone in the current
    // folder opened by the empty path).
    std::string pathOf(std::string_view name) const;
    // A path that reaches the name through the folder's descriptor, for readers that open a
    // path: the folders above are not looked up again.
    std::string readPathOf(std::string_view name) const;

  private:
    int fd_ = -1;
    std::string path_;
    int error_ = 0;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    bool throughDescriptor_ = false; // whether /proc/self/fd reaches the descriptor
};

// A name in a folder listing and the kind the listing gives (DT_DIR, DT_UNKNOWN, ...).
struct FolderEntry
{
    std::string name;
    unsigned char type = 0;
};

class FolderAccess
{
  public:
    virtual ~FolderAccess() = default;

    // The folder at a path as the user gave it (a link to a folder is followed); the empty path
    // is the current folder.
    virtual Folder openFolder(const std::string& path);
    // A subfolder, never through a symbolic link.
    virtual Folder openSubfolder(const Folder& parent, const std::string& name);
    // The names in a folder, "." and ".." left out; false, with errno, on a failure.
    virtual bool readNames(const Folder& folder, std::vector<FolderEntry>& names);
    // What a name stands for, not following a symbolic link; false, with errno, on a failure.
    virtual bool nameStatus(const Folder& folder, const std::string& name, struct stat& status);
    // What a name leads to, following symbolic links.
    virtual bool targetStatus(const Folder& folder, const std::string& name, struct stat& status);
};

} // namespace tagwright
