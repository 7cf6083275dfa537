#pragma once

// Text and links for an HTML document that the program writes. What goes in comes from pages and
// file names, which may hold any byte: nothing of it may end an element, an attribute or a
// link, nor make a link that does more than lead to a file.

#include <string>
#include <string_view>

namespace tagwright {

// UTF-8 text with &, <, >, " and ' as character references, so that it stands as text in an
// element or a quoted attribute; a byte that is not UTF-8 and a control character other than a
// tab or a line feed become U+FFFD.
std::string htmlEscaped(std::string_view utf8);

// A relative link to a file, from a relative path of bytes ("sub/page.htm", "../site/a b.htm"):
// every byte of its names but letters, digits and "-._~" percent-encoded, so that no name can
// make it a link with a scheme ("javascript:") or a query; "./" goes first unless it begins
// with "../".
std::string relativeHref(std::string_view relativePath);

} // namespace tagwright
