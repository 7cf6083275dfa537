#include "cli/json_output.h"

#include "cli/usage_error.h"
#include "output/meta_tag.h"
#include "support/cp1252.h"
#include "support/utf8_sequences.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <sstream>

namespace tagwright::cli {

namespace {

using nlohmann::json;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::optional<long long> wholeNumber(std::string_view text)
{
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

// "   1   100    3  50.00%  apple": the fields of one line of the list.
std::optional<json> wordLine(const std::string& line)
{
    std::istringstream fields(line);
    std::string rank, value, frequency, density;
    fields >> rank >> value >> frequency >> density;
    const auto wordAt = line.find("%  ");
    if (!wholeNumber(rank) || !wholeNumber(value) || !wholeNumber(frequency) ||
        !density.ends_with('%') || wordAt == std::string::npos)
        return std::nullopt;
    density.pop_back();
    double percent = 0;
    const auto [end, error] =
        std::from_chars(density.data(), density.data() + density.size(), percent);
    if (error != std::errc() || end != density.data() + density.size())
        return std::nullopt;
    return json{{"rank", *wholeNumber(rank)},
                {"value", *wholeNumber(value)},
                {"frequency", *wholeNumber(frequency)},
                {"density", percent},
                {"word", line.substr(wordAt + 3)}};
}

// The number at the end of "Number of keywords in meta tag: 2".
std::optional<long long> countAfter(const std::string& line, std::string_view label)
{
    if (!line.starts_with(label))
        return std::nullopt;
    return wholeNumber(std::string_view(line).substr(label.size()));
}

// The keywords of a tag's content, in order.
json keywordsOf(const std::string& tag)
{
    json keywords = json::array();
    for (std::string& keyword : keywordsOfTag(tag))
        keywords.push_back(std::move(keyword));
    return keywords;
}

// Standard base64 with padding.
std::string base64(std::string_view bytes)
{
    static constexpr std::string_view kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - at);
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i)
            group = (group << 8) | (i < count ? static_cast<unsigned char>(bytes[at + i]) : 0u);
        for (std::size_t i = 0; i < 4; ++i)
            encoded += i <= count ? kDigits[(group >> (18 - 6 * i)) & 0x3F] : '=';
    }
    return encoded;
}

} // namespace

OptionGroup outputOptionGroup()
{
    return {"Output options",
            {{"format", "FORMAT", "text (default) or json: one object, one per line for pages"}}};
}

bool jsonFormatFrom(const ParsedOptions& options)
{
    const std::string format = options.value("format").value_or("text");
    if (format != "text" && format != "json")
        throw UsageError("--format must be text or json, not '" + format + "'");
    return format == "json";
}

json fileNameJson(std::string_view name)
{
    if (isValidUtf8(name))
        return std::string(name);
    return {{"bytes", base64(name)}};
}

json tagJson(const std::optional<std::string>& cp1252Tag)
{
    if (!cp1252Tag || !cp1252Tag->starts_with('<'))
        return nullptr;
    return cp1252ToUtf8(*cp1252Tag);
}

void printJsonLine(const Console& console, const json& value)
{
    console.printBytes(value.dump(-1, ' ', false, json::error_handler_t::replace) + "\n");
}

std::string plainText(std::string_view boxText)
{
    std::string text;
    for (const char c : cp1252ToUtf8(boxText))
        if (c != '\r')
            text += c;
    const auto first = text.find_first_not_of('\n');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of('\n') + 1 - first);
}

json wordListJson(std::string_view boxText)
{
    json words = json::array();
    json notes = json::array();
    const std::vector<std::string> lines = linesOf(plainText(boxText));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0 && lines[i].starts_with("Rank Value"))
            continue;
        if (auto word = wordLine(lines[i]))
            words.push_back(std::move(*word));
        else if (!lines[i].empty())
            notes.push_back(lines[i]);
    }
    return {{"words", words}, {"notes", notes}};
}

json metaTagJson(std::string_view boxText)
{
    const std::vector<std::string> lines = linesOf(plainText(boxText));
    if (lines.empty() || !lines.front().starts_with("<meta "))
        return {{"message", plainText(boxText)}};
    json tag{{"tag", lines.front()}, {"keywords", keywordsOf(lines.front())}};
    for (const std::string& line : lines) {
        if (const auto keywords = countAfter(line, "Number of keywords in meta tag: "))
            tag["keywordCount"] = *keywords;
        if (const auto bytes = countAfter(line, "Number of bytes in meta tag: "))
            tag["bytes"] = *bytes;
    }
    return tag;
}

json existingTagsJson(std::string_view boxText)
{
    constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kinds{
        {{"TITLE: ", "title"},
         {"KEYWORDS meta tag: ", "keywords"},
         {"DESCRIPTION meta tag: ", "description"},
         {"QOVA meta tag: ", "done"}}};
    json tags = json::array();
    for (const std::string& line : linesOf(plainText(boxText))) {
        if (line.empty())
            continue;
        json tag{{"kind", "message"}, {"text", line}};
        for (const auto& [label, kind] : kinds)
            if (line.starts_with(label))
                tag = {{"kind", kind}, {"text", line.substr(label.size())}};
        tags.push_back(std::move(tag));
    }
    return {{"tags", tags}};
}

} // namespace tagwright::cli
