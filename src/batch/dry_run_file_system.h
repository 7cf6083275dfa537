#pragma once

// The file operations of a dry run: the real rewrite runs through them and produces every
// byte it would write, but nothing on the disk is created, changed or removed. Reading is
// real; a new file is kept in memory; a rename that would put such a file in place hands its
// content to the listener instead; links, other renames and removals only report success.

#include "batch/file_system.h"

#include <functional>
#include <map>
#include <string>

namespace tagwright {

class DryRunFileSystem : public FileSystem
{
  public:
    // Called with the file that a rewrite would replace (or create) and its new content.
    using ReplaceListener =
        std::function<void(const std::string& target, const std::string& content)>;

    // Whether the dry run fails where its user could not write (as the real run would), or
    // goes on as if it could: a check judges the tags of pages that its user may only read.
    enum class Permissions { AsTheRun, Disregarded };

    explicit DryRunFileSystem(ReplaceListener listener,
                              Permissions permissions = Permissions::AsTheRun)
        : listener_(std::move(listener)), permissions_(permissions)
    {
    }

    int createNew(const Folder& folder, const std::string& name, mode_t mode) override;
    bool close(int fd) override;
    bool link(const Folder& folder, const std::string& existing,
              const std::string& newName) override;
    bool rename(const Folder& folder, const std::string& from, const std::string& to) override;
    bool remove(const Folder& folder, const std::string& name) override;
    bool setOwner(int fd, uid_t owner, gid_t group) override;
    bool setMode(int fd, mode_t mode) override;
    // A file in memory need not carry the page's extended attributes: they are only read.
    bool copyExtendedAttributes(const Folder& folder, const std::string& name, int to) override;
    // A page that its user could not replace is still judged when permissions are disregarded.
    bool readFileFlags(int fd, int& flags) override;
    bool writesForReal() const override { return false; }
    // The files in memory are kept for one thread.
    bool bearsSeveralThreads() const override { return false; }

  private:
    ReplaceListener listener_;
    Permissions permissions_;
    std::map<int, std::string> open_;            // descriptor of a file in memory -> its path
    std::map<std::string, std::string> written_; // path of a closed file in memory -> content
};

} // namespace tagwright
