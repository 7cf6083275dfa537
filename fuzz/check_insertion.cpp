// Insertion into a real page in a temporary folder, under options drawn from the input, checked
// against a plain model of what the rewrite must do. From the first "</head>" on, the page is
// byte for byte what it was. Before it, with blanks and line ends taken out, it differs from the
// old head only by the live keywords tags and done markers that went and the one new tag (and
// marker) in place of the first keywords tag, or before "</head>" when there was none; every
// line of the old head that held none of them is a line of the new head as it was, empty ones
// included, in the same order. An LF page gains no CR. The result code is the model's; a refusal leaves every file as it was; a
// backup holds the previous bytes.

#include "fuzz_checks.h"
#include "input_bytes.h"
#include "scratch_folder.h"

#include "batch/done_marker.h"
#include "batch/insertion.h"
#include "batch/text_fingerprint.h"
#include "output/meta_tag_positions.h"
#include "support/cp1252.h"
#include "support/strings.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <vector>

namespace tagwright::fuzz {

namespace {

namespace fs = std::filesystem;

using FolderContent = std::map<std::string, std::string>;

constexpr auto npos = std::string_view::npos;
constexpr std::size_t kSampleBytes = 16384;

FolderContent contentOf(const fs::path& folder)
{
    FolderContent content;
    for (const auto& entry : fs::directory_iterator(folder))
        content[entry.path().filename().string()] = readWholeFile(entry.path());
    return content;
}

// An LF page: its first 16,384 bytes hold an LF and no CR.
bool isLineFeedPage(std::string_view page)
{
    const std::string_view sample = page.substr(0, kSampleBytes);
    return sample.find('\n') != npos && sample.find('\r') == npos;
}

// The lines of a page as [start, end) without their line ends: at LF in an LF page, else at CR
// or CR LF.
std::vector<std::pair<std::size_t, std::size_t>> linesOf(std::string_view page, bool lineFeed)
{
    std::vector<std::pair<std::size_t, std::size_t>> lines;
    std::size_t start = 0;
    while (start < page.size()) {
        const std::size_t end = std::min(page.find(lineFeed ? '\n' : '\r', start), page.size());
        lines.emplace_back(start, end);
        start = end + 1;
        if (!lineFeed && end < page.size() && start < page.size() && page[start] == '\n')
            ++start;
    }
    return lines;
}

// Byte by byte: which bytes of a line are hidden in a comment (with its delimiters) or a script
// or style element (from its start tag up to its end tag), the state carried from line to line.
class HiddenBytes {
public:
    std::vector<bool> of(std::string_view lower)
    {
        std::vector<bool> hidden(lower.size(), false);
        for (std::size_t i = 0; i < lower.size();) {
            const std::string_view rest = lower.substr(i);
            switch (in_) {
            case In::Markup:
                if (rest.starts_with("<!--")) {
                    in_ = In::Comment;
                    std::fill_n(hidden.begin() + static_cast<std::ptrdiff_t>(i), 4, true);
                    i += 4;
                } else if (startsElement(rest, "<script")) {
                    in_ = In::Script;
                } else if (startsElement(rest, "<style")) {
                    in_ = In::Style;
                } else {
                    ++i;
                }
                break;
            case In::Comment:
                if (rest.starts_with("-->")) {
                    std::fill_n(hidden.begin() + static_cast<std::ptrdiff_t>(i), 3, true);
                    i += 3;
                    in_ = In::Markup;
                    break;
                }
                hidden[i++] = true;
                break;
            case In::Script:
            case In::Style:
                if (rest.starts_with(in_ == In::Script ? "</script" : "</style")) {
                    i += in_ == In::Script ? 8 : 7;
                    in_ = In::Markup;
                    break;
                }
                hidden[i++] = true;
                break;
            }
        }
        return hidden;
    }

private:
    enum class In { Markup, Comment, Script, Style };

    static bool startsElement(std::string_view text, std::string_view name)
    {
        return text.starts_with(name) &&
               (text.size() == name.size() || std::string_view(" \t\r\n\f/>").find(text[name.size()]) != npos);
    }

