#include "support/html_text.h"

#include "support/utf8_sequences.h"

namespace tagwright {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

bool isUnreserved(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
           byte == '~';
}

} // namespace

std::string htmlEscaped(std::string_view utf8)
{
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[at]);
        if (byte >= 0x80) {
            const std::size_t length = utf8SequenceLength(utf8, at);
            if (length == 0) {
                text += kReplacement;
                ++at;
                continue;
            }
            const char32_t codePoint = utf8CodePoint(utf8, at, length);
            // The C1 controls and the two noncharacters at the end of the plane are no text.
            if (codePoint < 0xA0 || codePoint == 0xFFFE || codePoint == 0xFFFF)
                text += kReplacement;
            else
                text.append(utf8.substr(at, length));
            at += length;
            continue;
        }
        switch (byte) {
        case '&':
            text += "&amp;";
            break;
        case '<':
            text += "&lt;";
            break;
        case '>':
            text += "&gt;";
            break;
        case '"':
            text += "&quot;";
            break;
        case '\'':
            text += "&#39;";
            break;
        case '\t':
        case '\n':
            text += static_cast<char>(byte);
            break;
        default:
            if (byte < 0x20 || byte == 0x7F)
                text += kReplacement;
            else
                text += static_cast<char>(byte);
        }
        ++at;
    }
    return text;
}

std::string relativeHref(std::string_view relativePath)
{
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string href = relativePath.starts_with("../") ? "" : "./";
    for (const char c : relativePath) {
        const auto byte = static_cast<unsigned char>(c);
        if (isUnreserved(byte) || byte == '/') {
            href += c;
        } else {
            href += '%';
            href += kHex[byte >> 4];
            href += kHex[byte & 0xF];
        }
    }
    return href;
}

} // namespace tagwright
