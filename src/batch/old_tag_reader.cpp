#include "batch/old_tag_reader.h"

#include "batch/done_marker.h"
#include "batch/page_io.h"
#include "output/head_lines.h"
#include "output/meta_tag_positions.h"
#include "support/dates.h"

namespace tagwright {

namespace {

// One past the tag's ">", or the end of the line when it does not close there (0-based).
std::size_t tagEndOnLine(const std::string& line, TagSpan tag)
{
    return tag.end == 0 ? line.size() : tag.end;
}

// The tag with its letters as they stand on the line.
std::string tagText(const std::string& line, TagSpan tag)
{
    return line.substr(tag.start - 1, tagEndOnLine(line, tag) - (tag.start - 1));
}

} // namespace

OldTagAndDoneDate readOldTagAndDoneDate(const PageFile& file, std::int32_t todayJdn,
                                        int lessThanDays, FileSystem& fs)
{
    OldTagAndDoneDate found;
    OpenFile page(fs, fs.openForReading(*file.folder, file.name));
    if (!page.isOpen()) {
        found.oldTag = "Error when getting old keywords meta tag.";
        return found;
    }
    LineReader reader = pageLineReader(fs, page.fd());
    HeadLineScanner scanner(linesOf(reader));
    bool tagFound = false;
    std::string line;
    std::string live;
    LineRead status;
    while ((status = scanner.next(line, live)) == LineRead::Line) {
        // A minified head holds the keywords tag and the marker on one line: both are read.
        for (std::size_t from = 0; from < live.size();) {
            const TagSpan keywords = findKeywordsMetaTag(std::string_view(live).substr(from));
            if (keywords.start == 0)
                break;
            ++found.keywordsTags;
            if (!found.doneRecently && from == 0) {
                found.oldTag = tagText(line, keywords);
                tagFound = true;
            }
            from = keywords.end == 0 ? live.size() : from + keywords.end;
        }
        // Once the page counts as done recently, the rest of its head is read for its tags alone.
        const TagSpan marker = found.doneRecently ? TagSpan{} : findDoneMetaTag(live);
        if (marker.start == 0)
            continue;
        const std::string_view markerText =
            std::string_view(live).substr(0, tagEndOnLine(live, marker));
        if (found.fingerprint.empty())
            found.fingerprint = markerFingerprint(markerText.substr(marker.start - 1));
        const auto content = markerText.find("content=", marker.start - 1);
        if (content == std::string::npos)
            continue;
        // Just after "content=" and the quote that follows it.
        const std::string dateText = content + 9 <= line.size() ? line.substr(content + 9, 10) : std::string();
        CalendarDate doneOn;
        if (parseDate(dateText, doneOn) != 1)
            continue;
        found.doneDate = dateText;
        if (todayJdn - doneOn.jdn < lessThanDays)
            found.doneRecently = true;
    }
    // The reading of the tag and the date ends with the marker that makes the page done recently:
    // what fails after it is only the count of tags.
    if (status == LineRead::Failed && !found.doneRecently) {
        found.oldTag = "Error when getting old keywords meta tag.";
        found.doneRecently = false;
        return found;
    }
    if (!tagFound)
        found.oldTag = "No keywords meta tag found.";
    return found;
}

OldTagAndDoneDate readOldTagAndDoneDate(const std::string& path, std::int32_t todayJdn, int lessThanDays,
                                        FileSystem& fs)
{
    return readOldTagAndDoneDate(locateFile(fs, path), todayJdn, lessThanDays, fs);
}

OldTagAndDoneDate readOldTagAndDoneDate(const std::string& path, std::int32_t todayJdn, int lessThanDays)
{
    FileSystem fs;
    return readOldTagAndDoneDate(path, todayJdn, lessThanDays, fs);
}

} // namespace tagwright
