#include "output/existing_tags.h"

#include "engine/input_checks.h"
#include "output/meta_tag_positions.h"
#include "support/cp1252.h"
#include "support/files.h"
#include "support/line_reader.h"

namespace tagwright {

namespace {

constexpr std::string_view kParagraphEnd = "\r\n\r\n";

std::string titleText(const std::string& line, const std::string& live)
{
    const auto end = live.find("</title>");
    const std::size_t start = 7; // after "<title>"
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The meta tag named `name` with its letters as they stand, up to its ">" or to the end of the
// line when it does not close there; empty when the line holds no such tag.
std::string metaTagText(const std::string& line, const std::string& live, std::string_view name)
{
    const TagSpan tag = findNamedMetaTag(live, name);
    if (tag.start == 0)
        return {};
    return line.substr(tag.start - 1, tag.end == 0 ? std::string::npos : tag.end - tag.start + 1);
}

} // namespace

std::string existingTagsText(const LineSource& source)
{
    HeadLineScanner scanner(source);
    std::string text;
    bool keywordsFound = false;
    std::string line;
    std::string live;
    LineRead status;
    while ((status = scanner.next(line, live)) == LineRead::Line) {
        if (live.starts_with("<title>")) {
            text += "TITLE: " + titleText(line, live);
            text += kParagraphEnd;
            continue;
        }
        const struct {
            std::string_view name;
            std::string_view label;
        } kinds[] = {{"keywords", "KEYWORDS meta tag: "},
                     {"description", "DESCRIPTION meta tag: "},
                     {"qova done", "QOVA meta tag: "}};
        for (const auto& kind : kinds) {
            const std::string tag = metaTagText(line, live, kind.name);
            if (tag.empty())
                continue;
            text += std::string(kind.label) + tag;
            text += kParagraphEnd;
            keywordsFound = keywordsFound || kind.name == "keywords";
        }
    }
    if (status == LineRead::Failed) {
        if (text.find("KEYWORDS meta tag:") == std::string::npos)
            text += "Error when looking for keywords meta tag.";
        return text;
    }
    if (!keywordsFound)
        text += "No keywords meta tag found.";
    return text;
}

ExistingTags existingTagsOfFile(std::string_view inputPath)
{
    const auto first = inputPath.find_first_not_of(' ');
    const std::string path(first == std::string_view::npos
                               ? std::string_view()
                               : inputPath.substr(first, inputPath.find_last_not_of(' ') - first + 1));
    if (path.empty())
        return {UserMessage{"Error", "Input file not specified.", MessageIcon::Warning}, {}};
    if (!fileExists(path))
        return {UserMessage{"File not found", "Input file not found.", MessageIcon::Warning}, {}};

    LineReader reader(path, LineEnds::OfPage);
    const std::string text = existingTagsText(linesOf(reader));
    const bool utf8 = isUtf8Page(path);
    return {std::nullopt, utf8 ? utf8ToCp1252(text) : text};
}

} // namespace tagwright
