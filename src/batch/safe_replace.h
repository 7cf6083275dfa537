#pragma once

// Replacing a file's content without ever exposing a half-written file or losing the previous
// content: the new content goes to a fresh temporary file in the same folder, is forced to the
// disk, takes the previous file's permission bits and is renamed over the file in one step.
// Every failure leaves the file as it was and removes the temporary file.

#include "batch/file_system.h"
#include "batch/page_io.h"

#include <functional>
#include <string>

namespace tagwright {

// Produces the new content; returns 0 to go ahead or a negative code to abandon the rewrite.
using ContentProducer = std::function<int(PageWriter&)>;

// Result of replaceFile when a file operation failed; errorText then holds its description.
inline constexpr int kReplaceFailed = -7;

struct ReplaceResult {
    int code = 0;          // 0, the producer's code, or kReplaceFailed
    std::string errorText; // the system's description of a failed operation
};

// Gives target (created when absent) the produced content. With a non-empty backupPath, the
// previous file takes that name (an older file of that name is replaced) before the new
// content takes target's name; without one, no other file is touched.
ReplaceResult replaceFile(FileSystem& fs, const std::string& target, const std::string& backupPath,
                          const ContentProducer& produce);

// The name of a page's backup: "bak." after the last dot of the file name (abc.htm ->
// abc.bak.htm); empty when the file name has no dot.
std::string backupFileName(const std::string& path);

// A regular file, or a link to one; folders, devices and pipes are not pages.
bool isRegularFile(const std::string& path);

// The file that a path stands for: the final target when it is a symbolic link, else itself.
std::string resolvedFilePath(const std::string& path);

} // namespace tagwright
