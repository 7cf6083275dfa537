#include "batch/insertion.h"

#include "batch/done_marker.h"
#include "batch/head_rewrite.h"
#include "batch/page_io.h"
#include "batch/safe_replace.h"
#include "output/meta_tag_positions.h"
#include "support/cp1252.h"
#include "support/strings.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace tagwright {

namespace {

// A text that a later run recognises as the page's keywords tag: closed, so that it can be
// replaced again.
bool isKeywordsMetaTag(const std::string& tag)
{
    const std::string lower = lowerCaseAccented(tag);
    const TagSpan found = findKeywordsMetaTag(lower);
    return found.start > 0 && found.end > 0 && lower.find("existing keywords") == std::string::npos;
}

bool hasExtensionDot(const std::string& path)
{
    return !backupFileName(path).empty();
}

} // namespace

InsertRequest InsertRequest::forPage(const PageFile& page, const std::string& shownPath,
                                     const std::string& pageTag, bool utf8Page) const
{
    InsertRequest request = *this;
    request.file = page;
    request.path = shownPath;
    request.tag = pageTag;
    request.utf8 = utf8Page;
    return request;
}

PreparedInsertion prepareInsertion(const InsertRequest& request, FileSystem& fs)
{
    PreparedInsertion prepared;
    prepared.request_ = request;
    const auto settle = [&](InsertOutcome outcome) {
        prepared.settled_ = std::move(outcome);
        return std::move(prepared);
    };
    if (request.path.empty())
        return settle({kInsertPathEmpty, {}, {}});
    if (!isKeywordsMetaTag(request.tag))
        return settle({kInsertNotAKeywordsTag, {}, {}});
    const PageFile target = fileToRewrite(fs, request.file, request.path);
    PageToRewrite opened = openPageToRewrite(fs, target);
    if (opened.refused)
        return settle(std::move(*opened.refused));
    OpenFile page(fs, opened.fd);
    if (!hasExtensionDot(request.path) || !hasExtensionDot(target.name))
        return settle({kInsertNoExtension, {}, {}});

    const std::string tagLine = request.utf8 ? cp1252ToUtf8(request.tag) : request.tag;
    // Report lines wait until the page is replaced: a page left as it was reports no tags.
    std::vector<std::string>& reportLines = prepared.reportLines_;
    HeadEdit edit;
    edit.replaceKeywordsTags = true;
    edit.writeBlock = [&](PageWriter& writer) {
        writer.writeLine(tagLine);
        if (request.logNewTag)
            reportLines.push_back("\r\nNEW: " + request.tag);
    };
    edit.oldTagReplaced = [&](std::string_view oldTag) {
        if (request.logOldTag)
            reportLines.push_back("\r\nOLD: " +
                                  (request.utf8 ? utf8ToCp1252(oldTag) : std::string(oldTag)));
    };

    LineReader reader = pageLineReader(fs, page.fd());
    const std::string backupName = request.backup ? backupFileName(target.name) : std::string();
    prepared.backup_ = backupName.empty() ? std::string() : target.folder->pathOf(backupName);
    ReplaceOptions options;
    options.asRead = fileStamp(fs, page.fd());
    if (!options.asRead)
        return settle({kInsertFailed, {}, Failure::ofErrno()});
    options.flushFolder = request.flushFolder;
    prepared.replacement_ = prepareReplacement(
        fs, target, backupName,
        request.withDone ? markedHeadRewriteOf(reader, edit, request.doneDate)
                         : headRewriteOf(reader, edit),
        options);
    if (!prepared.replacement_.ready())
        return settle(rewriteOutcome(prepared.replacement_.prepared()));
    return prepared;
}

InsertOutcome PreparedInsertion::commit(ReportLog* log)
{
    if (settled_)
        return *settled_;
    InsertOutcome outcome = rewriteOutcome(replacement_.commit());
    if (outcome.result != kInserted)
        return outcome;
    if (log) {
        for (const std::string& line : reportLines_)
            log->output(line);
    }
    outcome.backupFile = backup_;
    return outcome;
}

InsertOutcome insertMetaTag(const InsertRequest& request, ReportLog* log, FileSystem& fs)
{
    return prepareInsertion(request, fs).commit(log);
}

InsertOutcome insertMetaTag(const InsertRequest& request, ReportLog* log)
{
    FileSystem fs;
    return insertMetaTag(request, log, fs);
}

InsertOutcome rewriteOutcome(const ReplaceResult& replaced)
{
    if (!replaced)
        return {kInsertFailed, {}, replaced.failure()};
    if (replaced->abandonedWith != 0)
        return {replaced->abandonedWith, {}, std::nullopt};
    return {kInserted, {}, replaced->folderNotFlushed};
}

PageFile fileToRewrite(FileSystem& fs, const PageFile& given, const std::string& path)
{
    return given.folder ? given : locateFile(fs, path);
}

PageToRewrite openPageToRewrite(FileSystem& fs, const PageFile& file)
{
    const auto refusal = [](int error) {
        if (error == ENOENT || error == ENOTDIR)
            return PageToRewrite{-1, InsertOutcome{kInsertFileNotFound, {}, std::nullopt}};
        // A link where the run found a regular file: another name was put in the page's place.
        if (error == ELOOP)
            return PageToRewrite{-1,
                                 InsertOutcome{kInsertFailed, {}, Failure::refusal(kFileChanged)}};
        return PageToRewrite{-1, InsertOutcome{kInsertFailed, {}, Failure::ofError(error)}};
    };
    if (!file.folder->isOpen())
        return refusal(file.folder->error());
    struct stat status
    {
    };
    if (!fs.nameStatus(*file.folder, file.name, status))
        return refusal(errno);
    if (!S_ISREG(status.st_mode))
        return refusal(S_ISLNK(status.st_mode) ? ELOOP : ENOENT);
    const int fd = fs.openForReading(*file.folder, file.name);
    if (fd < 0)
        return refusal(errno);
    return {fd, std::nullopt};
}

InsertResultMessage insertResultMessage(int result, const std::string& successTitle)
{
    switch (result) {
    case kInserted:
        return {successTitle, "Meta tag inserted successfully into document."};
    case kInsertPathEmpty:
        return {"Error", "Input file not specified."};
    case kInsertNotAKeywordsTag:
        return {"Error", "No keywords meta tag to insert."};
    case kInsertFileNotFound:
        return {"File not found", "Input file not found."};
    case kInsertOldTagOverLines:
        return {"Not inserted",
                "Keywords meta tag NOT inserted because existing\r\n meta tag extends over more "
                "than one line.\r\nSuggestion: Delete existing keywords meta tag."};
    case kInsertHeadEndMissing:
        return {"Not inserted", "Keywords meta tag NOT inserted because </head> is missing."};
    case kInsertNoExtension:
        return {"Not inserted",
                "Keywords meta tag NOT inserted because the file name has no extension."};
    default:
        return {"Error", "An unknown error has occurred."};
    }
}

} // namespace tagwright
