#include "cli/unified_diff.h"

#include "support/quoted_name.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace tagwright::cli {

namespace {

constexpr std::size_t kContext = 3;
// Above this many cells the changed middle is shown as removed and added whole: still a
// correct diff, only a longer one.
constexpr std::size_t kMaxTableCells = 4'000'000;

using Lines = std::vector<std::string_view>;

Lines splitLines(std::string_view content)
{
    Lines lines;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        const std::size_t length = end == std::string_view::npos ? content.size() : end + 1;
        lines.push_back(content.substr(0, length));
        content.remove_prefix(length);
    }
    return lines;
}

enum class Op { Keep, Remove, Add };

struct Edit
{
    Op op;
    std::string_view line;
};

// The edits that turn old[from, oldEnd) into new[from, newEnd), by the longest common
// subsequence of the two ranges.
void middleEdits(const Lines& oldLines, const Lines& newLines, std::size_t from, std::size_t oldEnd,
                 std::size_t newEnd, std::vector<Edit>& edits)
{
    const std::size_t rows = oldEnd - from;
    const std::size_t columns = newEnd - from;
    if (rows * columns > kMaxTableCells) {
        for (std::size_t i = from; i < oldEnd; ++i)
            edits.push_back({Op::Remove, oldLines[i]});
        for (std::size_t j = from; j < newEnd; ++j)
            edits.push_back({Op::Add, newLines[j]});
        return;
    }
    // common[i][j]: the longest common subsequence of the old lines from i and the new from j.
    std::vector<std::vector<std::uint32_t>> common(rows + 1,
                                                   std::vector<std::uint32_t>(columns + 1, 0));
    for (std::size_t i = rows; i-- > 0;)
        for (std::size_t j = columns; j-- > 0;)
            common[i][j] = oldLines[from + i] == newLines[from + j]
                               ? common[i + 1][j + 1] + 1
                               : std::max(common[i + 1][j], common[i][j + 1]);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < rows || j < columns) {
        if (i < rows && j < columns && oldLines[from + i] == newLines[from + j]) {
            edits.push_back({Op::Keep, oldLines[from + i++]});
            ++j;
        } else if (i < rows && (j == columns || common[i + 1][j] >= common[i][j + 1])) {
            edits.push_back({Op::Remove, oldLines[from + i++]});
        } else {
            edits.push_back({Op::Add, newLines[from + j++]});
        }
    }
}

std::vector<Edit> editsBetween(const Lines& oldLines, const Lines& newLines)
{
    std::size_t prefix = 0;
    while (prefix < oldLines.size() && prefix < newLines.size() &&
           oldLines[prefix] == newLines[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < oldLines.size() - prefix && suffix < newLines.size() - prefix &&
           oldLines[oldLines.size() - 1 - suffix] == newLines[newLines.size() - 1 - suffix])
        ++suffix;

    std::vector<Edit> edits;
    for (std::size_t i = 0; i < prefix; ++i)
        edits.push_back({Op::Keep, oldLines[i]});
    middleEdits(oldLines, newLines, prefix, oldLines.size() - suffix, newLines.size() - suffix,
                edits);
    for (std::size_t i = oldLines.size() - suffix; i < oldLines.size(); ++i)
        edits.push_back({Op::Keep, oldLines[i]});
    return edits;
}

// "start,count" of a hunk side; an empty side names the line before it.
std::string range(std::size_t before, std::size_t count)
{
    return std::to_string(count == 0 ? before : before + 1) + "," + std::to_string(count);
}

void appendLine(std::string& diff, char mark, std::string_view line)
{
    diff += mark;
    diff.append(line);
    if (!line.ends_with('\n'))
        diff += "\n\\ No newline at end of file\n";
}

void appendHunk(std::string& diff, const std::vector<Edit>& edits, std::size_t begin,
                std::size_t end)
{
    std::size_t oldBefore = 0;
    std::size_t newBefore = 0;
    for (std::size_t k = 0; k < begin; ++k) {
        oldBefore += edits[k].op != Op::Add;
        newBefore += edits[k].op != Op::Remove;
    }
    std::size_t oldCount = 0;
    std::size_t newCount = 0;
    for (std::size_t k = begin; k < end; ++k) {
        oldCount += edits[k].op != Op::Add;
        newCount += edits[k].op != Op::Remove;
    }
    diff += "@@ -" + range(oldBefore, oldCount) + " +" + range(newBefore, newCount) + " @@\n";
    for (std::size_t k = begin; k < end; ++k)
        appendLine(diff,
                   edits[k].op == Op::Keep     ? ' '
                   : edits[k].op == Op::Remove ? '-'
                                               : '+',
                   edits[k].line);
}

// "2024-03-05 14:07:31.123456789 +0100", local time, as GNU diff writes a file's time.
std::string headerTime(const timespec& time)
{
    std::tm local{};
    if (::localtime_r(&time.tv_sec, &local) == nullptr)
        return {};
    char seconds[32];
    char zone[8];
    std::strftime(seconds, sizeof seconds, "%Y-%m-%d %H:%M:%S", &local);
    std::strftime(zone, sizeof zone, "%z", &local);
    char text[64];
    std::snprintf(text, sizeof text, "%s.%09ld %s", seconds, time.tv_nsec, zone);
    return text;
}

std::string headerLine(std::string_view mark, const std::string& name, const timespec& time)
{
    return std::string(mark) + " " + diffQuotedName(name) + "\t" + headerTime(time) + "\n";
}

} // namespace

std::string unifiedDiff(std::string_view oldContent, std::string_view newContent,
                        const std::string& path, const timespec& oldTime, const timespec& newTime)
{
    if (oldContent == newContent)
        return {};
    const std::vector<Edit> edits = editsBetween(splitLines(oldContent), splitLines(newContent));
    std::string diff =
        headerLine("---", "a/" + path, oldTime) + headerLine("+++", "b/" + path, newTime);
    std::size_t k = 0;
    while (k < edits.size()) {
        while (k < edits.size() && edits[k].op == Op::Keep)
            ++k;
        if (k == edits.size())
            break;
        // A hunk runs on while the unchanged stretches between changes are short enough for
        // their context to meet.
        const std::size_t begin = k >= kContext ? k - kContext : 0;
        std::size_t lastChange = k;
        for (std::size_t next = k; next < edits.size(); ++next) {
            if (edits[next].op == Op::Keep)
                continue;
            if (next - lastChange > 2 * kContext + 1)
                break;
            lastChange = next;
        }
        const std::size_t end = std::min(edits.size(), lastChange + 1 + kContext);
        appendHunk(diff, edits, begin, end);
        k = end;
    }
    return diff;
}

} // namespace tagwright::cli
