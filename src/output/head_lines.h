#pragma once

// The lines of a page's head as the quick tag readers see them: each line trimmed of spaces
// (tabs stay) with a lower-cased copy; reading stops at a line holding "</head>"; an HTML
// comment is passed over up to the line that closes it, and that line goes too. The line after
// a comment is handed on without being tested for "</head>" or "<!--".

#include "support/line_reader.h"

#include <functional>
#include <string>

namespace tagwright {

enum class LineRead { Line, End, Failed };

// Gives the next line of a file (without its end), End at the end, Failed on a read error.
using LineSource = std::function<LineRead(std::string&)>;

// The lines of a reader as a line source.
LineSource linesOf(LineReader& reader);

class HeadLineScanner {
public:
    explicit HeadLineScanner(LineSource source) : source_(std::move(source)) {}

    // Line, End at the end of the head or the file, Failed on a read error or a comment left
    // open to the end of the file.
    LineRead next(std::string& line, std::string& lower);

private:
    LineRead read(std::string& line, std::string& lower);

    LineSource source_;
};

} // namespace tagwright
