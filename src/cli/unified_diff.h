#pragma once

// A unified diff of one file, in the file's own bytes, as `patch -p1` applies it: the header
// names a/PATH and b/PATH, each followed by a tab and its side's time (patch takes a name up to
// the tab, blanks and all), quoted as GNU diff quotes a name that needs it; lines end where LF
// ends them, three lines of context.

#include <ctime>
#include <string>
#include <string_view>

namespace tagwright::cli {

// Empty when the two contents are equal.
std::string unifiedDiff(std::string_view oldContent, std::string_view newContent,
                        const std::string& path, const timespec& oldTime, const timespec& newTime);

} // namespace tagwright::cli