    In in_ = In::Markup;
};

struct Removal {
    std::size_t from = 0; // in the page
    std::size_t to = 0;
    bool keywordsTag = false;
};

struct ExpectedRewrite {
    int result = kInserted;
    std::size_t headEnd = 0; // where "</head>" begins in the old page
    std::vector<Removal> removals;
};

// What the rewrite must take out of the head, line by line: each live keywords tag and done
// marker, the earlier first when both are on a line; a marker without ">" goes up to the next
// hidden byte of the head part of its line.
ExpectedRewrite expectedRewrite(std::string_view page, bool lineFeed)
{
    ExpectedRewrite expected;
    const std::string lowerPage = lowerCaseAccented(page);
    HiddenBytes hiddenBytes;
    for (const auto& [start, end] : linesOf(page, lineFeed)) {
        const std::string_view lower = std::string_view(lowerPage).substr(start, end - start);
        const std::vector<bool> hidden = hiddenBytes.of(lower);
        std::string live(lower);
        for (std::size_t i = 0; i < live.size(); ++i)
            if (hidden[i])
                live[i] = '\0';
        const std::size_t headPart = std::min(lower.find("</head>"), lower.size());
        for (std::size_t at = 0;;) {
            const std::string_view rest = std::string_view(live).substr(at, headPart - at);
            const TagSpan tag = findKeywordsMetaTag(rest);
            const TagSpan marker = findDoneMetaTag(rest);
            const bool isTag = tag.start > 0 && (marker.start == 0 || tag.start <= marker.start);
            const TagSpan found = isTag ? tag : marker;
            if (found.start == 0)
                break;
            if (isTag && tag.end == 0) {
                expected.result = kInsertOldTagOverLines;
                return expected;
            }
            std::size_t to = at + found.end;
            if (found.end == 0) {
                to = at + found.start - 1;
                while (to < headPart && !hidden[to])
                    ++to;
            }
            expected.removals.push_back({start + at + found.start - 1, start + to, isTag});
            at = to;
        }
        if (headPart < lower.size()) {
            expected.headEnd = start + headPart;
            return expected;
        }
    }
    expected.result = kInsertHeadEndMissing;
    return expected;
}

std::string withoutBlanksAndLineEnds(std::string_view text)
{
    std::string kept;
    for (const char c : text)
        if (c != ' ' && c != '\r' && c != '\n')
            kept += c;
    return kept;
}

// The old head as the new one must read, blanks and line ends taken out.
std::string expectedHead(std::string_view page, const ExpectedRewrite& expected, std::string_view block)
{
    std::string head;
    bool blockWritten = false;
    std::size_t at = 0;
    for (const Removal& removal : expected.removals) {
        head += page.substr(at, removal.from - at);
        if (removal.keywordsTag && !blockWritten)
            head += block;
        blockWritten = blockWritten || removal.keywordsTag;
        at = removal.to;
    }
    head += page.substr(at, expected.headEnd - at);
    if (!blockWritten)
        head += block;
    return withoutBlanksAndLineEnds(head);
}

// Whether the lines of the old head before the line of "</head>" that hold no removal are, in
// order, among the lines of the new head.
bool keepsUntouchedLines(std::string_view old, std::string_view newHead, const ExpectedRewrite& expected)
{
    const bool lineFeed = isLineFeedPage(old);
    const auto newLines = linesOf(newHead, lineFeed);
    std::size_t next = 0;
    for (const auto& [start, end] : linesOf(old, lineFeed)) {
        if (end >= expected.headEnd)
            break;
        if (std::any_of(expected.removals.begin(), expected.removals.end(),
                        [start = start, end = end](const Removal& r) { return r.from < end && r.to > start; }))
            continue;
        const std::string_view line = old.substr(start, end - start);
        while (next < newLines.size() &&
               newHead.substr(newLines[next].first, newLines[next].second - newLines[next].first) != line)
            ++next;
        if (next == newLines.size())
            return false;
        ++next;
    }
    return true;
}

std::string checkRewrittenPage(std::string_view old, std::string_view now, const ExpectedRewrite& expected,
                               std::string_view block)
{
    const std::size_t headEnd = lowerCaseAccented(now).find("</head>");
    if (headEnd == npos)
        return "the rewritten page has no end of head";
    if (!keepsUntouchedLines(old, now.substr(0, headEnd), expected))
        return "a line of the head that held no keywords tag or done marker was changed or dropped";
    if (now.substr(headEnd) != old.substr(expected.headEnd))
        return "the page from its end of head on is not as it was";
    if (withoutBlanksAndLineEnds(now.substr(0, headEnd)) != expectedHead(old, expected, block))
        return "the head differs by more than its keywords tags and done markers";
    if (isLineFeedPage(old) && std::count(now.begin(), now.end(), '\r') > std::count(old.begin(), old.end(), '\r'))
        return "an LF page gained a CR";
    return {};
}

std::size_t occurrences(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != npos; at = text.find(part, at + 1))
        ++count;
    return count;
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
    const std::string& old = before.at("page.htm");
    const ExpectedRewrite expected = expectedRewrite(old, isLineFeedPage(old));

    ReportLog log;
    const InsertOutcome outcome = insertMetaTag(request, &log);
    FolderContent after = contentOf(folder.path());

    if (outcome.result != expected.result)
        return "result " + std::to_string(outcome.result) + " where " + std::to_string(expected.result) +
               " was due";
    if (outcome.result != kInserted) {
        if (after != before)
            return "a refused insertion changed the folder";
        if (!log.text().empty())
            return "a refused insertion wrote to the report";
        return {};
    }
    struct stat status {};
    if (::stat(request.path.c_str(), &status) != 0 || (status.st_mode & 07777) != mode)
        return "the page lost its permission bits";
    const std::string now = after["page.htm"];
    after.erase("page.htm");
    FolderContent expectedOthers = before;
    expectedOthers.erase("page.htm");
    if (request.backup)
        expectedOthers["page.bak.htm"] = old;
    if (after != expectedOthers)
        return "the other files of the folder are not as expected";
    const auto replacedTags = static_cast<std::size_t>(
        std::count_if(expected.removals.begin(), expected.removals.end(), [](const Removal& r) { return r.keywordsTag; }));
    if (occurrences(log.text(), "\r\nOLD: ") != (request.logOldTag ? replacedTags : 0))
        return "the report does not name each replaced tag once";
    const std::string tagLine = request.utf8 ? cp1252ToUtf8(request.tag) : request.tag;
    // The marker's fingerprint is the one of the page's text before the rewrite. (It is also
    // the one of the new page, unless the head ends inside a comment, where the new tag and
    // marker are no live markup: check finds the tag missing there.)
    FileSystem fs;
    const ScratchFolder previous;
    const std::string marker = doneMetaTagLine(
        request.doneDate, textFingerprint(fs, previous.write("page.htm", old)).value_or(""));
    return checkRewrittenPage(old, now, expected, tagLine + (request.withDone ? marker : ""));
}

} // namespace tagwright::fuzz
