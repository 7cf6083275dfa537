#include "cli/site_words_option.h"

#include "cli/option_values.h"
#include "support/cp1252.h"

namespace tagwright::cli {

OptionSpec siteWordsOption()
{
    return {"site-words", "PERCENT",
            "leave out of every tag the words found among the keywords of more than PERCENT (" +
                std::to_string(kFewestSiteWordsPercent) + ".." +
                std::to_string(kMostSiteWordsPercent) + ") of the pages (site navigation)"};
}

int siteWordsFrom(const ParsedOptions& options)
{
    return wholeNumberOption(options, "site-words", kFewestSiteWordsPercent,
                             kMostSiteWordsPercent, 0);
}

nlohmann::json siteWordsJson(const SiteWords& siteWords)
{
    nlohmann::json words = nlohmann::json::array();
    for (const SiteWord& word : siteWords.words)
        words.push_back({{"word", cp1252ToUtf8(word.word)}, {"pages", word.pages}});
    return {{"type", "siteWords"},
            {"percent", siteWords.percent},
            {"pagesTagged", siteWords.pagesTagged},
            {"words", words}};
}

} // namespace tagwright::cli
