#include "batch/folders_ahead.h"

#include "support/descriptor_budget.h"

#include <algorithm>
#include <utility>

namespace tagwright {

FoldersAhead::FoldersAhead(std::shared_ptr<const Folder> top, const BatchSettings& settings,
                           FolderAccess& access, AnalysisAhead* ahead)
    : walk_(std::move(top), settings.includeAllSubfolders, access), settings_(settings),
      ahead_(ahead),
      mostFoldersAhead_(std::clamp<std::size_t>(descriptorsForWorkAhead() / 2, 1, 64))
{
}

std::optional<FolderPages> FoldersAhead::next()
{
    if (listed_.empty() && !listNext())
        return std::nullopt;
    FolderPages current = std::move(listed_.front());
    listed_.pop_front();
    if (ahead_) {
        // Enough pages after this folder's for the workers to go a whole window ahead.
        const std::size_t end = current.firstPage + current.pages.size();
        while (listed_.size() < mostFoldersAhead_ && pagesListed_ - end < ahead_->window() &&
               listNext()) {
        }
    }
    return current;
}

bool FoldersAhead::listNext()
{
    std::optional<WalkedFolder> walked = walk_.next();
    if (!walked)
        return false;
    FolderPages folder{std::move(walked->folder), std::move(walked->listing), {}, pagesListed_};
    if (folder.listing.ok()) {
        for (const std::string& name : folder.listing.files) {
            if (settings_.takesFile(name))
                folder.pages.push_back({folder.folder, name});
        }
    }
    pagesListed_ += folder.pages.size();
    if (ahead_ && !folder.pages.empty())
        ahead_->add(folder.pages);
    listed_.push_back(std::move(folder));
    return true;
}

} // namespace tagwright
