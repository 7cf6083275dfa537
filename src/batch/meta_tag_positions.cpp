#include "batch/meta_tag_positions.h"

namespace tagwright {

namespace {

TagSpan findNamedMetaTag(std::string_view lowerLine, std::string_view quotedName)
{
    const auto name = lowerLine.find(quotedName);
    if (name == std::string_view::npos)
        return {};
    // The last "<meta " that begins at or before the name.
    const auto open = lowerLine.rfind("<meta ", name);
    if (open == std::string_view::npos)
        return {};
    const auto close = lowerLine.find('>', name + quotedName.size());
    return {open + 1, close == std::string_view::npos ? 0 : close + 1};
}

} // namespace

TagSpan findKeywordsMetaTag(std::string_view lowerLine)
{
    return findNamedMetaTag(lowerLine, "\"keywords\"");
}

TagSpan findDoneMetaTag(std::string_view lowerLine)
{
    return findNamedMetaTag(lowerLine, "\"qova done\"");
}

} // namespace tagwright
