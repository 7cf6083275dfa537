#include "engine/analysis_settings.h"

#include "support/strings.h"

#include <algorithm>

namespace tagwright {

std::string normaliseWordsToIgnore(std::string_view boxText)
{
    std::string text = lowerCaseAccented(boxText);
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    if (text.empty())
        return text;
    std::replace(text.begin(), text.end(), ' ', ',');
    for (auto doubled = text.find(",,"); doubled != std::string::npos; doubled = text.find(",,"))
        text.erase(doubled, 1);
    if (text.back() == ',')
        text.pop_back();
    return text;
}

std::string wordsToIgnoreList(std::string_view boxText)
{
    return normaliseWordsToIgnore(boxText) + ',';
}

} // namespace tagwright
