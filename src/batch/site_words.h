#pragma once

// Site words: the words that stand among the keywords of more than a share of a run's pages, a
// site's navigation and boilerplate that every page repeats. A run that asks for them tallies
// the tags its pages would get, then leaves these words out of every tag.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tagwright {

// The shares a run may ask for, in percent: at 0 every word of any tag would go, at 100 none.
inline constexpr int kFewestSiteWordsPercent = 1;
inline constexpr int kMostSiteWordsPercent = 99;
// A run over fewer tagged pages finds no site words: a word then says little about a site.
inline constexpr std::int32_t kFewestPagesForSiteWords = 10;

// Every report line about the site words begins so.
inline constexpr std::string_view kSiteWordsLineStart = "Site words";
// What a run shows while it finds them, before its first page.
inline constexpr std::string_view kFindingSiteWords = "Finding the site words ...";

struct SiteWord
{
    std::string word;       // lower case, Windows-1252
    std::int32_t pages = 0; // whose tags hold it

    bool operator==(const SiteWord&) const = default;
};

struct SiteWords
{
    int percent = 0;              // the share asked for
    std::int32_t pagesTagged = 0; // the pages whose tags were tallied
    std::vector<SiteWord> words;  // most pages first; equal counts in the words' order

    bool operator==(const SiteWords&) const = default;
};

// The tags of a run's pages, page by page.
class SiteWordTally
{
  public:
    // The words a page's tag takes from its table; each counts once for the page, in any case.
    void addTag(const std::vector<std::string>& words);
    // The words on more than percent of the pages tallied; none below kFewestPagesForSiteWords.
    SiteWords siteWords(int percent) const;

  private:
    std::int32_t pages_ = 0;
    std::map<std::string, std::int32_t, std::less<>> pagesOf_;
};

// The report's line about them, with its CR LF: each word with its share of the pages.
std::string siteWordsReportLine(const SiteWords& siteWords);

// The progress label while they are found, once that many pages were examined:
// "Finding the site words ... 12 files examined."
std::string siteWordsProgressText(std::int32_t pagesExamined);

} // namespace tagwright
