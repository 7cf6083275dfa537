#pragma once

// The numbered texts that the program shows but does not carry as literals (product name,
// titles, captions, report lines, web addresses, the names of its per-user folder and state
// file). They are read from the program-text file in the program's data folder; the file's
// format is described in data/README.md and at the top of data/qova.dat.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace tagwright {

inline constexpr std::string_view kProgramTextFileName = "qova.dat";

// The program-text file in folder, whether or not the folder ends with "/".
std::string programTextFilePath(std::string_view folder);

class ProgramTextStore
{
  public:
    static constexpr std::size_t kMaxTextLength = 1024;
    // More lines would make the line numbers of the failure results ambiguous.
    static constexpr std::int32_t kMaxLines = 500;
    static constexpr std::int32_t kMaxNumber = 32767;

    // Reads a program-text file in place of the texts held so far; on a failure the texts held
    // so far stay. Returns the number of texts read (1 or more) or a failure result:
    //   0 no text in the file, -1 cannot open, -3 too much text (more than kMaxLines lines),
    //   -5 a line that is neither a text, a language line, a comment nor empty,
    //   -6 empty file, -7 read error,
    //   -1500 - n the number at line n was given before,
    //   -1000 - n the text at line n is longer than kMaxTextLength,
    //   -500 - n line n gives a number but no text.
    std::int32_t load(const std::string& path);

    // Text number n of a language; "~" stands for the empty text, and a number without text
    // gives the empty string too.
    std::string text(std::int32_t number, std::int32_t language = 0) const;

  private:
    std::map<std::pair<std::int32_t, std::int32_t>, std::string> texts_; // (language, number)
};

// The message for a failure result of load, exactly as the user sees it; empty for success.
std::string loadFailureMessage(std::int32_t result, std::string_view path);

} // namespace tagwright
