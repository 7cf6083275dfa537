#pragma once

// The options of the batch parameters window that a run reads, copied when the run starts so
// that the run never sees a half-made change. Defaults are the window's start values.

#include <set>
#include <string>

namespace tagwright {

struct BatchSettings {
    // Extensions acted on: htm, html, shtm, shtml.
    bool htm = true;
    bool html = true;
    bool shtm = false;
    bool shtml = false;
    bool includeAllSubfolders = false;
    bool backup = false;
    // Show the inspect window before each insertion.
    bool confirm = true;
    bool logOperations = true;
    bool includeOldMetaTag = false;
    bool includeNewMetaTag = true;
    // A done marker with today's date goes with each insertion.
    bool addDone = true;
    bool skipDone = false;
    // Position in the day list: 0 is "1 day old", 6 is "7 days old".
    int lessThanNDaysOld = 0;
    bool dontLogDone = false;
    bool clearReportAtStart = true;
    // Words among the keywords of more than this share of the run's pages, in percent, are left
    // out of every tag of the run; 0: the rule is off.
    int siteWords = 0;

    // Whether a file of that name is a page of the run: a ticked extension, and no backup.
    bool takesFile(const std::string& name) const;
    // Whether the name ends in a ticked extension (a backup's does too).
    bool hasTickedExtension(const std::string& name) const;
};

// The extensions that a run takes pages of, lower case, without the dot.
std::set<std::string> tickedExtensions(const BatchSettings& settings);

} // namespace tagwright
