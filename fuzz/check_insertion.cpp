// Insertion into a real page in a temporary folder, under options drawn from the input. After
// each run the page either carries exactly one new keywords tag in its head and no other live
// one (and one live done marker when one was asked for, none otherwise), with the previous
// bytes in the backup when one was asked for; or, for a refusal, every file is as before.

#include "fuzz_checks.h"
#include "input_bytes.h"
#include "scratch_folder.h"

#include "batch/done_marker.h"
#include "batch/insertion.h"
#include "output/meta_tag_positions.h"
#include "support/cp1252.h"
#include "support/line_reader.h"
#include "support/strings.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>

namespace tagwright::fuzz {

namespace {

namespace fs = std::filesystem;

using FolderContent = std::map<std::string, std::string>;

FolderContent contentOf(const fs::path& folder)
{
    FolderContent content;
    for (const auto& entry : fs::directory_iterator(folder))
        content[entry.path().filename().string()] = readWholeFile(entry.path());
    return content;
}

// The head text without its comments, which hold no live tags; the line breaks inside a
// comment stay, so that the lines are those of the page.
std::string withoutComments(std::string_view text, std::string_view lineEnd)
{
    std::string kept;
    std::size_t at = 0;
    for (auto open = text.find("<!--"); open != std::string_view::npos; open = text.find("<!--", at)) {
        kept += text.substr(at, open - at);
        const auto close = text.find("-->", open + 4);
        const std::string_view comment = text.substr(open, close == std::string_view::npos ? close : close + 3 - open);
        for (auto end = comment.find(lineEnd); end != std::string_view::npos;
             end = comment.find(lineEnd, end + lineEnd.size()))
            kept += lineEnd;
        at = open + comment.size();
    }
    return kept + std::string(text.substr(std::min(at, text.size())));
}

std::vector<std::string> linesOf(const std::string& text, std::string_view lineEnd)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto end = text.find(lineEnd); end != std::string::npos; end = text.find(lineEnd, start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + lineEnd.size();
    }
    return lines;
}

// A page whose head holds a comment left open has no live place for a tag: the new tag may
// then stand inside that comment, but never beside another live keywords tag or marker.
std::string checkRewrittenHead(const std::string& page, const std::string& tagLine, bool withDone,
                               bool lineFeedPage)
{
    const std::string_view lineEnd = lineFeedPage ? "\n" : "\r\n";
    const auto headEnd = lowerCaseAccented(page).find("</head>");
    if (headEnd == std::string::npos)
        return "the rewritten page has no end of head";
    const std::string head = page.substr(0, headEnd);
    const std::vector<std::string> lines = linesOf(head, lineEnd);
    // A copy of the very tag inside a comment of the old head stays where it was.
    if (std::count(lines.begin(), lines.end(), tagLine) < 1)
        return "the head does not hold the new tag";
    const auto lastOpen = head.rfind("<!--");
    const auto lastClose = head.rfind("-->");
    const bool endsInComment =
        lastOpen != std::string::npos && (lastClose == std::string::npos || lastClose < lastOpen + 4);
    int liveNewTags = 0;
    int keywordsTags = 0;
    int markers = 0;
    for (const std::string& line : linesOf(withoutComments(head, lineEnd), lineEnd)) {
        const std::string lower = lowerCaseAccented(line);
        liveNewTags += line == tagLine;
        keywordsTags += findKeywordsMetaTag(lower).start > 0;
        markers += findDoneMetaTag(lower).start > 0;
    }
    if (liveNewTags > 1 || (liveNewTags == 0 && !endsInComment) || keywordsTags != liveNewTags)
        return "the head holds " + std::to_string(keywordsTags) + " live keywords tags";
    if (markers != (withDone ? liveNewTags : 0))
        return "the head holds " + std::to_string(markers) + " live done markers";
    return {};
}

} // namespace

std::string checkInsertion(std::string_view input)
{
    InputBytes bytes(input);
    InsertRequest request;
    request.tag = bytes.flag() ? "<meta name=\"keywords\" content=\"fuzz, tag\">"
                               : "<META NAME=\"Keywords\" CONTENT=\"caf\xE9, \x9Cuvre\" />";
    request.backup = bytes.flag();
    request.utf8 = bytes.flag();
    request.withDone = bytes.flag();
    request.doneDate = "2024-03-05";
    request.logOldTag = bytes.flag();
    request.logNewTag = bytes.flag();
    const bool oldBackupPresent = bytes.flag();
    const mode_t mode = bytes.flag() ? 0600 : 0644;

    const ScratchFolder folder;
    request.path = folder.write("page.htm", bytes.rest());
    ::chmod(request.path.c_str(), mode);
    if (oldBackupPresent)
        folder.write("page.bak.htm", "an older backup");
    const FolderContent before = contentOf(folder.path());

    ReportLog log;
    const InsertOutcome outcome = insertMetaTag(request, &log);
    FolderContent after = contentOf(folder.path());

    if (outcome.result != kInserted) {
        if (outcome.result != kInsertOldTagOverLines && outcome.result != kInsertHeadEndMissing)
            return "unexpected result " + std::to_string(outcome.result);
        if (after != before)
            return "a refused insertion changed the folder";
        if (!log.text().empty())
            return "a refused insertion wrote to the report";
        return {};
    }
    struct stat status {};
    if (::stat(request.path.c_str(), &status) != 0 || (status.st_mode & 07777) != mode)
        return "the page lost its permission bits";
    const std::string page = after["page.htm"];
    after.erase("page.htm");
    FolderContent expectedOthers = before;
    expectedOthers.erase("page.htm");
    if (request.backup)
        expectedOthers["page.bak.htm"] = before.at("page.htm");
    if (after != expectedOthers)
        return "the other files of the folder are not as expected";
    const std::string& old = before.at("page.htm");
    const bool lineFeedPage =
        isLineFeedSample(std::string_view(old).substr(0, kLineEndSampleBytes));
    if (lineFeedPage &&
        std::count(page.begin(), page.end(), '\r') > std::count(old.begin(), old.end(), '\r'))
        return "an LF page gained a CR";
    return checkRewrittenHead(page, request.utf8 ? cp1252ToUtf8(request.tag) : request.tag,
                              request.withDone, lineFeedPage);
}

} // namespace tagwright::fuzz
