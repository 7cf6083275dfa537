#pragma once

#include <QString>

#include <algorithm>
#include <string>

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

// A tab typed or pasted into a box never reaches a page: the tag written has a blank there.
inline std::string tagWithoutTabs(std::string tag)
{
    std::replace(tag.begin(), tag.end(), '\t', ' ');
    return tag;
}

} // namespace tagwright
