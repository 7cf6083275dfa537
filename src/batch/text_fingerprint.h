#pragma once

// The fingerprint of a page's text that a done marker carries, so that an edit made after the
// page was tagged shows. It is taken of the page as the head rewrite leaves it without its
// keywords tags and done markers, and leaves out line ends, empty lines and the blanks at either
// end of a line: writing a tag or a marker, wherever it goes, does not change it, nor does a
// checkout that turns LF into CR LF; any other change of the text does.

#include "batch/file_system.h"

#include <optional>
#include <string>
#include <string_view>

namespace tagwright {

// 16 lower-case hexadecimal digits, of the page open at fd, read from its start; empty when the
// page cannot be read (readError tells why), has no "</head>" or holds a keywords tag that does
// not close on its line (a run writes no marker there). The file is left at its start again.
std::optional<std::string> textFingerprint(FileSystem& fs, int fd, int& readError);
std::optional<std::string> textFingerprint(FileSystem& fs, const std::string& path);

} // namespace tagwright
