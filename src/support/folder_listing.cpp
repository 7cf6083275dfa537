#include "support/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tagwright {

namespace {

namespace fs = std::filesystem;

FolderListing failure(const std::error_code& error)
{
    FolderListing listing;
    listing.errorNumber = error.value();
    listing.errorText = error.message();
    return listing;
}

} // namespace

FolderListing listFolder(const std::string& folder)
{
    std::error_code error;
    fs::directory_iterator entries(fs::path(folder), error);
    if (error)
        return failure(error);
    FolderListing listing;
    for (const fs::directory_iterator end; entries != end; entries.increment(error)) {
        if (error)
            return failure(error);
        const fs::directory_entry& entry = *entries;
        std::error_code statusError;
        const fs::file_status own = entry.symlink_status(statusError);
        if (statusError)
            continue; // vanished since the listing was taken
        std::string name = entry.path().filename().string();
        if (fs::is_directory(own))
            listing.subfolders.push_back(std::move(name));
        else if (fs::is_regular_file(own) ||
                 (fs::is_symlink(own) && fs::is_regular_file(entry.status(statusError))))
            listing.files.push_back(std::move(name));
    }
    if (error)
        return failure(error);
    std::sort(listing.files.begin(), listing.files.end());
    std::sort(listing.subfolders.begin(), listing.subfolders.end());
    return listing;
}

} // namespace tagwright
