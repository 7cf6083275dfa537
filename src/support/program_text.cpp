#include "support/program_text.h"

#include "support/line_reader.h"

#include <charconv>

namespace tagwright {

namespace {

constexpr std::int32_t kNoText = 0;
constexpr std::int32_t kCannotOpen = -1;
constexpr std::int32_t kTooMuch = -3;
constexpr std::int32_t kMalformedLine = -5;
constexpr std::int32_t kEmptyFile = -6;
constexpr std::int32_t kReadError = -7;
constexpr std::int32_t kDuplicateBase = -1500;
constexpr std::int32_t kTooLongBase = -1000;
constexpr std::int32_t kMissingBase = -500;

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kEmptyText = "~";

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A whole number from 0 to limit at the start of text, with the count of its digits.
std::pair<std::int32_t, std::size_t> leadingNumber(std::string_view text, std::int32_t limit)
{
    std::int32_t value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || value < 0 || value > limit)
        return {-1, 0};
    return {value, static_cast<std::size_t>(end - text.data())};
}

} // namespace

std::string programTextFilePath(std::string_view folder)
{
    std::string path(folder);
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path.append(kProgramTextFileName);
}

std::int32_t ProgramTextStore::load(const std::string& path)
{
    LineReader reader(path);
    if (!reader.isOpen())
        return kCannotOpen;
    std::map<std::pair<std::int32_t, std::int32_t>, std::string> loaded;
    std::int32_t language = 0;
    std::int32_t lineNumber = 0;
    bool anyByte = false;
    std::string readLine;
    while (reader.readLine(readLine)) {
        anyByte = true;
        // The file may come with LF line ends as well: each LF ends a line here too.
        std::string_view rest = readLine;
        for (bool more = true; more;) {
            const std::size_t lineFeed = rest.find('\n');
            more = lineFeed != std::string_view::npos;
            const std::string_view line = trimmed(rest.substr(0, lineFeed));
            rest = more ? rest.substr(lineFeed + 1) : std::string_view();
            if (++lineNumber > kMaxLines)
                return kTooMuch;
            if (line.empty() || line.front() == '#')
                continue;
            if (line.front() == '[' && line.back() == ']') {
                const std::string_view inside = line.substr(1, line.size() - 2);
                const auto [index, digits] = leadingNumber(inside, kMaxNumber);
                if (digits == 0 || digits != inside.size())
                    return kMalformedLine;
                language = index;
                continue;
            }
            const auto [number, digits] = leadingNumber(line, kMaxNumber);
            if (digits == 0 || number == 0 ||
                (digits < line.size() && kBlanks.find(line[digits]) == std::string_view::npos))
                return kMalformedLine;
            const std::string_view text = trimmed(line.substr(digits));
            if (text.empty())
                return kMissingBase - lineNumber;
            if (text.size() > kMaxTextLength)
                return kTooLongBase - lineNumber;
            if (!loaded.emplace(std::pair{language, number}, std::string(text)).second)
                return kDuplicateBase - lineNumber;
        }
    }
    if (reader.errorNumber() != 0)
        return kReadError;
    if (!anyByte)
        return kEmptyFile;
    if (loaded.empty())
        return kNoText;
    texts_ = std::move(loaded);
    return static_cast<std::int32_t>(texts_.size());
}

std::string ProgramTextStore::text(std::int32_t number, std::int32_t language) const
{
    const auto found = texts_.find({language, number});
    if (found == texts_.end() || found->second == kEmptyText)
        return {};
    return found->second;
}

std::string loadFailureMessage(std::int32_t result, std::string_view path)
{
    const auto atLine = [](std::string_view what, std::int32_t n) {
        return std::string(what) + " " + std::to_string(n) + ".";
    };
    if (result >= 1)
        return {};
    if (result < kDuplicateBase)
        return atLine("Duplicate in program text at line", kDuplicateBase - result);
    if (result < kTooLongBase)
        return atLine("String too long at line", kTooLongBase - result);
    if (result < kMissingBase)
        return atLine("Missing string at line", kMissingBase - result);
    switch (result) {
    case kNoText:
        return "No program text was read.";
    case kCannotOpen:
        return "Cannot open file containing program text.\r\n" + std::string(path);
    case -2:
        return "Particular memory allocation error.";
    case kTooMuch:
        return "Too much program text.";
    case -4:
        return "Text not recovered.";
    case kEmptyFile:
        return "File is empty.";
    case kReadError:
        return "Error reading file.";
    case -8:
        return "General memory allocation error.";
    default:
        return "Error " + std::to_string(result);
    }
}

} // namespace tagwright
