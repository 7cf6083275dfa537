#pragma once

// Where a command's results go. The output box's texts are Windows-1252 with CR LF; the
// terminal gets UTF-8 with LF.

#include <ostream>
#include <string_view>

namespace tagwright::cli {

class Console
{
  public:
    Console(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // A text as the output box would hold it, ended with a line break if it has none.
    void printBoxText(std::string_view cp1252Text) const;
    // A message of the system (a failure or a warning). Its variable parts are file paths,
    // which are written as the bytes they are.
    void printMessage(std::string_view text) const;
    // "PATH: text" on stderr, the path quoted where it would break the line or act on a
    // terminal (shellQuotedName).
    void printFileMessage(std::string_view path, std::string_view text) const;
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
