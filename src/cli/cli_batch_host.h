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
    using PageNotice = std::function<void(const PageRecord& page)>;

    CliBatchHost(ProgressLine& progress, PageNotice onFinished)
        : progress_(progress), onFinished_(std::move(onFinished))
    {
    }

    void setInputFile(std::string_view path) override { page_ = path; }
    void siteWordsProgress(std::int32_t) override { progress_.pageDone(kFindingSiteWords); }
    void pageFinished(const PageRecord& page) override
    {
        progress_.pageDone();
        if (onFinished_)
            onFinished_(page);
    }
    // The page as the run names it: the folder operand joined with the names below it.
    const std::string& page() const { return page_; }

  private:
    ProgressLine& progress_;
    PageNotice onFinished_;
    std::string page_;
};

} // namespace tagwright::cli
