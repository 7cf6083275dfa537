#pragma once

#include "engine/language_index.h"

#include <string>

namespace tagwright {

// Every user choice that one analysis reads. The caller copies the values out of its controls
// when a run starts, after the last change the user made, so the run never sees a half-made edit.
struct AnalysisSettings
{
    // Value of one occurrence inside the title, the description content and the content of an
    // existing keywords tag: 0, 10, ..., 90. An existing keywords weight of 0 skips that content.
    int titleWeight = 90;
    int descriptionWeight = 50;
    int existingKeywordsWeight = 50;

    // Added to the body value inside these contexts: 0..9. For table, div and span a weight of 0
    // removes the content of the element.
    int boldWeight = 4;
    int italicWeight = 4;
    int tableWeight = 1;
    int divWeight = 2;
    int spanWeight = 2;

    bool ignoreShortWords = true;
    int shortWordSize = 2;    // 1..9: words of at most this many characters are dropped
    int minimumFrequency = 2; // 1..9
    bool ignoreCommonWords = true;
    LanguageIndex language = LanguageIndex::English;
    bool preserveCase = false;

    // The stored words-to-ignore list: lower-case words each followed by a comma
    // (see wordsToIgnoreList). A word is ignored when it, plus a comma, occurs in it.
    std::string wordsToIgnore;

    // Batch options that touch the analysis.
    bool displayWords = true;
    bool dialogForUnixFiles = true;
    bool dialogForInvalidEndFontTag = false;
    bool logOperations = true;

    // Single-file mode (the main window's optSingleFile); false in a multiple-files run.
    bool singleFile = true;
};

// The text that the words-to-ignore box shows after it loses the focus: lower-cased, trimmed,
// blanks turned into commas, no doubled or trailing comma.
std::string normaliseWordsToIgnore(std::string_view boxText);

// The stored list for a box text: its normalised form followed by one comma.
std::string wordsToIgnoreList(std::string_view boxText);

} // namespace tagwright
