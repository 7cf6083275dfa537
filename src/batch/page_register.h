#pragma once

// The pages a batch run has met, known by the folder and name of the file that a rewrite would
// replace, so that no page is rewritten twice in one run (its backup then always holds the page
// as it was before the run) and no link leads the run into another tree. A link is resolved here,
// once: the run then reaches its target through the target's folder, opened from the walked
// folder without following any link, and never looks the link up again.

#include "batch/page_file.h"
#include "support/folder.h"

#include <sys/types.h>

#include <memory>
#include <set>
#include <string>
#include <tuple>

namespace tagwright {

enum class PageAdmission {
    Admitted,       // first met: the run treats it
    AlreadyTreated, // another name of a page met before
    OutsideFolder,  // a link that leads out of the walked folder
};

struct Admission
{
    PageAdmission admission = PageAdmission::Admitted;
    PageFile file; // what the run reads and rewrites: the page itself, or a link's target
};

class PageRegister
{
  public:
    // The walked folder, open (a tree reached through a link is its own).
    PageRegister(std::shared_ptr<const Folder> walked, FolderAccess& access);

    // Registers the page a name leads to. A name that cannot be resolved is admitted as it
    // is: the run then meets and reports the failure itself.
    Admission admit(const PageFile& named);

  private:
    Admission record(PageFile file);

    std::shared_ptr<const Folder> walked_;
    std::string root_; // canonical, without a final "/"; empty when it could not be resolved
    FolderAccess& access_;
    std::set<std::tuple<dev_t, ino_t, std::string>> met_;
};

} // namespace tagwright
