#pragma once

// Windows-1252 <-> UTF-8. Bytes 0x80-0x9F are not Latin-1 in Windows-1252: they hold € ‚ ƒ „ …
// and the like, and five of them (0x81, 0x8D, 0x8F, 0x90, 0x9D) are undefined.

#include <optional>
#include <string>
#include <string_view>

namespace tagwright {

// The Unicode code point of a Windows-1252 byte; none for the five undefined bytes.
std::optional<char32_t> cp1252CodePoint(unsigned char byte);

// The Windows-1252 byte of a code point; none when the code page has no such character.
std::optional<unsigned char> cp1252Byte(char32_t codePoint);

// Appends the UTF-8 form of a code point.
void appendUtf8(std::string& out, char32_t codePoint);

// Undefined bytes become "?".
std::string cp1252ToUtf8(std::string_view text);

// Characters outside Windows-1252 and malformed UTF-8 bytes become "?".
std::string utf8ToCp1252(std::string_view text);

} // namespace tagwright
