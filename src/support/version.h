#pragma once

#include <string>

namespace tagwright {

// The version as the program shows it: major, ".", minor, then the digit 2 (9.82 for 9.8).
std::string versionText();

} // namespace tagwright
