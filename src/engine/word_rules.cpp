#include "engine/word_rules.h"

#include "engine/word_table.h"
#include "support/strings.h"

#include <algorithm>
#include <array>

namespace tagwright {

namespace {

using ByteSet = std::array<bool, 256>;

unsigned char byteOf(char c)
{
    return static_cast<unsigned char>(c);
}

constexpr ByteSet makeSet(std::string_view members)
{
    ByteSet set{};
    for (const char c : members)
        set[static_cast<unsigned char>(c)] = true;
    return set;
}

constexpr ByteSet kVowels = makeSet("AEIOUaeiou"
                                    "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
                                    "\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDC"
                                    "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
                                    "\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC"
                                    "Yy");

// The stems of "aren't" ... "wouldn't". A word is dropped when it, followed by a blank, occurs in
// the stems written each followed by a blank: a word (which holds no blank) that is a tail of a
// stem. Every stem ends in "n".
constexpr std::array<std::string_view, 11> kContractionStems = {
    "aren", "couldn", "didn", "doesn", "hadn", "hasn", "isn", "shouldn", "wasn", "weren", "wouldn"};
constexpr ByteSet kRomanNumeralLetters = makeSet("ivxlcm");
constexpr std::array<std::string_view, 6> kLyEdExceptions = {"alfred", "limited", "screed",
                                                             "tweed",  "filly",   "folly"};

// The lower-case word followed by `separator` occurs anywhere in `list`: a tail match, so an
// entry also covers the words that its end spells.
bool occursFollowedBy(std::string_view list, std::string_view lower, char separator)
{
    for (std::size_t at = list.find(lower); at != std::string_view::npos;
         at = list.find(lower, at + 1))
        if (at + lower.size() < list.size() && list[at + lower.size()] == separator)
            return true;
    return false;
}

bool isAdverbOrPastForm(std::string_view lower)
{
    if (lower.size() <= 4 || !(lower.ends_with("ly") || lower.ends_with("ed")))
        return false;
    return std::find(kLyEdExceptions.begin(), kLyEdExceptions.end(), lower) ==
               kLyEdExceptions.end() &&
           !lower.ends_with("poly");
}

} // namespace

bool isWordChar(char c, bool digitsAllowed, std::string_view extra)
{
    return isLetter(c) || (digitsAllowed && c >= '0' && c <= '9') ||
           (!extra.empty() && extra.find(c) != std::string_view::npos);
}

bool isKeywordCandidate(std::string_view word, std::string_view lower, std::uint64_t lowerHash,
                        const AnalysisSettings& settings, const CommonWords& commonWords)
{
    const auto length = static_cast<int>(word.size());
    if (settings.ignoreShortWords && length <= settings.shortWordSize)
        return false;
    if (length > WordTable::kMaxWordLength)
        return false;
    if (length > 1 &&
        std::all_of(lower.begin(), lower.end(), [&](char c) { return c == lower[0]; }))
        return false;
    if (occursFollowedBy(settings.wordsToIgnore, lower, ','))
        return false;
    if (std::all_of(lower.begin(), lower.end(),
                    [](char c) { return kRomanNumeralLetters[byteOf(c)]; }))
        return false;
    if (std::none_of(word.begin(), word.end(), [](char c) { return kVowels[byteOf(c)]; }))
        return false;
    if (settings.language == LanguageIndex::English && lower.back() == 'n' &&
        std::any_of(kContractionStems.begin(), kContractionStems.end(),
                    [&](std::string_view stem) { return stem.ends_with(lower); }))
        return false;
    if (settings.ignoreCommonWords &&
        commonWords.list(settings.language).containsLowerCase(lower, lowerHash))
        return false;
    return !isAdverbOrPastForm(lower);
}

} // namespace tagwright
