#pragma once

namespace tagwright {

// The values of the batch parameters window as its controls hold them: check box values
// (0 unticked, 1 ticked, 2 greyed), the list position of the day limit (0 = "1 day old") and the
// percent of the site words (0 for the empty box: the rule off).
// Plain data, so that the saved state can carry them without the window.
struct ParameterValues
{
    int htm = 1;
    int html = 1;
    int shtm = 0;
    int shtml = 0;
    int includeAllSubfolders = 0;
    int backup = 0;
    int confirm = 1;
    int logOperations = 1;
    int includeOldMetaTag = 0;
    int includeNewMetaTag = 1;
    int addDone = 1;
    int skipDone = 0;
    int lessThanNDaysOld = 0;
    int dontLogDone = 0;
    int clearReportAtStart = 1;
    int displayWords = 1;
    int dialogBoxForUnixFiles = 1;
    int dialogBoxForInvalidEndFontTag = 0;
    int saveStateOnQuit = 1;
    int saveStateOnClose = 0;
    int siteWords = 0;

    bool operator==(const ParameterValues&) const = default;
};

} // namespace tagwright
