#pragma once

// The folders of a batch walk one at a time, each with the pages of it that the run treats (the
// names of its listing with a ticked extension) and the number the first of them has among the
// pages handed to the workers. With workers, the pages of the next folders are handed to them
// before the run comes to those folders, so that they go on past a folder's end instead of
// waiting there for the run: a tree of small folders is then treated on every core too. Those
// folders are listed ahead of their turn, and workers may write the new content of their pages
// to temporary files there; a page takes its new content only at its turn, under its folder's
// lock.

#include "batch/analysis_ahead.h"
#include "batch/batch_settings.h"
#include "batch/page_file.h"
#include "support/folder_walk.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace tagwright {

struct FolderPages
{
    std::shared_ptr<const Folder> folder;
    FolderListing listing;
    std::vector<PageFile> pages; // none when the folder could not be listed
    std::size_t firstPage = 0;   // the number of the first among the pages of the walk
};

class FoldersAhead
{
  public:
    // Walks top, and its subfolders when the settings include them; hands the pages to `ahead`,
    // when there is one, which must outlive this object.
    FoldersAhead(std::shared_ptr<const Folder> top, const BatchSettings& settings,
                 FolderAccess& access, AnalysisAhead* ahead);

    // The next folder of the walk; none once the walk is over.
    std::optional<FolderPages> next();

  private:
    // Lists the next folder of the walk; false when there is none.
    bool listNext();

    FolderWalk walk_;
    const BatchSettings& settings_;
    AnalysisAhead* ahead_;
    // Each folder listed ahead keeps its descriptor open until its turn: at most 64 of them,
    // and half the descriptors set aside for work ahead.
    std::size_t mostFoldersAhead_;
    std::deque<FolderPages> listed_;
    std::size_t pagesListed_ = 0;
};

} // namespace tagwright
