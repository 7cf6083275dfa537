#pragma once

// The lines of a page's head as the quick tag readers see them: each line trimmed of spaces
// (tabs stay) with its live markup, the lower-cased copy in which comments and the content of
// scripts and styles are blanked (LiveMarkup, as the head rewrite sees it), so that the readers
// find the tags and markers that the rewrite would replace. Reading ends with the part of a line
// before "</head>"; a comment left open to the end of the file is a failure.

#include "output/live_markup.h"
#include "support/line_reader.h"

#include <functional>
#include <string>

namespace tagwright {

enum class LineRead { Line, End, Failed };

// Gives the next line of a file (without its end), End at the end, Failed on a read error.
using LineSource = std::function<LineRead(std::string&)>;

// The lines of a reader as a line source for HeadLineScanner, which needs no more of a line than
// up to its first "</head>": a line is read no further than one buffer past it (a page without
// line ends is one line as long as the file), and the reader is done with.
LineSource linesOf(LineReader& reader);

class HeadLineScanner
{
  public:
    explicit HeadLineScanner(LineSource source) : source_(std::move(source)) {}

    // Line, End at the end of the head or the file, Failed on a read error or a comment left
    // open to the end of the file.
    LineRead next(std::string& line, std::string& live);

  private:
    LineSource source_;
    LiveMarkup markup_;
    bool headEnded_ = false;
};

} // namespace tagwright
