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

LineRead HeadLineScanner::read(std::string& line, std::string& lower)
{
    const LineRead status = source_(line);
    if (status == LineRead::Line) {
        trimSpaces(line);
        lower = lowerCaseAccented(line);
    }
    return status;
}

LineRead HeadLineScanner::next(std::string& line, std::string& lower)
{
    const LineRead status = read(line, lower);
    if (status != LineRead::Line)
        return status;
    if (lower.find("</head>") != std::string::npos)
        return LineRead::End;
    if (lower.find("<!--") == std::string::npos)
        return LineRead::Line;
    while (lower.find("-->") == std::string::npos) {
        const LineRead inComment = read(line, lower);
        if (inComment != LineRead::Line)
            return LineRead::Failed;
    }
    return read(line, lower);
}

} // namespace tagwright
