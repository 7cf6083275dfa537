#pragma once

#include "engine/user_message.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tagwright {

// Kinds of text that isTextFile reports.
enum class TextKind : std::int16_t {
    NotText = 0,
    Text = 1,          // CR LF or no line ends; also every UTF-8 file
    UnixText = 2,      // LF only
    MacintoshText = 3, // CR only
    Rtf = 6,
    Utf16Or32 = 7,
    NotFound = -1, // missing, or not a regular file
    Empty = -2,
    AccessRefused = -3,
    TooShort = -4, // under 5 bytes, not examined
    EmptyPath = -5,
    ReadError = -6,
    OtherReadError = -9,
};

// Results of detectEncoding; the negative kinds above are also possible.
enum class Encoding : std::int16_t {
    Plain = 0,
    Utf16LittleEndian = 1,
    Utf16BigEndian = 2,
    Utf8 = 3,
    Utf32BigEndian = 5,
    Rtf = 6,
};

struct TextCheck
{
    TextKind kind = TextKind::NotText;
    std::uint8_t offendingByte = 32; // first counted control byte; 32 when none
    std::int32_t position = 0;       // its 1-based position
    double percent = 0;              // share of control bytes examined
    bool utf8 = false;
    int errorNumber = 0; // the system's error behind a kind of a failure (missing, unreadable)
};

// The encoding result as a 16-bit code: an Encoding value, or a negative TextKind. With
// checkCharset, a file with a text extension is UTF-8 when its first lines declare
// charset=utf-8 (any letter case, quoted or not), or when they declare no charset at all and the
// whole file is well-formed UTF-8 with some bytes beyond ASCII.
std::int16_t detectEncoding(const std::string& path, bool checkCharset);
// Whether a page is UTF-8 as every reader and writer of pages takes it (its lines repaired for
// the analysis, its tag and marker written UTF-8-encoded): detectEncoding with the charset check.
bool isUtf8Page(const std::string& path);
bool hasTextExtension(std::string_view path);

// Whether the first maxBytes bytes of the file are text with at most maxPercent control bytes,
// how its lines end, and whether it is UTF-8. Never throws.
TextCheck isTextFile(const std::string& path, std::int32_t maxBytes, double maxPercent,
                     bool checkCharset);

// The message for an input path that cannot be analysed: no extension, an extension without
// "htm", or no such regular file. Nothing when the path is valid.
std::optional<UserMessage> validateInputFile(const std::string& path);

// The warning about a file's line ends (kind -2: a zero-length file). With `ask` (not for kind -2)
// the caller asks it as a Yes/No question with No as the default, without an icon; otherwise it
// shows it with the warning icon.
UserMessage showLineEndingWarning(TextKind kind, std::string_view path, bool ask);

} // namespace tagwright
