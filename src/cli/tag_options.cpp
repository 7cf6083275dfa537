#include "cli/tag_options.h"

#include "cli/option_values.h"

namespace tagwright::cli {

OptionGroup tagOptionGroup()
{
    return {"Tag options",
            {{"max-keywords", "N", "most keywords in the tag, 5..100 (50)"},
             {"max-bytes", "N", "most bytes of the tag, 0..1000; 0 = no limit (500)"},
             {"begin", "PHRASE", "keywords that open the tag, separated by commas"},
             {"no-space-after-comma", "", "no blank after the commas between keywords"},
             {"close-slash", "", "close the tag with \" />\""}}};
}

TagSettings tagSettingsFrom(const ParsedOptions& options)
{
    TagSettings tag;
    tag.maxKeywords = wholeNumberOption(options, "max-keywords", TagSettings::kFewestKeywords,
                                        TagSettings::kMostKeywords, tag.maxKeywords);
    tag.maxBytes =
        wholeNumberOption(options, "max-bytes", 0, TagSettings::kMostBytes, tag.maxBytes);
    tag.beginWith = textOption(options, "begin");
    tag.spaceAfterComma = !options.has("no-space-after-comma");
    tag.forwardSlash = options.has("close-slash");
    return tag;
}

} // namespace tagwright::cli
