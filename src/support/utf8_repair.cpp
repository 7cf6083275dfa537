#include "support/utf8_repair.h"

#include "support/byte_blocks.h"
#include "support/cp1252.h"

#include <algorithm>
#include <string_view>

namespace tagwright {

namespace {

struct Repairs
{
    bool latin1 = false;
    bool punctuation = false;
    bool windows1252 = false;
};

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0u) == 0x80u;
}

// The first position from `at` of a byte that may lead a sequence to repair (0xC2 and above), or
// text.size(). Text is mostly ASCII: it is passed eight bytes at a time.
std::size_t nextLead(std::string_view text, std::size_t at)
{
    namespace blocks = byte_blocks;
    while (at < text.size()) {
        if (text.size() - at >= blocks::kBytes && blocks::isAscii(blocks::load(text.data() + at))) {
            at += blocks::kBytes;
            continue;
        }
        if (static_cast<unsigned char>(text[at]) >= 0xC2)
            return at;
        ++at;
    }
    return at;
}

// The plain text of the punctuation sequence E2 80 third; none for any other third byte.
std::string_view punctuationText(unsigned char third)
{
    switch (third) {
    case 0x98: // left single quote
    case 0x99: // right single quote
        return "'";
    case 0x9C: // left double quote
    case 0x9D: // right double quote
        return "\"";
    case 0x90: // hyphen
    case 0x93: // en dash
        return "-";
    case 0x94: // em dash
        return "--";
    case 0xA6: // ellipsis
        return "...";
    case 0xA2: // bullet
        return " . ";
    case 0x86: // six-per-em space
        return " ... ";
    default:
        return {};
    }
}

// The Windows-1252 byte in 0x80-0x9F of the two- or three-byte sequence at text[i], with its
// length; 0 when the sequence is none of these characters.
std::pair<unsigned char, std::size_t> windows1252HighByte(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    char32_t codePoint = 0;
    std::size_t length = 0;
    if ((lead == 0xC5 || lead == 0xC6 || lead == 0xCB) && isContinuation(byte(i + 1))) {
        codePoint = (char32_t{lead} & 0x1Fu) << 6 | (byte(i + 1) & 0x3Fu);
        length = 2;
    } else if (lead == 0xE2 && i + 2 < text.size() && isContinuation(byte(i + 1)) &&
               isContinuation(byte(i + 2))) {
        codePoint =
            (char32_t{lead} & 0x0Fu) << 12 | (byte(i + 1) & 0x3Fu) << 6 | (byte(i + 2) & 0x3Fu);
        length = 3;
    }
    const auto mapped = length ? cp1252Byte(codePoint) : std::nullopt;
    if (!mapped || *mapped < 0x80 || *mapped > 0x9F)
        return {0, 0};
    return {*mapped, length};
}

bool repair(std::string& line, Repairs repairs, const KeepGoing& keepGoing = {})
{
    const std::string_view text = line;
    // The end of the stride that starts at `at`: no search reads further before a look.
    const auto strideEnd = [&text](std::size_t at) {
        return std::min(at + kBytesPerLook, text.size());
    };
    // A line without a lead byte is left as it is; it is looked through a stride at a time too.
    bool needed = false;
    for (std::size_t at = 0; !needed && at < text.size(); at += kBytesPerLook) {
        if (at > 0 && keepGoing && !keepGoing())
            return false;
        needed = nextLead(text.substr(0, strideEnd(at)), at) < strideEnd(at);
    }
    if (!needed)
        return true;
    std::string out;
    out.reserve(text.size());
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    std::size_t i = 0;
    std::size_t nextLook = kBytesPerLook;
    while (i < text.size()) {
        if (i >= nextLook) {
            if (keepGoing && !keepGoing())
                return false;
            nextLook = i + kBytesPerLook;
        }
        // What comes before the next lead byte stays as it is, copied as one run.
        const std::size_t runEnd = nextLead(text.substr(0, std::min(nextLook, text.size())), i);
        out.append(text.substr(i, runEnd - i));
        i = runEnd;
        if (i == text.size() || i >= nextLook)
            continue;
        const unsigned char lead = byte(i);
        const bool hasNext = i + 1 < text.size();
        const unsigned char next = hasNext ? byte(i + 1) : 0;
        if (repairs.latin1 && lead == 0xC2 && next >= 0x80 && next <= 0xBF) {
            if (next >= 0xA0)
                out += static_cast<char>(next);
            i += 2;
            continue;
        }
        if (repairs.latin1 && lead == 0xC3 && next >= 0x80 && next <= 0xBF) {
            out += static_cast<char>(next + 0x40);
            i += 2;
            continue;
        }
        if (repairs.punctuation && lead == 0xE2 && next == 0x80 && i + 2 < text.size()) {
            const std::string_view plain = punctuationText(byte(i + 2));
            if (!plain.empty()) {
                out += plain;
                i += 3;
                continue;
            }
        }
        if (repairs.windows1252 && hasNext) {
            const auto [mapped, length] = windows1252HighByte(text, i);
            if (length != 0) {
                out += static_cast<char>(mapped);
                i += length;
                continue;
            }
        }
        out += static_cast<char>(lead);
        ++i;
    }
    line = std::move(out);
    return true;
}

} // namespace

void repairUtf8Latin1(std::string& line)
{
    repair(line, {.latin1 = true});
}

void repairUtf8Punctuation(std::string& line)
{
    repair(line, {.punctuation = true});
}

void repairUtf8Line(std::string& line)
{
    repair(line, {.latin1 = true, .punctuation = true, .windows1252 = true});
}

bool repairUtf8Line(std::string& line, const KeepGoing& keepGoing)
{
    return repair(line, {.latin1 = true, .punctuation = true, .windows1252 = true}, keepGoing);
}

} // namespace tagwright
