#include "cli/progress_line.h"

#include "support/folder_walk.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace tagwright::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

// On a terminal only; and not while stdout feeds a pipe, whose reader (a pager, jq) most
// likely draws on the same terminal, which the line would garble.
bool progressWanted()
{
    struct stat out
    {
    };
    const bool piped = ::fstat(STDOUT_FILENO, &out) == 0 && S_ISFIFO(out.st_mode);
    return ::isatty(STDERR_FILENO) == 1 && !piped;
}

std::string durationText(double seconds)
{
    const auto whole = static_cast<long long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

} // namespace

ProgressLine::ProgressLine(std::int64_t pagesFound) : shown_(progressWanted()), found_(pagesFound)
{
}

ProgressLine::~ProgressLine()
{
    if (shown_ && drawn_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

void ProgressLine::pageDone(std::string_view pass)
{
    const Clock::time_point now = Clock::now();
    if (pass != pass_) {
        pass_ = pass;
        done_ = 0;
        start_ = now;
        drawn_.reset();
    }
    ++done_;
    if (shown_ && (!drawn_ || now - *drawn_ >= kRedrawInterval))
        draw(now);
}

void ProgressLine::draw(Clock::time_point now)
{
    drawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    // The first page's time says nothing of the run's pace: a rate from under a second of work
    // would be wild.
    const double rate = seconds >= 1 ? static_cast<double>(done_) / seconds : 0;
    std::string line = (pass_.empty() ? "" : pass_ + " ") + std::to_string(done_) + " of " +
                       std::to_string(found_) + " pages";
    if (rate > 0) {
        char perSecond[32];
        std::snprintf(perSecond, sizeof perSecond, ", %.1f pages/s", rate);
        line += perSecond;
        if (found_ > done_)
            line += ", " + durationText(static_cast<double>(found_ - done_) / rate) + " left";
    }
    std::fputs(("\r" + line + "\033[K").c_str(), stderr);
    std::fflush(stderr);
}

std::int64_t pagesToWalk(const std::string& folder, const PageScope& scope)
{
    std::int64_t count = 0;
    if (!progressWanted())
        return count;
    // The pages the run examines: names that cannot be looked at are failures it counts too.
    FolderAccess access;
    walkFolders(std::make_shared<const Folder>(access.openFolder(folder)), scope.recursive, access,
                [&](const std::shared_ptr<const Folder>&, const FolderListing& listing) {
                    for (const std::string& name : listing.files)
                        count += scope.takesPage(name) ? 1 : 0;
                    for (const NameLeftOut& name : listing.leftOut)
                        count += name.errorNumber != 0 && scope.takesPage(name.name) ? 1 : 0;
                    return true;
                });
    return count;
}

} // namespace tagwright::cli
