#pragma once

// The batch host of the command line: a run without a person that keeps the name of the page
// being treated (a dry run's diff is headed with it) and moves the progress line.

#include "batch/batch_host.h"
#include "cli/progress_line.h"

#include <functional>
#include <optional>
#include <string>

namespace tagwright::cli {

// How the run finished with a page; the tags as Windows-1252 text, when the run composed one
// (the old one may be the message that the page has none).
struct FinishedPage
{
    std::string page; // as the run names it
    PageResult result = PageResult::PassedOver;
    std::optional<std::string> oldTag; // empty when the page had none
    std::optional<std::string> newTag;
};

class CliBatchHost : public UnattendedBatchHost
{
  public:
    using PageNotice = std::function<void(const FinishedPage& page)>;

    CliBatchHost(ProgressLine& progress, PageNotice onFinished)
        : progress_(progress), onFinished_(std::move(onFinished))
    {
    }

    void setInputFile(std::string_view path) override { page_ = path; }
    void tagComposed(std::string_view oldTag, std::string_view newTag) override
    {
        oldTag_ = oldTag;
        newTag_ = newTag;
    }
    void pageFinished(std::string_view path, PageResult result) override
    {
        progress_.pageDone();
        if (onFinished_)
            onFinished_({std::string(path), result, std::move(oldTag_), std::move(newTag_)});
        oldTag_.reset();
        newTag_.reset();
    }
    // The page as the run names it: the folder operand joined with the names below it.
    const std::string& page() const { return page_; }

  private:
    ProgressLine& progress_;
    PageNotice onFinished_;
    std::string page_;
    std::optional<std::string> oldTag_;
    std::optional<std::string> newTag_;
};

} // namespace tagwright::cli
