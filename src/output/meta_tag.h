#pragma once

// Composition of the keywords meta tag from the ranked word table.

#include "engine/analysis_settings.h"
#include "engine/word_table.h"
#include "output/tag_settings.h"

#include <string>
#include <string_view>
#include <vector>

namespace tagwright {

// The output box's text for a generated tag: <meta name="keywords" content="..."> with the
// begin phrase and then the best words of the table within the keyword and byte limits; in
// single-file mode two count lines follow. An empty table gives the no-words message.
std::string generateKeywordMetaTag(const WordTable& table, const TagSettings& tag,
                                   const AnalysisSettings& analysis);

// The words of the table that the tag takes, in the tag's order (the begin phrase is not
// among them).
std::vector<std::string> tagWords(const WordTable& table, const TagSettings& tag,
                                  const AnalysisSettings& analysis);

// The tag alone, out of an output box's text (the count lines and surrounding space dropped).
std::string getMetaTag(std::string_view boxText);

// The tag that a page gets from its table, as a run or an insertion writes it.
std::string composedMetaTag(const WordTable& table, const TagSettings& tag,
                            const AnalysisSettings& analysis);

// The keywords of a tag's content="..." in order, without the blanks around them; none when the
// text holds no content.
std::vector<std::string> keywordsOfTag(std::string_view tag);

} // namespace tagwright
