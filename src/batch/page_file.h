#pragma once

// A file as a batch run reaches it: a name in an open folder. Whatever happens to the paths
// above the folder, or to the name meanwhile, the run reads and writes that folder's entry and
// no other.

#include "support/folder.h"

#include <memory>
#include <string>

namespace tagwright {

struct PageFile
{
    std::shared_ptr<const Folder> folder;
    std::string name;

    // The path the user knows the file by.
    std::string path() const { return folder->pathOf(name); }
    // A path to the file through its folder's descriptor, for readers that open a path.
    std::string readPath() const { return folder->readPathOf(name); }

    bool operator==(const PageFile&) const = default;
};

// The file a path stands for, for a caller that knows it by its path only (a single page, a
// saved report): a symbolic link is followed, once, to its final target, whose folder is opened.
// A folder that cannot be opened gives a PageFile whose folder is not open, with its error.
PageFile locateFile(FolderAccess& access, const std::string& path);

} // namespace tagwright
