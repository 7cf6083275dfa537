#pragma once

// Writing a keywords meta tag into a page's head, optionally with a backup of the previous
// page and a done marker after the tag.

#include "batch/file_system.h"
#include "batch/report_log.h"
#include "batch/safe_replace.h"

#include <optional>
#include <string>
#include <vector>

namespace tagwright {

// Results of insertMetaTag.
enum InsertResult : int {
    kInserted = 0,
    kInsertPathEmpty = -1,
    kInsertNotAKeywordsTag = -2,
    kInsertFileNotFound = -3,
    kInsertOldTagOverLines = -4,
    kInsertHeadEndMissing = -5,
    kInsertNoExtension = -6, // the file name has no dot, so it has no backup name
    kInsertFailed = -7,
};

struct InsertRequest
{
    std::string tag; // the complete tag, Windows-1252
    std::string path; // as the user knows the page
    // The file to rewrite, as a batch run reached it; without one, the file path leads to.
    PageFile file;
    bool backup = false;
    bool utf8 = false;       // the page is UTF-8: the tag and marker are written UTF-8-encoded
    bool withDone = false;   // a done marker follows the new tag
    std::string doneDate;    // the marker's date text, year-month-day
    bool logOldTag = false;  // "OLD: " lines in the report
    bool logNewTag = false;  // "NEW: " lines in the report
    bool flushFolder = true; // false when the caller forces the folder to the disk itself

    // This request for one page: the file to rewrite, the path the user knows it by, its tag and
    // whether it is UTF-8.
    InsertRequest forPage(const PageFile& page, const std::string& shownPath,
                          const std::string& pageTag, bool utf8Page) const;

    bool operator==(const InsertRequest&) const = default;
};

// The text's numeric result, which the windows and the report tell, with its cause.
struct InsertOutcome
{
    int result = kInserted;
    std::string backupFile; // where the previous content went, when a backup was made
    // With kInsertFailed: the failure, or why the page was not replaced; with kInserted: that the
    // page's folder could not be forced to the disk (kFolderNotFlushed).
    std::optional<Failure> cause;

    // The cause's description; empty when there is none.
    std::string causeText() const { return cause ? cause->text : std::string(); }
};

// Rewrites the page so that its head carries the new tag in place of every keywords meta tag,
// or before "</head>" when it has none; old done markers in the head go. The page is replaced
// in one step and only when the head was rewritten; on any refusal or failure it keeps its
// previous bytes under its own name. A page that is a symbolic link is rewritten at its target.
InsertOutcome insertMetaTag(const InsertRequest& request, ReportLog* log, FileSystem& fs);

// insertMetaTag in two steps: the new page is written and forced to the disk by prepareInsertion
// (a batch run may do that ahead, on a worker), and takes the page's name at commit, which also
// writes the report lines. Dropped uncommitted, it removes its temporary file.
class PreparedInsertion
{
  public:
    const InsertRequest& request() const { return request_; }
    // Whether the new page is written and waits for its commit (not refused, nor failed).
    bool ready() const { return !settled_; }
    // Once: the outcome insertMetaTag would give.
    InsertOutcome commit(ReportLog* log);

  private:
    friend PreparedInsertion prepareInsertion(const InsertRequest& request, FileSystem& fs);

    InsertRequest request_;
    std::optional<InsertOutcome> settled_; // the outcome, when known before the commit
    std::vector<std::string> reportLines_;
    std::string backup_;
    PreparedReplacement replacement_;
};

PreparedInsertion prepareInsertion(const InsertRequest& request, FileSystem& fs);
InsertOutcome insertMetaTag(const InsertRequest& request, ReportLog* log);

// The title and text with which the desktop program and the command line tell the user.
struct InsertResultMessage
{
    std::string title;
    std::string text;
};
InsertResultMessage insertResultMessage(int result, const std::string& successTitle);

// What a rewrite of a page came to, by the replace's result.
InsertOutcome rewriteOutcome(const ReplaceResult& replaced);

// The file a rewrite replaces: the one given, or the one path leads to.
PageFile fileToRewrite(FileSystem& fs, const PageFile& given, const std::string& path);
// The page a rewrite reads, open; or why it cannot be rewritten: not there or no regular file
// (kInsertFileNotFound), a link put in its place (kFileChanged), or not to be looked at.
struct PageToRewrite
{
    int fd = -1;
    std::optional<InsertOutcome> refused;
};
PageToRewrite openPageToRewrite(FileSystem& fs, const PageFile& file);

} // namespace tagwright
