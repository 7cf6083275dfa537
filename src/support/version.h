#pragma once

#include <string>

namespace tagwright {

// The version as CMake's project states it (9.8.2): what --version and packages say.
std::string projectVersion();

// The version as the desktop program's title shows it: major, ".", minor, then the digit 2 (9.82 for 9.8).
std::string versionText();

} // namespace tagwright
