#pragma once

// What a folder holds, for the batch run's walk and the matching-file count. Paths are the
// platform's bytes with "/" as separator.

#include <string>
#include <vector>

namespace tagwright {

struct FolderListing
{
    // Names (not paths) of the regular files directly in the folder, symbolic links to regular
    // files included; FIFOs, devices and sockets are left out. Sorted by byte order.
    std::vector<std::string> files;
    // Names of the subfolders, sorted; a symbolic link to a folder is not one (no endless walk).
    std::vector<std::string> subfolders;
    // The platform's error number and description of a failure; 0 and empty on success.
    int errorNumber = 0;
    std::string errorText;

    bool ok() const { return errorNumber == 0; }
};

// Lists a folder. A missing folder, a file in place of a folder or a folder that may not be
// read gives the failure and no names.
FolderListing listFolder(const std::string& folder);

} // namespace tagwright
