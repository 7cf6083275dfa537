#include "batch/site_report.h"

#include "batch/safe_replace.h"
#include "batch/settings_differences.h"
#include "support/dates.h"
#include "support/files.h"

namespace tagwright {

ReportedRun reportedRun(const BatchJob& job, bool check, bool dryRun)
{
    return {check, job.folder, formatDate(jdnToGregorian(job.todayJdn)),
            settingsDifferences(job.settings, job.analysis, job.tag), dryRun};
}

SiteReport::SiteReport(ReportedRun run) : run_(std::move(run)) {}

const std::string* SiteReport::kept(std::string_view text)
{
    if (text.empty())
        return nullptr;
    return &*texts_.emplace(text).first;
}

const std::string* SiteReport::keptTag(const std::optional<std::string>& text)
{
    return text ? &*texts_.emplace(*text).first : nullptr;
}

void SiteReport::add(const PageRecord& page, std::string_view verdict)
{
    pages_.push_back({page.page, page.result, kept(page.reason), kept(verdict), keptTag(page.oldTag),
                      keptTag(page.newTag)});
}

std::string SiteReport::save(const std::string& path) const
{
    const std::string linkBase = containingFolder(path);
    return saveFile(path, [&](PageWriter& out) { write(out, linkBase); });
}

} // namespace tagwright
