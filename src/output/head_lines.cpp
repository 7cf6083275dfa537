#include "output/head_lines.h"

#include "support/strings.h"

namespace tagwright {

namespace {

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
    return [&reader](std::string& line) {
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
