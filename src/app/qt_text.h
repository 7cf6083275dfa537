#pragma once

#include "app/dialogs.h"

#include "support/cp1252.h"

#include <QString>

#include <string>
#include <string_view>

namespace tagwright {

// The core's texts are Windows-1252 bytes; the windows hold QStrings.
inline QString fromCp1252(std::string_view text)
{
    return QString::fromStdString(cp1252ToUtf8(text));
}

inline std::string toCp1252(const QString& text)
{
    return utf8ToCp1252(text.toStdString());
}

inline void showUserMessage(Dialogs& dialogs, const UserMessage& message)
{
    dialogs.showMessage(fromCp1252(message.title), fromCp1252(message.text), message.icon);
}

} // namespace tagwright
