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

// A message box's lines, each without the blanks at its ends, joined by single blanks.
std::string oneLine(std::string_view text)
{
    std::string joined;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        const std::size_t first = line.find_first_not_of(' ');
        if (first != std::string_view::npos) {
            line = line.substr(first, line.find_last_not_of(' ') + 1 - first);
            joined.append(joined.empty() ? "" : " ").append(line);
        }
        at = end + 1;
    }
    return joined;
}

} // namespace

std::string terminalText(std::string_view cp1252Text)
{
    return withUnixLineEnds(cp1252ToUtf8(cp1252Text));
}

void Console::printBoxText(std::string_view cp1252Text) const
{
    out_ << terminalText(cp1252Text);
    out_.flush();
}

void Console::printMessage(std::string_view text) const
{
    err_ << kProgramName << ": " << oneLine(text) << '\n';
    err_.flush();
}

void Console::printFileMessage(std::string_view path, std::string_view text,
                               std::string_view cause) const
{
    std::string message = oneLine(text);
    if (!cause.empty()) {
        if (message.ends_with('.'))
            message.pop_back();
        message.append(": ").append(oneLine(cause));
    }
    if (path.empty()) {
        printMessage(message);
        return;
    }
    err_ << kProgramName << ": " << shellQuotedName(path) << ": " << message << '\n';
    err_.flush();
}

void Console::printNote(std::string_view text) const
{
    err_ << withUnixLineEnds(text);
    err_.flush();
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
