#pragma once

// The walk of a batch run over a folder and, when asked, its subfolders: for every page with a
// ticked extension it reads the old tag and done marker, possibly skips the page as done
// recently, analyses it, composes the new tag, possibly lets the user inspect it, inserts it and
// logs every step in the report.

#include "batch/analysis_ahead.h"
#include "batch/batch_host.h"
#include "batch/batch_settings.h"
#include "batch/file_system.h"
#include "batch/folder_lock.h"
#include "batch/folders_ahead.h"
#include "batch/insertion.h"
#include "batch/old_tag_reader.h"
#include "batch/page_register.h"
#include "batch/report_log.h"
#include "batch/run_lock.h"
#include "batch/site_words.h"
#include "engine/analysis_host.h"
#include "engine/analysis_settings.h"
#include "engine/common_words.h"
#include "engine/word_table.h"
#include "output/tag_settings.h"
#include "support/folder_listing.h"
#include "support/program_text.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tagwright {

// Everything a run reads, fixed when it starts.
struct BatchJob
{
    std::string folder;
    BatchSettings settings;
    AnalysisSettings analysis;
    TagSettings tag;
    const CommonWords& commonWords;
    const ProgramTextStore& texts;
    std::int32_t todayJdn = 0;
    // Threads that analyse the next pages while the run treats one; 1: the sequential run, in
    // which the analysis talks to the host as it goes (Stop, words as found, the word count),
    // where with more the host hears it all at the page's turn.
    unsigned jobs = 1;
    // The run's lock on its folder, which the caller holds for the whole run; none: each
    // folder's own lock alone.
    const RunLock* runLock = nullptr;
};

// The most jobs a run takes: beyond them a run gains nothing but threads and pages held ahead.
inline constexpr unsigned kMostJobs = 64;

// The jobs of a run by default: one a core, at most kMostJobs.
unsigned defaultJobs();

// A page that could not be written: a write or read failure, or a refusal to replace it; cause
// is the system's description of the failure or the refusal's reason.
struct PageFailure
{
    std::string path;
    std::string cause;
};

// The state of one run; the counters are 32-bit, so no tree is too large for them.
struct BatchCounts
{
    std::int32_t filesExamined = 0;
    std::int32_t filesInserted = 0;
    std::int32_t foldersWalked = 1;
    std::string insertedFiles; // each path followed by CR LF, in the order of insertion
    bool stopRun = false;
    std::vector<PageFailure> failures; // every page that could not be written, in walk order
    std::optional<SiteWords> siteWords; // found before the pages, when the run asked for them
};

// How the report tells that the user ended the run.
inline constexpr std::string_view kStoppedAtUsersRequest = "Operation stopped at user's request.";

// The settings of the analysis of a run's pages.
AnalysisSettings analysisOfRun(const BatchJob& job);
// A page's old tag and done marker as the run reads them; safe on worker threads.
OldTagAndDoneDate headOfPage(const BatchJob& job, const PageFile& page, FileSystem& fs);
// A page done recently is passed over when the run skips such pages.
bool passesOverAsDone(const BatchSettings& settings, const OldTagAndDoneDate& head);
// What the workers that analyse ahead know of the pages the run passes over: another name of a
// page met before, a link out of the tree (by their own register, made when the walk starts and
// fed in the walk's order), and, when the run skips them, pages done recently.
PassingOver passingOverAhead(const BatchJob& job, std::optional<PageRegister>& pagesAhead,
                             FileSystem& fs);

class FolderRun
{
  public:
    // The site words, when the run found any, are left out of every tag.
    FolderRun(const BatchJob& job, BatchHost& host, AnalysisHost& analysisHost, ReportLog& log,
              FileSystem& fs, const SiteWords& siteWords = {});

    // Treats the pages of folder and, with includeAllSubfolders, its subfolders depth first.
    void processFolder(const std::string& folder);

    // Whether the folder itself holds a file with a ticked extension (backups count).
    bool folderHasTargetFiles(const FolderListing& listing) const;
    // "Folder: " + path, after a line break unless the report is empty.
    void logFolderLine(const std::string& folder);
    // The progress label's text; empty while nothing was inserted.
    std::string insertedCountText() const;

    const BatchCounts& counts() const { return counts_; }

  private:
    // A folder a run writes in: held under its lock from the first write there until the
    // pages of the walked folder are done, cleaned of leftover temporary files before that
    // write, and forced to the disk once after its last rename.
    struct WritingFolder
    {
        std::shared_ptr<const Folder> folder;
        std::unique_ptr<FolderLock> lock;
        bool cleaned = false; // leftovers removed, or not this run's to remove
        bool written = false;
    };

