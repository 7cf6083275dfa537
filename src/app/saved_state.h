#pragma once

#include "app/color_value.h"
#include "app/parameter_values.h"

#include <QString>

#include <cstdint>

namespace tagwright {

// The controls of the main window as the state file keeps them: texts as shown, check boxes as
// 0/1/2, lists as the zero-based position of the chosen entry (-1 for none).
struct MainWindowState
{
    QString inputFile;
    QString folder;
    QString beginMetaTagWith;
    QString wordsToIgnore;
    QString maxNumKeywordsInMetaTag = QStringLiteral("50");
    QString maxNumBytesInMetaTag = QStringLiteral("500");
    int shortWordSize = 1;          // "2"
    int thresholdFrequency = 1;     // "2"
    int tableWeight = 1;            // "1"
    int existingKeywordsWeight = 5; // "50"
    int boldWeight = 4;             // "4"
    int ignoreShortWords = 1;
    int ignoreCommonWords = 1;
    int preserveCase = 0;
    int spaceAfterComma = 1;
    int forwardSlash = 0;
    int titleWeight = 9;       // "90"
    int descriptionWeight = 5; // "50"
    int italicWeight = 4;      // "4"
    int divWeight = 2;         // "2"
    int spanWeight = 2;        // "2"
    int language = 0;          // English
    bool singleFile = true;
    bool insertionWithBackup = true;
    std::int32_t backColor = kLightGreen;

    bool operator==(const MainWindowState&) const = default;
};

struct SavedState
{
    MainWindowState main;
    ParameterValues parameters;

    bool operator==(const SavedState&) const = default;
};

} // namespace tagwright
