#pragma once

// What a run tells about each page it examined: one record, from which the JSON lines of the
// command line and the site report are made alike.

#include <optional>
#include <string>
#include <string_view>

namespace tagwright {

// How a run finished with a page.
enum class PageResult {
    Written,     // the new tag was written (in a dry run: would be)
    Unchanged,   // the new tag is the one the page carries: nothing written
    DoneAlready, // skipped as done recently
    PassedOver,  // by rule: not a text file, no words, no </head>, another name, ...
    Failed,      // could not be read or written; the run's failures say why
};

// The words a result goes by in a page's record: "written", "unchanged", "done already",
// "passed over" or "failed".
std::string_view resultName(PageResult result);

// Why a page was passed over, in the words of its report line.
namespace passed_over {
inline constexpr std::string_view kNotATextFile = "not a text file";
inline constexpr std::string_view kStopped = "stopped by the user";
inline constexpr std::string_view kUnixFileDeclined = "unix/linux file declined";
inline constexpr std::string_view kNoWords = "no keywords meta tag to insert";
inline constexpr std::string_view kOldTagOverLines = "existing meta tag on more than one line";
inline constexpr std::string_view kHeadEndMissing = "</head> is missing";
inline constexpr std::string_view kDeclined = "tag declined in the inspect window";
inline constexpr std::string_view kAnotherName = "another name of a page already treated";
inline constexpr std::string_view kOutsideFolder = "a link that leads out of the folder";
} // namespace passed_over

struct PageRecord
{
    std::string page; // as the run names it: the folder operand joined with the names below it
    PageResult result = PageResult::PassedOver;
    std::string reason; // why a page was passed over (passed_over); empty otherwise
    // The page's keywords tag as the report shows it (the reader's message when it has none) and
    // the tag the run wrote or kept, as Windows-1252 text; none when the run composed no tag.
    std::optional<std::string> oldTag;
    std::optional<std::string> newTag;
};

} // namespace tagwright
