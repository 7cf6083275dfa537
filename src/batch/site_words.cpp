#include "batch/site_words.h"

#include "support/strings.h"

#include <algorithm>
#include <set>

namespace tagwright {

namespace {

// A word's share of the pages in percent, rounded down, with as many decimals (up to three) as
// it takes to show it above the share asked for.
std::string shareText(std::int32_t pages, std::int32_t total, int percent)
{
    std::int64_t scale = 1;
    for (int decimals = 0;; ++decimals, scale *= 10) {
        const std::int64_t scaled = std::int64_t{pages} * 100 * scale / total;
        if (scaled > percent * scale || decimals == 3) {
            std::string text = std::to_string(scaled / scale);
            if (decimals > 0) {
                const std::string fraction = std::to_string(scaled % scale + scale);
                text += '.';
                text.append(fraction, 1);
            }
            return text + "%";
        }
    }
}

} // namespace

void SiteWordTally::addTag(const std::vector<std::string>& words)
{
    ++pages_;
    std::set<std::string> once;
    for (const std::string& word : words)
        once.insert(lowerCaseAccented(word));
    for (const std::string& word : once)
        ++pagesOf_[word];
}

SiteWords SiteWordTally::siteWords(int percent) const
{
    SiteWords found{percent, pages_, {}};
    if (pages_ < kFewestPagesForSiteWords)
        return found;
    for (const auto& [word, pages] : pagesOf_) {
        if (std::int64_t{pages} * 100 > std::int64_t{percent} * pages_)
            found.words.push_back({word, pages});
    }
    std::ranges::stable_sort(found.words, std::ranges::greater{}, &SiteWord::pages);
    return found;
}

std::string siteWordsProgressText(std::int32_t pagesExamined)
{
    return std::string(kFindingSiteWords) + " " + std::to_string(pagesExamined) +
           (pagesExamined == 1 ? " file" : " files") + " examined.";
}

std::string siteWordsReportLine(const SiteWords& siteWords)
{
    const std::string share = std::to_string(siteWords.percent) + "% of the " +
                              std::to_string(siteWords.pagesTagged) + " pages tagged";
    if (siteWords.pagesTagged < kFewestPagesForSiteWords)
        return std::string(kSiteWordsLineStart) + ": none, since fewer than " +
               std::to_string(kFewestPagesForSiteWords) + " pages are tagged (" +
               std::to_string(siteWords.pagesTagged) + ").\r\n";
    if (siteWords.words.empty())
        return std::string(kSiteWordsLineStart) + ": none on more than " + share + ".\r\n";
    std::string line = std::string(kSiteWordsLineStart) + ", on more than " + share +
                       ", left out of every tag: ";
    for (const SiteWord& word : siteWords.words) {
        if (&word != &siteWords.words.front())
            line += ", ";
        line += word.word + " " + shareText(word.pages, siteWords.pagesTagged, siteWords.percent);
    }
    return line + ".\r\n";
}

} // namespace tagwright
