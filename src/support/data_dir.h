#pragma once

#include <string>

namespace tagwright {

// The folder of the program's own files (common-word lists, program texts): the environment
// variable TAGWRIGHT_DATA_DIR when set, else the installed data folder when it holds the program
// texts, else data/ of the source tree, for a program run from its build tree.
std::string programDataFolder();

} // namespace tagwright
