#pragma once

// --site-words PERCENT of batch and check: the words among the keywords of more than PERCENT of
// the run's pages are left out of every tag.

#include "batch/site_words.h"
#include "cli/option_parser.h"

#include <nlohmann/json.hpp>

namespace tagwright::cli {

OptionSpec siteWordsOption();

// The share asked for, in percent; 0 (the rule off) when the option is absent. Throws UsageError
// for a value that is no whole number from kFewestSiteWordsPercent to kMostSiteWordsPercent.
int siteWordsFrom(const ParsedOptions& options);

// {"type": "siteWords", "percent", "pagesTagged", "words": [{"word", "pages"}]}, the words as
// UTF-8, most pages first.
nlohmann::json siteWordsJson(const SiteWords& siteWords);

} // namespace tagwright::cli
