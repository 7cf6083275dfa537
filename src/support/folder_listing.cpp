#include "support/folder_listing.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tagwright {

namespace {

FolderListing failure(int error)
{
    FolderListing listing;
    listing.failure = Failure::ofError(error);
    return listing;
}

// What a symbolic link leads to; the reason when it is no page.
void addLink(FolderListing& listing, const Folder& folder, const std::string& name,
             FolderAccess& access)
{
    struct stat target
    {
    };
    if (access.targetStatus(folder, name, target)) {
        if (S_ISREG(target.st_mode))
            listing.files.push_back(name);
        else
            listing.leftOut.push_back({name, 0, S_ISDIR(target.st_mode)
                                                    ? "a link to a folder"
                                                    : "a link to something other than a file"});
    } else if (errno == ENOENT || errno == ENOTDIR) {
        listing.leftOut.push_back({name, 0, "a link that leads nowhere"});
    } else if (errno == ELOOP) {
        listing.leftOut.push_back({name, 0, "a loop of links"});
    } else {
        listing.leftOut.push_back({name, errno, std::strerror(errno)});
    }
}

} // namespace

FolderListing listFolder(const Folder& folder, FolderAccess& access)
{
    if (!folder.isOpen())
        return failure(folder.error());
    std::vector<FolderEntry> entries;
    if (!access.readNames(folder, entries))
        return failure(errno);
    FolderListing listing;
    for (const FolderEntry& entry : entries) {
        struct stat own
        {
        };
        if (!access.nameStatus(folder, entry.name, own)) {
            if (errno == ENOENT)
                continue; // gone since the listing was taken
            if (entry.type == DT_DIR)
                listing.subfolders.push_back(entry.name);
            else
                listing.leftOut.push_back({entry.name, errno, std::strerror(errno)});
        } else if (S_ISDIR(own.st_mode)) {
            listing.subfolders.push_back(entry.name);
        } else if (S_ISREG(own.st_mode)) {
            listing.files.push_back(entry.name);
        } else if (S_ISLNK(own.st_mode)) {
            addLink(listing, folder, entry.name, access);
        } else {
            listing.leftOut.push_back({entry.name, 0, "not a regular file"});
        }
    }
    std::sort(listing.files.begin(), listing.files.end());
    std::sort(listing.subfolders.begin(), listing.subfolders.end());
    std::sort(listing.leftOut.begin(), listing.leftOut.end(),
              [](const NameLeftOut& a, const NameLeftOut& b) { return a.name < b.name; });
    return listing;
}

FolderListing listFolder(const std::string& folder)
{
    FolderAccess access;
    return listFolder(access.openFolder(folder), access);
}

} // namespace tagwright
