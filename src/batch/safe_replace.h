#pragma once

// Replacing a file's content without ever exposing a half-written file or losing the previous
// content: the new content goes to a fresh temporary file in the same folder, is forced to the
// disk, takes over the previous file's owner, group, permission bits and extended attributes
// and is renamed over the file in one step. Every failure leaves the file as it was and removes
// the temporary file.

#include "batch/file_system.h"
#include "batch/page_file.h"
#include "batch/page_io.h"
#include "support/expected.h"

#include <sys/stat.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tagwright {

// Produces the new content: 0 to go ahead, a negative code of the caller's to abandon the
// rewrite, or the failure that kept the content from being produced (the page read).
using ContentProducer = std::function<Expected<int>(PageWriter&)>;

// Why a file is not replaced although every operation would succeed.
inline constexpr const char* kReadOnlyFile = "The file is read-only for everyone.";
inline constexpr const char* kFileChanged = "The file changed while it was being rewritten.";
// chattr +i or +a: the system lets nobody replace the file, nor give it a second name.
inline constexpr const char* kUnalterableFile = "The file is immutable or append-only.";

// Why a rewrite could not keep what the file was; the system's reason follows in parentheses.
inline constexpr const char* kOwnerNotKept = "The owner and group of the file cannot be kept";
inline constexpr const char* kModeNotKept = "The permissions of the file cannot be kept";
inline constexpr const char* kAttributesNotKept =
    "The extended attributes of the file cannot be kept";
// The new content is in place; the system's reason follows in parentheses.
inline constexpr const char* kFolderNotFlushed =
    "The file was written, but forcing its folder to the disk failed";

// How a replace ended when nothing failed and nothing was refused.
struct Replaced
{
    int abandonedWith = 0; // the producer's code when it abandoned the rewrite; else 0
    // The file is replaced, but its folder could not be forced to the disk (kFolderNotFlushed).
    std::optional<Failure> folderNotFlushed;
};
// The failure is that of a file operation, or why the file may not be replaced.
using ReplaceResult = Expected<Replaced>;

// What tells one content of a file from another: its identity, size and modification time;
// and what the new file takes over from it: its permission bits, owner and group (a page made
// private after it was read must not be replaced by a file open to all).
struct FileStamp
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified
    {
    };
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;

    bool operator==(const FileStamp& other) const;
};

FileStamp fileStamp(const struct stat& status);
// The stamp of an open file; none, with errno, when it cannot be taken.
std::optional<FileStamp> fileStamp(FileSystem& fs, int fd);

struct ReplaceOptions
{
    // The file as its content was read; by default, as it was when the rewrite began. A file
    // whose stamp differs by the time of the rename is not replaced.
    std::optional<FileStamp> asRead;
    // Forces the folder's new names to the disk after the rename; a batch run does that once
    // per folder instead.
    bool flushFolder = true;
};

// Gives target (created when absent) the produced content. With a non-empty backupName (a name
// in target's folder), the previous file takes that name (an older file of that name is
// replaced) before the new content takes target's name; without one, no other file is touched.
// A file that is read-only for everyone, immutable or append-only, that changed meanwhile (a
// name that became a link among them), or whose owner, group, permission bits or extended
// attributes the new file cannot take over, is not replaced; nor is a file that was read and is
// gone made anew.
ReplaceResult replaceFile(FileSystem& fs, const PageFile& target, const std::string& backupName,
                          const ContentProducer& produce, const ReplaceOptions& options = {});

// Saves a file that the user named (a report) through replaceFile, its content written by
// `write`: the empty text, or what went wrong (a failure, or its folder not forced to the disk).
std::string saveFile(const std::string& path, const std::function<void(PageWriter&)>& write);

class TemporaryFileGuard;

// replaceFile in two steps, so that the new content can be written and forced to the disk ahead
// of the decision to replace: prepareReplacement writes the temporary file (with the previous
// file's attributes) and forces it to the disk; commit checks that the file is unchanged, makes
// the backup and renames. A preparation that is not committed removes its temporary file.
class PreparedReplacement
{
  public:
    PreparedReplacement();
    PreparedReplacement(PreparedReplacement&&) noexcept;
    PreparedReplacement& operator=(PreparedReplacement&&) noexcept;
    PreparedReplacement(const PreparedReplacement&) = delete;
    PreparedReplacement& operator=(const PreparedReplacement&) = delete;
    ~PreparedReplacement();

    // What the preparation gave, as replaceFile.
    const ReplaceResult& prepared() const { return prepared_; }
    // Whether the temporary file is written and waits for its commit.
    bool ready() const { return prepared_ && prepared_->abandonedWith == 0; }
    // Replaces the file with the prepared content; once, and only when ready().
    ReplaceResult commit();

  private:
    friend PreparedReplacement prepareReplacement(FileSystem& fs, const PageFile& target,
                                                  const std::string& backupName,
                                                  const ContentProducer& produce,
                                                  const ReplaceOptions& options);
    void discard();

    FileSystem* fs_ = nullptr;
    PageFile target_;
    std::string backupName_;
    std::string temporaryName_;
    std::unique_ptr<TemporaryFileGuard> guard_;
    struct stat previous_
    {
    };
    bool replacing_ = false;
    FileStamp expected_;
    bool flushFolder_ = true;
    ReplaceResult prepared_;
};

PreparedReplacement prepareReplacement(FileSystem& fs, const PageFile& target,
                                       const std::string& backupName,
                                       const ContentProducer& produce,
                                       const ReplaceOptions& options = {});

// The name of a page's backup: "bak." after the last dot of the file name (abc.htm ->
// abc.bak.htm); empty when the file name has no dot.
std::string backupFileName(const std::string& path);

// The file that a path stands for: the final target when it is a symbolic link, else itself.
std::string resolvedFilePath(const std::string& path);

} // namespace tagwright
