#include "support/quoted_name.h"

#include "support/utf8_sequences.h"

namespace tagwright {

namespace {

// The letter of a control character's C escape (\n, \t, ...); 0 for those written in octal.
char escapeLetter(unsigned char c)
{
    switch (c) {
    case '\a':
        return 'a';
    case '\b':
        return 'b';
    case '\t':
        return 't';
    case '\n':
        return 'n';
    case '\v':
        return 'v';
    case '\f':
        return 'f';
    case '\r':
        return 'r';
    default:
        return 0;
    }
}

// Always three digits, so that a digit after it is never read as part of it.
void appendOctal(std::string& out, unsigned char c)
{
    out += '\\';
    out += static_cast<char>('0' + (c >> 6));
    out += static_cast<char>('0' + ((c >> 3) & 7));
    out += static_cast<char>('0' + (c & 7));
}

void appendEscaped(std::string& out, unsigned char c)
{
    if (const char letter = escapeLetter(c)) {
        out += '\\';
        out += letter;
    } else {
        appendOctal(out, c);
    }
}

bool isControl(char32_t codePoint)
{
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

// The length of the printable character at `at`; 0 for a control character or a byte that
// starts no well-formed sequence.
std::size_t printableLength(std::string_view name, std::size_t at)
{
    const std::size_t length = utf8SequenceLength(name, at);
    return length != 0 && !isControl(utf8CodePoint(name, at, length)) ? length : 0;
}

bool isPrintableText(std::string_view name)
{
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = printableLength(name, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

bool needsDiffQuoting(unsigned char c)
{
    return c == ' ' || c == '"' || c == '\\' || c < 0x20 || c >= 0x7F;
}

} // namespace

std::string shellQuotedName(std::string_view name)
{
    if (isPrintableText(name) && !name.starts_with("$'"))
        return std::string(name);
    std::string quoted = "$'";
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = printableLength(name, at);
        if (length == 0) {
            appendEscaped(quoted, static_cast<unsigned char>(name[at++]));
            continue;
        }
        if (name[at] == '\\' || name[at] == '\'')
            quoted += '\\';
        quoted.append(name.substr(at, length));
        at += length;
    }
    return quoted + "'";
}

std::string diffQuotedName(std::string_view name)
{
    bool plain = true;
    for (const char c : name)
        plain = plain && !needsDiffQuoting(static_cast<unsigned char>(c));
    if (plain)
        return std::string(name);
    std::string quoted = "\"";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte == ' ' || !needsDiffQuoting(byte)) {
            quoted += c;
        } else {
            appendEscaped(quoted, byte);
        }
    }
    return quoted + "\"";
}

} // namespace tagwright
