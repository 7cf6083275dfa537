#include "batch/old_tag_reader.h"

#include "batch/page_io.h"
#include "output/head_lines.h"
#include "support/dates.h"

namespace tagwright {

namespace {

LineSource linesOf(LineReader& reader)
{
    return [&reader](std::string& line) {
        if (reader.readLine(line))
            return LineRead::Line;
        return reader.errorNumber() != 0 ? LineRead::Failed : LineRead::End;
    };
}

} // namespace

OldTagAndDoneDate readOldTagAndDoneDate(const std::string& path, std::int32_t todayJdn, int lessThanDays,
                                        FileSystem& fs)
{
    OldTagAndDoneDate found;
    OpenFile page(fs, fs.openForReading(path));
    if (!page.isOpen()) {
        found.oldTag = "Error when getting old keywords meta tag.";
        return found;
    }
    LineReader reader = pageLineReader(fs, page.fd());
    HeadLineScanner scanner(linesOf(reader));
    bool tagFound = false;
    std::string line;
    std::string lower;
    LineRead status;
    while ((status = scanner.next(line, lower)) == LineRead::Line) {
        const auto meta = lower.find("<meta ");
        if (meta == std::string::npos)
            continue;
        if (lower.find("\"keywords\"", meta) != std::string::npos) {
            found.oldTag = line.substr(meta);
            tagFound = true;
            continue;
        }
        if (lower.find("\"qova done\"", meta) == std::string::npos)
            continue;
        const auto content = lower.find("content=");
        if (content == std::string::npos)
            continue;
        // Just after "content=" and the quote that follows it.
        const std::string dateText = content + 9 <= line.size() ? line.substr(content + 9, 10) : std::string();
        CalendarDate doneOn;
        if (parseDate(dateText, doneOn) != 1)
            continue;
        found.doneDate = dateText;
        if (todayJdn - doneOn.jdn < lessThanDays) {
            found.doneRecently = true;
            break;
        }
    }
    if (status == LineRead::Failed) {
        found.oldTag = "Error when getting old keywords meta tag.";
        found.doneRecently = false;
        return found;
    }
    if (!tagFound)
        found.oldTag = "No keywords meta tag found.";
    return found;
}

OldTagAndDoneDate readOldTagAndDoneDate(const std::string& path, std::int32_t todayJdn, int lessThanDays)
{
    FileSystem fs;
    return readOldTagAndDoneDate(path, todayJdn, lessThanDays, fs);
}

} // namespace tagwright
