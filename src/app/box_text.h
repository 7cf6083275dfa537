#pragma once

#include <QString>

namespace tagwright {

// Texts of the system use CR LF between lines; Qt's text boxes use a line feed.
inline QString toBoxText(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

inline QString fromBoxText(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

} // namespace tagwright
