#pragma once

#include "app/dialogs.h"

#include "support/cp1252.h"

#include <QFile>
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

// File and folder names are the platform's bytes (UTF-8 here), not Windows-1252 text.
inline std::string toPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

inline QString fromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

inline void showUserMessage(Dialogs& dialogs, const UserMessage& message)
{
    dialogs.showMessage(fromCp1252(message.title), fromCp1252(message.text), message.icon);
}

} // namespace tagwright
