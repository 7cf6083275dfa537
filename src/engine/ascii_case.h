#pragma once

namespace tagwright {

// Lower case for the ASCII letters only. The tag names and attributes that the analysis looks
// for are ASCII, and no other Windows-1252 character lower-cases to an ASCII letter, so comparing
// through this is the same as comparing through lowerCaseAccented, without building strings.
inline char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace tagwright
