#pragma once

// File names in text. A name may hold any byte but "/" and NUL: a line break, a tab or a
// terminal's escape sequence in it must neither break a line of output nor reach a terminal as
// a command, and the name shown must lead back to the file.

#include <string>
#include <string_view>

namespace tagwright {

// The name as it is when it is printable UTF-8 text; otherwise the whole name in the quoting
// that a POSIX shell reads back ($'new\nline.htm', with the escapes of
// `ls --quoting-style=shell-escape`). A name that itself begins with $' is quoted too, so that a
// quoted name is never taken for a plain one. Blanks need no quoting here: the lines that name
// files keep them apart by a tab, a colon or the line's end.
std::string shellQuotedName(std::string_view name);

// The name as a unified diff's header gives it, so that patch reads it back: in double quotes
// with C escapes when it holds a blank, a double quote, a backslash, a control character or a
// byte above 127 (octal, as GNU diff writes them); else as it is.
std::string diffQuotedName(std::string_view name);

} // namespace tagwright
