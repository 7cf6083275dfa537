// The existing-tags reader on any page: it always answers with the output box text, never
// crashes on a head that never ends, a comment left open or lines of any length.

#include "fuzz_checks.h"
#include "scratch_folder.h"

#include "output/existing_tags.h"

namespace tagwright::fuzz {

std::string checkExistingTags(std::string_view input)
{
    const ScratchFolder folder;
    const ExistingTags tags = existingTagsOfFile(folder.write("page.htm", input));
    if (tags.refusal)
        return "an existing page was refused: " + tags.refusal->text;
    const bool keywordsShown = tags.text.find("KEYWORDS meta tag: ") != std::string::npos;
    const bool noKeywords = tags.text.ends_with("No keywords meta tag found.");
    const bool failed = tags.text.ends_with("Error when looking for keywords meta tag.");
    if (!keywordsShown && !noKeywords && !failed)
        return "the text names neither a keywords tag nor its absence";
    if (keywordsShown && (noKeywords || failed))
        return "a keywords tag is shown and said to be missing";
    return {};
}

} // namespace tagwright::fuzz
