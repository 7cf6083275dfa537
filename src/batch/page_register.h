#pragma once

// The pages a batch run has met, known by the canonical path of the file that a rewrite would
// replace, so that no page is rewritten twice in one run (its backup then always holds the page
// as it was before the run) and no link leads the run into another tree.

#include <set>
#include <string>

namespace tagwright {

enum class PageAdmission {
    Admitted,       // first met: the run treats it
    AlreadyTreated, // another name of a page met before
    OutsideFolder,  // a link that leads out of the walked folder
};

class PageRegister
{
  public:
    // The walked folder is resolved too, so that a tree reached through a link is its own.
    explicit PageRegister(const std::string& walkedFolder);

    // Registers the page a name leads to. A name that cannot be resolved (the file vanished) is
    // admitted: the run then meets and reports the failure itself.
    PageAdmission admit(const std::string& path);

  private:
    std::string root_; // canonical, without a final "/"; empty when it could not be resolved
    std::set<std::string> met_;
};

} // namespace tagwright
