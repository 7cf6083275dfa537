#pragma once

// The site report: one self-contained web page about a run (what was run, the counts, the
// failures with their causes, the keywords that stand in the most tags, and every page with its
// result and its old and new tag), made from the records of the pages as the run hands them
// out. The records are kept compactly (each distinct tag and reason once), so that a run over a
// large site can be reported; the page is written in one pass, streamed to its file.

#include "batch/folder_run.h"
#include "batch/page_io.h"
#include "batch/page_record.h"

#include <string>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tagwright {

// What the report says about the run itself; texts in Windows-1252, the folder as bytes.
struct ReportedRun
{
    bool check = false; // a check (what a run would do, each page judged) rather than a run
    std::string folder; // as the user named it
    std::string date;   // the run's day, 2026-12-07
    std::vector<std::string> settings; // the choices that differ from the defaults
    bool dryRun = false;
};

// The run of a job as the report describes it: its day, and its settings that differ from the
// defaults.
ReportedRun reportedRun(const BatchJob& job, bool check, bool dryRun);

// The keywords that stand in the most tags of the site.
inline constexpr std::size_t kChartedKeywords = 20;

class SiteReport
{
  public:
    explicit SiteReport(ReportedRun run);

    // A page as the run finished with it; verdict: why a check fails the page, empty when it
    // passes (a run's pages have none).
    void add(const PageRecord& page, std::string_view verdict = {});
    // The run's counts, failures and site words, once it is over.
    void setCounts(const BatchCounts& counts) { counts_ = counts; }

    // The whole report, UTF-8 HTML, to out; the links to pages lead there from the folder
    // linkBase (the report's own folder).
    void write(PageWriter& out, const std::string& linkBase) const;
    // The report saved to a file through the safe replace; the description of the failure, or
    // the empty text.
    std::string save(const std::string& path) const;

  private:
    friend class SiteReportWriter;

    struct Page
    {
        std::string path;
        PageResult result;
        const std::string* reason;  // none when the record gives none
        const std::string* verdict; // none: the page passes the check, or the run is no check
        const std::string* oldTag;
        const std::string* newTag;
    };

    // Each text once; none for an empty text or no tag.
    const std::string* kept(std::string_view text);
    const std::string* keptTag(const std::optional<std::string>& tag);

    ReportedRun run_;
    BatchCounts counts_;
    std::unordered_set<std::string> texts_; // each distinct tag, reason and verdict once
    std::vector<Page> pages_;
};

} // namespace tagwright
