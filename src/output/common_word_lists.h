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

// Reads one list file into an empty list. A file that is missing, unreadable or not text leaves
// the list unavailable without a word; the warnings returned are those of line endings other
// than CR LF and of a file with too many words (the first 2000 distinct words are kept).
std::vector<UserMessage> readCommonWordFile(std::string_view folder, LanguageIndex language,
                                            CommonWordList& list);

// Reads all seven lists, telling progress "Reading common words in <language>" + CR LF before
// each file. Returns the warnings of every file, in order.
std::vector<UserMessage>
loadCommonWordLists(std::string_view folder, CommonWords& lists,
                    const std::function<void(std::string_view line)>& progress = {});

// The warning for a chosen list that is not available.
UserMessage commonWordsNotAvailable(std::string_view folder, LanguageIndex language);

} // namespace tagwright
