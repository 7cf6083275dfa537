#pragma once

#include <string>

namespace tagwright {

// Where the program's own files (common-word lists, program texts) may stand.
struct DataFolderPlaces
{
    std::string program;     // the running program's file, links resolved; empty when unknown
    std::string configured;  // share/tagwright of the install prefix the build was configured for
    std::string buildFolder; // the build tree the program was built in
    std::string sourceData;  // data/ of the source tree
};

// The data folder for a program at places.program: share/tagwright beside the program's bin
// folder when it holds the program texts, so that an installed program finds its own files
// whatever its prefix; else data/ of the source tree, but only for a program that runs from its
// build tree; else the configured folder when it holds the program texts; else the folder beside
// the program, which a failure to read a list then names.
std::string dataFolderFor(const DataFolderPlaces& places);

// The folder of the program's own files: the environment variable TAGWRIGHT_DATA_DIR when set,
// else dataFolderFor the running program.
std::string programDataFolder();

} // namespace tagwright
