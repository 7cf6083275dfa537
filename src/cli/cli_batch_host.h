#pragma once

// The batch host of the command line: a run without a person that keeps the name of the page
// being treated (a dry run's diff is headed with it) and moves the progress line.

#include "batch/batch_host.h"
#include "cli/progress_line.h"

#include <functional>
#include <string>

namespace tagwright::cli {

class CliBatchHost : public UnattendedBatchHost
{
  public:
    using PageNotice = std::function<void(const std::string& page)>;

    CliBatchHost(ProgressLine& progress, PageNotice onUnchanged)
        : progress_(progress), onUnchanged_(std::move(onUnchanged))
    {
    }

    void setInputFile(std::string_view path) override
    {
        page_ = path;
        progress_.pageStarted();
    }
    void tagUnchanged(std::string_view path) override
    {
        if (onUnchanged_)
            onUnchanged_(std::string(path));
    }
    // The page as the run names it: the folder operand joined with the names below it.
    const std::string& page() const { return page_; }

  private:
    ProgressLine& progress_;
    PageNotice onUnchanged_;
    std::string page_;
};

} // namespace tagwright::cli
