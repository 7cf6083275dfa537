#include "support/folder_walk.h"

#include <utility>

namespace tagwright {

FolderWalk::FolderWalk(std::shared_ptr<const Folder> top, bool recursive, FolderAccess& access)
    : top_(std::move(top)), recursive_(recursive), access_(access)
{
}

WalkedFolder FolderWalk::entered(std::shared_ptr<const Folder> folder)
{
    WalkedFolder walked{std::move(folder), {}};
    walked.listing = listFolder(*walked.folder, access_);
    if (recursive_)
        open_.push_back({walked.folder, walked.listing.subfolders});
    return walked;
}

std::optional<WalkedFolder> FolderWalk::next()
{
    if (top_)
        return entered(std::exchange(top_, nullptr));
    while (!open_.empty()) {
        Open& parent = open_.back();
        if (parent.nextSubfolder == parent.subfolders.size()) {
            open_.pop_back();
            continue;
        }
        const std::string& name = parent.subfolders[parent.nextSubfolder++];
        return entered(std::make_shared<const Folder>(access_.openSubfolder(*parent.folder, name)));
    }
    return std::nullopt;
}

bool walkFolders(const std::shared_ptr<const Folder>& top, bool recursive, FolderAccess& access,
                 const FolderVisit& visit)
{
    FolderWalk walk(top, recursive, access);
    while (std::optional<WalkedFolder> walked = walk.next()) {
        if (!visit(walked->folder, walked->listing))
            return false;
    }
    return true;
}

} // namespace tagwright
