#include "output/common_word_lists.h"

#include "engine/input_checks.h"
#include "engine/word_rules.h"
#include "support/cp1252.h"
#include "support/line_reader.h"
#include "support/strings.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace tagwright {

namespace {

struct LanguageNames
{
    std::string_view code;
    std::string_view reading; // in the progress line
    std::string_view warning; // in the warnings
};

constexpr std::array<LanguageNames, kLanguageCount> kLanguages = {{
    {"en", "English", "English"},
    {"fr", "French", "French"},
    {"de", "German", "German"},
    {"it", "Italian", "Italian"},
    {"pt", "Portuguese", "Portuguese"},
    {"es", "Spanish", "Spanish"},
    {"en_de_es_pt_it_fr", "all six languages", "another language"},
}};

const LanguageNames& namesOf(LanguageIndex language)
{
    return kLanguages[static_cast<std::size_t>(language)];
}

// Text in any line-end convention; a file under 5 bytes is not examined but may still hold a
// word. Missing, empty, unreadable, binary, RTF and UTF-16 files are not lists.
bool isReadableList(TextKind kind)
{
    return kind == TextKind::Text || kind == TextKind::UnixText ||
           kind == TextKind::MacintoshText || kind == TextKind::TooShort;
}

// Why a file that the text check refused is no list.
std::string refusalReason(const TextCheck& check)
{
    switch (check.kind) {
    case TextKind::Empty:
        return showLineEndingWarning(TextKind::Empty, "", false).text;
    case TextKind::NotText:
    case TextKind::Rtf:
    case TextKind::Utf16Or32:
        return "This file is not a text file.";
    default:
        return std::strerror(check.errorNumber != 0 ? check.errorNumber : EIO);
    }
}

// The list files may hold up to 1 percent control bytes (documents 0.1 percent).
constexpr std::int32_t kSampleBytes = 16384;
constexpr double kMaxControlPercent = 1.0;
constexpr std::size_t kLongestRun = 65000;

// Adds every word of a prepared line (lower case, one blank appended): a run of letters, in
// French also with hyphens and apostrophes after its first letter. False when the list is full.
bool addCommonWordsOfLine(std::string line, LanguageIndex language, CommonWordList& list)
{
    replaceCharsOfSet(line, "\t\n\r\xA0", " ");
    const std::string_view extras = language == LanguageIndex::French ? "-'" : "";
    std::size_t p = 0;
    while (p + 1 < line.size()) {
        if (!isWordChar(line[p], false, "")) {
            ++p;
            continue;
        }
        std::size_t run = 1;
        while (p + run < line.size() && run < kLongestRun &&
               isWordChar(line[p + run], false, extras))
            ++run;
        if (list.add(std::string_view(line).substr(p, run)) == CommonWordList::AddResult::Full)
            return false;
        p += run + 1;
    }
    return true;
}

UserMessage tooManyCommonWords(std::string_view path, LanguageIndex language)
{
    return {"Too many common words",
            "The file " + std::string(path) + " contains too many common words in " +
                std::string(namesOf(language).warning) + ".",
            MessageIcon::Warning};
}

} // namespace

std::string commonWordFilePath(std::string_view folder, LanguageIndex language)
{
    std::string path(folder);
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + "cwds_" + std::string(namesOf(language).code) + ".txt";
}

CommonWordFileReading readCommonWordFile(std::string_view folder, LanguageIndex language,
                                         CommonWordList& list)
{
    list = CommonWordList();
    const std::string path = commonWordFilePath(folder, language);
    CommonWordFileReading reading;
    std::vector<UserMessage>& warnings = reading.warnings;

    const TextCheck check = isTextFile(path, kSampleBytes, kMaxControlPercent, true);
    const TextKind kind = check.kind;
    if (!isReadableList(kind)) {
        reading.failure = refusalReason(check);
        return reading;
    }
    // This warning names no file.
    if (kind == TextKind::UnixText || kind == TextKind::MacintoshText)
        warnings.push_back(showLineEndingWarning(kind, "", false));

    LineReader reader(path);
    std::string line;
    while (reader.readLine(line)) {
        // A list saved in UTF-8 gives its words in the characters the analysis compares.
        if (check.utf8)
            line = utf8ToCp1252(line);
        line.erase(0, line.find_first_not_of(' '));
        line.erase(line.find_last_not_of(' ') + 1);
        if (line.empty())
            continue;
        lowerCaseAccentedInPlace(line);
        line += ' ';
        if (!addCommonWordsOfLine(std::move(line), language, list)) {
            warnings.push_back(tooManyCommonWords(path, language));
            break;
        }
    }
    if (reader.errorNumber() != 0) {
        list = CommonWordList();
        reading.failure = reader.errorText();
    } else if (!list.available()) {
        reading.failure = "The file holds no words.";
    }
    return reading;
}

std::vector<UserMessage>
loadCommonWordLists(std::string_view folder, CommonWords& lists,
                    const std::function<void(std::string_view line)>& progress)
{
    std::vector<UserMessage> warnings;
    for (int i = 0; i < kLanguageCount; ++i) {
        const auto language = static_cast<LanguageIndex>(i);
        if (progress)
            progress("Reading common words in " + std::string(namesOf(language).reading) + "\r\n");
        for (UserMessage& warning :
             readCommonWordFile(folder, language, lists.list(language)).warnings)
            warnings.push_back(std::move(warning));
    }
    return warnings;
}

UserMessage commonWordsNotAvailable(std::string_view folder, LanguageIndex language)
{
    return {"Common words not available",
            "Common words in " + std::string(namesOf(language).warning) +
                " could not be read from file\r\n" + commonWordFilePath(folder, language) + ".",
            MessageIcon::Warning};
}

} // namespace tagwright