    // The pages of one walked folder, and a line for each other name with a ticked extension.
    void processListing(const FolderPages& walked);
    // The pages of one folder, written under the folder's lock.
    void processPages(const FolderPages& walked);
    // A name with a ticked extension that is no page: passed over, or a failure when what it is
    // cannot be learned.
    void reportLeftOut(const Folder& folder, const NameLeftOut& name);
    // Removes the files of the pages written ahead, the current one's among them, and stops
    // the workers' writing.
    void dropPagesWrittenAhead();
    // The same for the pages of the walk before `index` only: those of a folder that is done.
    void dropPagesBefore(std::size_t index);
    // The page at `index` of the walk's pages.
    void processFile(const std::shared_ptr<const Folder>& folder, const std::string& name,
                     std::size_t index);
    // The analysis of the current file into table_: done here, or taken from the workers, with
    // the question and the report change it met made here in the walk's order.
    AnalysisOutcome analyseCurrentFile(AnalysisHost& statusHost, std::size_t index);
    // Before a write in the folder of file: takes the folder's lock unless the run holds it
    // and, before the first write there, removes the temporary files that runs which ended
    // abruptly left. The reason when another run holds the lock.
    std::optional<std::string> prepareToWrite(const PageFile& file);
    WritingFolder* writingFolder(const Folder& folder);
    void pageWritten(const PageFile& file);
    // Forces the folders written into to the disk, once each, after their renames.
    void flushWrittenFolders();
    // False, with a report line, for a name that leads to a page this run must leave alone;
    // otherwise the file the run reads and rewrites becomes the current page.
    bool admitPage(const PageFile& named);
    // Stop was pressed: "Go on to the next file?"; false for No.
    bool goesOnAfterStop();
    // After the analysis of the current file; false when the run or the file ends there.
    bool logAnalysisOutcome(std::int16_t result, std::uint8_t offendingByte, std::int32_t position);
    // False when the user declined the tag and ended the run.
    bool composeAndInsert(const OldTagAndDoneDate& old);
    // The current page's old tag and done marker: as a worker read them, when the page is
    // still as it found it, or read here.
    OldTagAndDoneDate currentHead(std::size_t index) const;
    // The old tag as the report and the inspect window show it: Windows-1252 text.
    static std::string oldTagAsShown(const std::string& oldTag, bool utf8);
    // A new tag that only differs in letter case from the page's tag is not written; a head with
    // several tags is rewritten even so, to hold one.
    static bool keepsItsTag(const std::string& tag, const OldTagAndDoneDate& old, bool utf8);
    // Writes the tag, unless it is the one the page carries; then a marker whose fingerprint no
    // longer matches the page's text is renewed, so that the page reads as tagged as it is now.
    void insert(const std::string& tag, bool withDone, const OldTagAndDoneDate& old, bool utf8);
    // The page's insertion: committed as written ahead, or made here.
    InsertOutcome writePage(const InsertRequest& request);
    // The done marker alone, for a page whose new tag was declined. False when the page could
    // not be written (reported and recorded as a failure).
    bool insertDoneMarkerOnly();
    void recordFailure(std::string cause);
    // Tells the host how the run finished with the current page; reason: why it was passed over,
    // unless the record says so already.
    void finishPage(PageResult result, std::string_view reason = {});
    // A write that failed: the system's description, or the result's message when there is none.
    void recordFailure(const InsertOutcome& outcome);
    void logStopped();
    void removeStatusText();

    const BatchJob& job_;
    BatchHost& host_;
    AnalysisHost& analysisHost_;
    ReportLog& log_;
    FileSystem& fs_;
    AnalysisSettings analysis_; // the job's, for a multiple-files run
    TagSettings tag_;           // the job's, with the site words left out
    std::string doneDate_;
    WordTable table_;
    BatchCounts counts_;
    std::optional<PageRegister> pages_;
    // The workers' own account of the pages met, in the walk's order, for their guesses.
    std::optional<PageRegister> pagesAhead_;
    std::vector<WritingFolder> writing_;
    std::string currentFile_; // the page as the walk names it
    PageFile currentPage_;    // the file that it leads to, which the run reads and rewrites
    PageRecord record_;       // what the run tells of the current page when it is done with it
    std::unique_ptr<AnalysisAhead> ahead_;               // with more than one job
    std::optional<PreparedInsertion> preparedInsertion_; // the current page's, written ahead
    // What the worker whose analysis the current page took composed and found to write it.
    struct FoundAhead
    {
        std::optional<std::string> boxText;
        std::optional<bool> utf8;
    } foundAhead_;
};

// A name as the report shows it: the report is Windows-1252 and the file system's names UTF-8,
// so characters outside Windows-1252 show as "?"; a name with a control character or bytes that
// are not UTF-8 is quoted as a shell reads it back, so that it neither breaks the report's lines
// nor acts on a terminal that shows them.
std::string reportName(const std::string& name);

} // namespace tagwright
