#include "cli/console.h"

#include "support/cp1252.h"
#include "support/quoted_name.h"

#include <string>

namespace tagwright::cli {

namespace {

std::string withUnixLineEnds(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            result += text[i];
    if (!result.empty() && result.back() != '\n')
        result += '\n';
    return result;
}

} // namespace

void Console::printBoxText(std::string_view cp1252Text) const
{
    out_ << withUnixLineEnds(cp1252ToUtf8(cp1252Text));
    out_.flush();
}

void Console::printMessage(std::string_view text) const
{
    // A message box text may end in empty lines; the terminal gets one line end.
    text = text.substr(0, text.find_last_not_of("\r\n") + 1);
    err_ << withUnixLineEnds(text);
    err_.flush();
}

void Console::printFileMessage(std::string_view path, std::string_view text) const
{
    printMessage(shellQuotedName(path) + ": " + std::string(text));
}

void Console::printPlain(std::string_view text) const
{
    out_ << withUnixLineEnds(text);
    out_.flush();
}

void Console::printBytes(std::string_view bytes) const
{
    out_ << bytes;
    out_.flush();
}

} // namespace tagwright::cli
