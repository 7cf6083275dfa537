#pragma once

// What a folder holds, for the batch run's walk and the matching-file count. Paths are the
// platform's bytes with "/" as separator.

#include "support/expected.h"
#include "support/folder.h"

#include <optional>
#include <string>
#include <vector>

namespace tagwright {

// A name that is neither a page nor a folder to walk, and why.
struct NameLeftOut
{
    std::string name;
    // The system's error number when what the name is could not be learned; 0 when it is known
    // to be no regular file (a pipe, a device, a link that leads nowhere or to a folder).
    int errorNumber = 0;
    std::string reason; // the system's description, or what the name is
};

struct FolderListing
{
    // Names (not paths) of the regular files directly in the folder, symbolic links to regular
    // files included. Sorted by byte order.
    std::vector<std::string> files;
    // Names of the subfolders, sorted; a symbolic link to a folder is not one (no endless walk).
    // A name the listing calls a folder but that cannot be looked at is one: opening it tells.
    std::vector<std::string> subfolders;
    // Every other name, sorted: pipes, devices, sockets, links that lead nowhere, loops of
    // links, links to folders, and names that cannot be looked at.
    std::vector<NameLeftOut> leftOut;
    // Why the folder could not be listed; none on success.
    std::optional<Failure> failure;

    bool ok() const { return !failure; }
};

// Lists an open folder (or gives the failure of a folder that could not be opened).
FolderListing listFolder(const Folder& folder, FolderAccess& access);
// Lists the folder at a path. A missing folder, a file in place of a folder or a folder that
// may not be read gives the failure and no names.
FolderListing listFolder(const std::string& folder);

} // namespace tagwright
