#pragma once

// Reading the seven common-word lists from the files cwds_<code>.txt of the program's folder.

#include "engine/common_words.h"
#include "engine/language_index.h"
#include "engine/user_message.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tagwright {

// folder/cwds_<code>.txt, the code being "en", "fr", ..., "en_de_es_pt_it_fr".
std::string commonWordFilePath(std::string_view folder, LanguageIndex language);

struct CommonWordFileReading
{
    // Line endings other than CR LF, a file with too many words (the first 2000 distinct words
    // are kept).
    std::vector<UserMessage> warnings;
    // Why the list is not available: the system's error text for a file that is missing or
    // cannot be read, or what is wrong with its content. Empty when the list is available.
    std::string failure;
};

// Reads one list file into an empty list. A file that is missing, unreadable, not text or without
// a word leaves the list unavailable, which the caller tells as it sees fit.
CommonWordFileReading readCommonWordFile(std::string_view folder, LanguageIndex language,
                                         CommonWordList& list);

// Reads all seven lists, telling progress "Reading common words in <language>" + CR LF before
// each file. Returns the warnings of every file, in order.
std::vector<UserMessage>
loadCommonWordLists(std::string_view folder, CommonWords& lists,
                    const std::function<void(std::string_view line)>& progress = {});

// The warning for a chosen list that is not available.
UserMessage commonWordsNotAvailable(std::string_view folder, LanguageIndex language);

} // namespace tagwright
