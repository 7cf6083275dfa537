#pragma once

// Where a command's results go. The output box's texts are Windows-1252 with CR LF; the
// terminal gets UTF-8 with LF. Failures and warnings go to stderr as GNU tools write them:
// "tagwright-cli: PATH: reason", one line each, so that a shell loop knows which file failed.

#include <ostream>
#include <string>
#include <string_view>

namespace tagwright::cli {

inline constexpr std::string_view kProgramName = "tagwright-cli";

// A text of the core (Windows-1252, CR LF) as the terminal gets it: UTF-8 with LF, ended with a
// line break if it has none.
std::string terminalText(std::string_view cp1252Text);

class Console
{
  public:
    Console(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // A text as the output box would hold it, ended with a line break if it has none.
    void printBoxText(std::string_view cp1252Text) const;
    // "tagwright-cli: text" on stderr: a failure or warning that no one file stands for. A
    // message box's text of several lines becomes one line.
    void printMessage(std::string_view text) const;
    // "tagwright-cli: PATH: text" on stderr, the path quoted where it would break the line or
    // act on a terminal (shellQuotedName); with a cause, "...: text: cause", the text's full
    // stop dropped (the system's description of a failure behind the message).
    void printFileMessage(std::string_view path, std::string_view text,
                          std::string_view cause = {}) const;
    // A line of information on stderr as it is (the counts of a run).
    void printNote(std::string_view text) const;
    // Plain UTF-8 text for stdout (help, version).
    void printPlain(std::string_view text) const;
    // Bytes for stdout exactly as given (a diff in a page's own bytes).
    void printBytes(std::string_view bytes) const;

    // False once writing to stdout has failed (a full disk, a closed pipe).
    bool outputWritten() const { return out_.good(); }

  private:
    std::ostream& out_;
    std::ostream& err_;
};

} // namespace tagwright::cli
