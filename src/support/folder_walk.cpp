#include "support/folder_walk.h"

namespace tagwright {

bool walkFolders(const std::shared_ptr<const Folder>& top, bool recursive, FolderAccess& access,
                 const FolderVisit& visit)
{
    const FolderListing listing = listFolder(*top, access);
    if (!visit(top, listing))
        return false;
    if (!recursive)
        return true;
    for (const std::string& name : listing.subfolders) {
        const auto subfolder = std::make_shared<const Folder>(access.openSubfolder(*top, name));
        if (!walkFolders(subfolder, recursive, access, visit))
            return false;
    }
    return true;
}

} // namespace tagwright
