#pragma once

#include "support/looks.h"

#include <string>

namespace tagwright {

// Marker characters that stand for simple formatting tags in a prepared line.
namespace marker {
inline constexpr char kHeading6 = 1; // codes 1..6 start headings h6..h1
inline constexpr char kHeading1 = 6;
inline constexpr char kHeadingEnd = 7;
inline constexpr char kBold = 11;
inline constexpr char kBoldEnd = 12;
inline constexpr char kTitle = 14;
inline constexpr char kTitleEnd = 15;
inline constexpr char kItalic = 16;
inline constexpr char kItalicEnd = 17;
} // namespace marker

// Turns the simple formatting tags (bold, strong, italic, em, title, h1..h6, written exactly so,
// without attributes or inner blanks) into their marker characters, the no-break space entities
// into blanks and the quote entities into a double quote. With lowerCaseMode the line has been
// lower-cased and only lower-case tags are looked for; otherwise upper-case forms are marked too.
void markTags(std::string& line, bool lowerCaseMode);

// Replaces the entities of the entity table (and "&quot;") by their Windows-1252 characters,
// matching their names exactly. A character produced is not looked at again, and an unknown
// "&...;" is passed over whole, up to its ";".
void decodeEntities(std::string& line);

struct LinePreparation
{
    bool unixFile = false;     // LF characters inside a line become blanks
    bool utf8 = false;         // UTF-8 forms become Windows-1252 characters
    bool lowerCaseMode = true; // the line is lower-cased
};

// Asked now and then while a long line is prepared (a page without line ends is one line as long
// as the file); once it answers false the preparation is given up.
using KeepPreparing = KeepGoing;

// Prepares one line read from a document for the scanner: trims blanks, then repairs, lower-cases,
// marks tags, decodes entities and appends one blank. False when the trimmed line is empty and
// must be skipped (line untouched otherwise), or when keepPreparing answered false (the line is
// then half prepared and must not be scanned). keepPreparing is asked between the steps of a line
// of at least kBytesPerLook bytes, and once per kBytesPerLook bytes that the repair, the
// lower-casing, tag marking and entity decoding pass over; a shorter line is never asked about.
bool prepareLine(std::string& line, const LinePreparation& how,
                 const KeepPreparing& keepPreparing = {});

} // namespace tagwright
