#pragma once

// --format json: the results of list, generate, show, check and batch as JSON, with the same
// numbers and texts as the plain output. Texts that are not valid UTF-8 never make it fail: their
// invalid bytes are replaced; file names keep their bytes (fileNameJson).

#include "cli/console.h"
#include "cli/option_parser.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace tagwright::cli {

// --format FORMAT in a group of its own.
OptionGroup outputOptionGroup();

// True for --format json, false for text or no --format; throws UsageError otherwise.
bool jsonFormatFrom(const ParsedOptions& options);

// A file name: the text when the name is UTF-8, else {"bytes": BASE64} with the name's bytes, so
// that every name leads back to its file.
nlohmann::json fileNameJson(std::string_view name);

// A keywords tag (Windows-1252) as UTF-8 text; null when there is none, or in place of the
// message that says so.
nlohmann::json tagJson(const std::optional<std::string>& cp1252Tag);

// The value on one line of stdout.
void printJsonLine(const Console& console, const nlohmann::json& value);

// A box text (Windows-1252, CR LF) as UTF-8 with LF, without the line breaks around it.
std::string plainText(std::string_view boxText);

// The word list box text: {"words": [{"rank", "value", "frequency", "density", "word"}],
// "notes": [...]} (notes: the lines that are no word, e.g. the no-words message); density is
// the percentage as a number.
nlohmann::json wordListJson(std::string_view boxText);

// The generated tag box text: {"tag", "keywords": [...], "keywordCount", "bytes"}, or
// {"message"} without words.
nlohmann::json metaTagJson(std::string_view boxText);

// The existing tags box text: {"tags": [{"kind": "title|keywords|description|done|message",
// "text"}]} in the order in which the page holds them.
nlohmann::json existingTagsJson(std::string_view boxText);

} // namespace tagwright::cli
