#pragma once

// File, folder and path routines. Paths are the platform's bytes with "/" as separator; file
// names compare with their letter case, so path-case normalisation leaves a path as it is.

#include "support/expected.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tagwright {

// A regular file, or a symbolic link to one; false for an empty path, a folder, a FIFO or a
// device, which the program must never open as a page.
bool fileExists(const std::string& path);

// Whether the path, without blanks at either end, names an existing folder.
bool isDirectory(std::string_view path);

// baseFolder + "/" + folderName + "/" + fileName, creating the folder (one level) when it does
// not exist. baseFolder is the per-user data folder that the program passes in; the home folder
// stands in when it is empty.
std::string appDataFilePath(std::string_view fileName, std::string_view folderName,
                            std::string_view baseFolder);

// The text after the last dot of the file-name part; empty when that part has no dot.
std::string fileExtension(std::string_view path, bool lowerCase);
// The text after the last "/"; empty when the path has none.
std::string fileNamePart(std::string_view path, bool lowerCase);
// The path up to and including its last "/"; empty when it has none.
std::string folderPart(std::string_view path, bool normaliseCase);
// The folder that holds a file, to be opened or asked about: folderPart, or "." for a bare name.
std::string containingFolder(std::string_view path);
// File names on this platform are case-sensitive: the path comes back unchanged.
std::string normalisePathCase(std::string_view path);

// "1,025 bytes (2 KB)"; empty for a negative size.
std::string sizeText(std::int64_t bytes, bool capitalised);
// "1,025 bytes" ("Bytes" when capitalised); empty for a negative size.
std::string byteCountText(std::int64_t bytes, bool capitalised);
// Kilobytes rounded up: "1 KB" for 1 to 1024 bytes, "2 KB" for 1025; "0 KB" for 0.
std::string kilobyteText(std::int64_t bytes);

// The number of files directly in folder whose names match the pattern (see matchFileName),
// stopping at the first when stopAtFirst is set; totalSize, when given, receives their size in
// bytes. On a failure (missing folder, access denied): -1, with the platform's description in
// errorText, which the caller shows.
std::int32_t countMatchingFiles(const std::string& folder, std::string_view pattern,
                                bool stopAtFirst, std::string& errorText,
                                std::uint64_t* totalSize = nullptr);

// Whether a plain file name matches a pattern such as "*.htm": name and extension are matched
// apart, so "*" matches only names without a dot and "*.*" matches every name.
bool matchFileName(std::string_view name, std::string_view pattern, bool caseSensitive);

// "*" matches any run, "?" one character. A star commits to the first occurrence of the next
// literal character and never backtracks: a*b does not match axbyb.
bool wildcardMatch(std::string_view text, std::string_view pattern, bool caseSensitive);

struct TextLinesOptions
{
    bool skipEmpty = false;
    std::int32_t maxLines = 0; // 0: no limit
    bool decode = false;       // repair UTF-8 Latin-1 forms
    bool tidy = false;         // with decode: repair UTF-8 punctuation as well
};

struct TextLines
{
    std::string text; // the lines with CR LF between them
    std::int32_t lineCount = 0;
    std::optional<Failure> failure; // the text is then empty
};

TextLines readTextLines(const std::string& path, const TextLinesOptions& options);

// Writes text followed by CR LF, or as a quoted item ("text" CR LF) when plain is false, appending
// or replacing the file's content. Returns the empty string on success, otherwise the platform's
// description of the failure.
std::string writeTextToFile(std::string_view text, const std::string& path, bool plain,
                            bool append);

} // namespace tagwright
