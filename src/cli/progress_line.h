#pragma once

// One line of progress on stderr while a walk works through its pages (pages done of pages
// found, pages per second, time left), redrawn in place and erased at the end. Only when stderr
// is a terminal and stdout does not feed a pipe: a log file gets nothing, nor does a pager.
// A pass over the pages before the run's own (the search for site words) has its caption
// before the count; each pass counts from its first page.

#include "cli/report_destination.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tagwright::cli {

class ProgressLine
{
  public:
    // Shows nothing unless stderr is a terminal and stdout no pipe.
    explicit ProgressLine(std::int64_t pagesFound);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine();

    // A page of the pass captioned so (none for the run's own pages) is done.
    void pageDone(std::string_view pass = {});

  private:
    using Clock = std::chrono::steady_clock;

    void draw(Clock::time_point now);

    bool shown_;
    std::int64_t found_;
    std::string pass_;
    std::int64_t done_ = 0;
    Clock::time_point start_ = Clock::now();
    std::optional<Clock::time_point> drawn_;
};

// The pages that a walk over folder would take: files with a ticked extension, backups left
// out, in subfolders too with recursive. Only counted when the line is shown (0 otherwise).
std::int64_t pagesToWalk(const std::string& folder, const PageScope& scope);

} // namespace tagwright::cli
