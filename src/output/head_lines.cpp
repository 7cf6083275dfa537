#include "output/head_lines.h"

#include "engine/ascii_case.h"
#include "support/strings.h"

#include <algorithm>
#include <memory>

namespace tagwright {

namespace {

constexpr std::string_view kHeadEnd = "</head>";

// Whether the text holds "</head>" in any letter case (lowering leaves no other byte ASCII).
bool holdsHeadEnd(std::string_view text)
{
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1))
        if (text.size() - at >= kHeadEnd.size() &&
            std::equal(kHeadEnd.begin(), kHeadEnd.end(),
                       text.begin() + static_cast<std::ptrdiff_t>(at),
                       [](char head, char c) { return head == asciiLower(c); }))
            return true;
    return false;
}

void trimSpaces(std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    text.erase(text.find_last_not_of(' ') + 1);
    text.erase(0, first);
}

} // namespace

LineSource linesOf(LineReader& reader)
{
    // The line being read, and how far it has been looked through for "</head>".
    struct Reading
    {
        const std::string* line = nullptr;
        std::size_t looked = 0;
    };
    const auto reading = std::make_shared<Reading>();
    reader.setKeepReading([reading] {
        if (reading->line == nullptr)
            return true;
        const std::string_view line = *reading->line;
        const bool headEnded = holdsHeadEnd(line.substr(std::min(reading->looked, line.size())));
        // A "</head>" may begin in the last bytes looked through and end in the next ones.
        reading->looked = line.size() - std::min(line.size(), kHeadEnd.size() - 1);
        return !headEnded;
    });
    return [&reader, reading](std::string& line) {
        reading->line = &line;
        reading->looked = 0;
        if (reader.readLine(line))
            return LineRead::Line;
        return reader.errorNumber() != 0 ? LineRead::Failed : LineRead::End;
    };
}

LineRead HeadLineScanner::next(std::string& line, std::string& live)
{
    if (headEnded_)
        return LineRead::End;
    const LineRead status = source_(line);
    if (status != LineRead::Line)
        return status == LineRead::End && markup_.inComment() ? LineRead::Failed : status;
    trimSpaces(line);
    std::string lower = lowerCaseAccented(line);
    // A minified head ends on the line that holds it all: what stands before "</head>" is head.
    if (const auto headEnd = lower.find("</head>"); headEnd != std::string::npos) {
        headEnded_ = true;
        if (headEnd == 0)
            return LineRead::End;
        line.erase(headEnd);
        lower.erase(headEnd);
    }
    live = markup_.liveBytes(lower);
    return LineRead::Line;
}

} // namespace tagwright
