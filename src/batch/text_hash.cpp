#include "batch/text_hash.h"

#include "batch/page_blanks.h"
#include "support/byte_blocks.h"
#include "support/fnv1a.h"

namespace tagwright {

namespace {

std::uint64_t mixed(std::uint64_t hash, std::string_view bytes)
{
    // One multiplication after another: this chain is all the loop costs.
    for (const char byte : bytes)
        hash = fnv1a::step(hash, byte);
    return hash;
}

bool isLineEnd(char byte)
{
    return byte == '\r' || byte == '\n';
}

} // namespace

void LineTextHash::take(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        if (!inText_) {
            // Leading blanks and empty lines are no text.
            while (at < text.size() && (isPageBlank(text[at]) || isLineEnd(text[at])))
                ++at;
            if (at == text.size())
                return;
            inText_ = true;
        }
        const std::size_t lineEnd = byte_blocks::findEither(text, at, '\r', '\n');
        std::size_t textEnd = lineEnd;
        while (textEnd > at && isPageBlank(text[textEnd - 1]))
            --textEnd;
        if (textEnd > at) {
            hash_ = mixed(mixed(hash_, blanks_), text.substr(at, textEnd - at));
            blanks_.clear();
        }
        if (lineEnd == text.size()) {
            blanks_.append(text.substr(textEnd));
            return;
        }
        hash_ = mixed(hash_, "\n");
        blanks_.clear();
        inText_ = false;
        at = lineEnd + 1;
    }
}

std::uint64_t LineTextHash::value() const
{
    return inText_ ? mixed(hash_, "\n") : hash_;
}

std::string LineTextHash::digits() const
{
    static constexpr char kDigits[] = "0123456789abcdef";
    const std::uint64_t hash = value();
    std::string text(16, '0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = kDigits[(hash >> (60 - 4 * i)) & 0xF];
    return text;
}

} // namespace tagwright
