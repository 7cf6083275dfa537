#pragma once

#include <string>

namespace tagwright {

enum class MessageIcon { None, Information, Warning };

// A message the core wants shown to the user; the caller decides how (a message box, stderr).
// Lines of the text are separated by CR LF.
struct UserMessage
{
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::None;

    bool operator==(const UserMessage&) const = default;
};

} // namespace tagwright
