#pragma once

// The batch host of the command line: a run without a person that keeps the name of the page
// being treated (a dry run's diff is headed with it) and moves the progress line.

#include "batch/batch_host.h"
#include "cli/progress_line.h"

#include <string>

namespace tagwright::cli {

class CliBatchHost : public UnattendedBatchHost
{
  public:
    explicit CliBatchHost(ProgressLine& progress) : progress_(progress) {}

    void setInputFile(std::string_view path) override
    {
        page_ = path;
        progress_.pageStarted();
    }
    // The page as the run names it: the folder operand joined with the names below it.
    const std::string& page() const { return page_; }

  private:
    ProgressLine& progress_;
    std::string page_;
};

} // namespace tagwright::cli
