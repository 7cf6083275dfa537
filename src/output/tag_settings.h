#pragma once

#include <set>
#include <string>

namespace tagwright {

// The choices of the main window that shape the keywords meta tag.
struct TagSettings
{
    static constexpr int kFewestKeywords = 5;
    static constexpr int kMostKeywords = 100;
    static constexpr int kMostBytes = 1000;

    int maxKeywords = 50;        // 0 or less: no limit
    int maxBytes = 500;          // 0 or less: no limit
    std::string beginWith;       // keywords that always open the tag, separated by commas
    bool spaceAfterComma = true; // a blank follows each separating comma
    bool forwardSlash = false;   // the tag ends in " />" instead of ">"
    // Words, lower case, that never enter the tag, as if the table did not hold them: the site
    // words of a batch run.
    std::set<std::string, std::less<>> leftOut;
};

} // namespace tagwright
