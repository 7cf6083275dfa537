#include "batch/site_report.h"

#include "output/meta_tag.h"
#include "support/cp1252.h"
#include "support/html_text.h"
#include "support/quoted_name.h"
#include "support/strings.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <unordered_map>

namespace tagwright {

namespace {

// Light and dark by the reader's theme, plain black on white on paper.
constexpr std::string_view kStyle = R"(:root{color-scheme:light dark;--fg:#1d2329;--bg:#fff;
--muted:#5b6570;--line:#d5dbe1;--head:#eef2f5;--bar:#3b73b9;--ins:#116a2b;--ins-bg:#dcf5e3;
--del:#a5192b;--del-bg:#fde6e8;--fail:#b3261e;--group:#f6f8fa}
@media (prefers-color-scheme:dark){:root{--fg:#e3e8ed;--bg:#12161b;--muted:#98a4b0;
--line:#343c45;--head:#1d242c;--bar:#6ea3e6;--ins:#7ee2a0;--ins-bg:#113520;--del:#ff9aa5;
--del-bg:#45141b;--fail:#ff8a80;--group:#181e25}}
body{margin:2em auto;max-width:72em;padding:0 1em;font:15px/1.45 system-ui,sans-serif;
color:var(--fg);background:var(--bg)}
h1{font-size:1.5em;margin:0 0 .2em}h2{font-size:1.2em;margin:1.6em 0 .5em}
.muted,.note{color:var(--muted)}.note{font-style:italic}
dl.counts{display:grid;grid-template-columns:max-content max-content;gap:.15em 1.2em}
dl.counts dt{color:var(--muted)}dl.counts dd{margin:0;font-variant-numeric:tabular-nums}
dl.counts ul{margin:0;padding-left:1.2em}
.failures li{margin:.2em 0}.failures .cause,.failed td:nth-child(2){color:var(--fail)}
svg.chart{max-width:100%;height:auto}svg.chart text{fill:currentColor;font-size:13px}
svg.chart rect{fill:var(--bar)}
table{border-collapse:collapse;width:100%;table-layout:fixed}
th,td{border-bottom:1px solid var(--line);padding:.3em .5em;text-align:left;vertical-align:top;
overflow-wrap:anywhere}
thead th{background:var(--head);position:sticky;top:0}
tr.group th{background:var(--group);font-weight:600}
col.page{width:24%}col.result{width:16%}col.check{width:10%}
ins{color:var(--ins);background:var(--ins-bg);text-decoration:none}
del{color:var(--del);background:var(--del-bg)}
a{color:inherit}
div.rows{content-visibility:auto;contain-intrinsic-size:auto 20000px}
@media print{:root{--fg:#000;--bg:#fff;--muted:#444;--line:#999;--head:#eee;--bar:#555;
--ins:#000;--ins-bg:#ddd;--del:#000;--del-bg:#fff;--fail:#000;--group:#f2f2f2}
body{margin:0;max-width:none;font-size:10pt}thead th{position:static}
div.rows{content-visibility:visible}
thead{display:table-header-group}tr{break-inside:avoid}a{text-decoration:none}
ins{font-weight:600}del{text-decoration:line-through}})";

constexpr int kChartRow = 24;
constexpr int kChartLabels = 210;
constexpr int kChartBars = 380;
constexpr int kChartWidth = 660;
constexpr std::size_t kLongestLabel = 30; // characters of a chart's label
constexpr int kRowsABlock = 500;

struct Bar
{
    std::string label; // Windows-1252
    double value = 0;
    std::string valueText;
};

// Windows-1252 text (tags, reasons, settings) in the page.
std::string shown(std::string_view cp1252)
{
    return htmlEscaped(cp1252ToUtf8(cp1252));
}

// A file name: its own bytes when they are text, else as a shell reads it back.
std::string shownName(std::string_view name)
{
    return htmlEscaped(shellQuotedName(name));
}

// A written page's words tell whether the run only looked; an unchanged one's say what stayed.
std::string_view resultText(PageResult result, bool wouldBe)
{
    if (result == PageResult::Written)
        return wouldBe ? "would be tagged" : "tagged";
    return result == PageResult::Unchanged ? "same tag" : resultName(result);
}

// The class of a page's row: the first word of its result's name, "same" for an unchanged page.
std::string_view resultClass(PageResult result)
{
    if (result == PageResult::Unchanged)
        return "same";
    const std::string_view name = resultName(result);
    return name.substr(0, name.find(' '));
}

bool isTag(const std::string* text)
{
    return text != nullptr && text->starts_with('<');
}

// The keywords of a tag, in lower case, each once.
std::vector<std::string> keywordSet(const std::string& tag)
{
    std::vector<std::string> words = keywordsOfTag(tag);
    for (std::string& word : words)
        lowerCaseAccentedInPlace(word);
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

std::string numberWithSeparators(long long number)
{
    const std::string digits = std::to_string(number < 0 ? -number : number);
    std::string text = number < 0 ? "-" : "";
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0)
            text += ',';
        text += digits[at];
    }
    return text;
}

} // namespace

class SiteReportWriter
{
  public:
    SiteReportWriter(const SiteReport& report, PageWriter& out, const std::string& linkBase)
        : report_(report), run_(report.run_), out_(out)
    {
        namespace fs = std::filesystem;
        std::error_code error;
        base_ = fs::weakly_canonical(fs::absolute(linkBase, error), error);
        const fs::path folder = fs::weakly_canonical(fs::absolute(run_.folder, error), error);
        fromBase_ = folder.lexically_relative(base_).string();
        folderPrefix_ = run_.folder.ends_with('/') ? run_.folder : run_.folder + "/";
        for (const PageFailure& failure : report.counts_.failures)
            causes_.emplace(failure.path, failure.cause);
        for (const Page& page : report.pages_)
            if (const std::string* tag = carriedTag(page))
                ++tagPages_[tag];
    }

    void write()
    {
        writeHead();
        writeRun();
        writeCounts();
        writeFailures();
        writeKeywords();
        writeSiteWords();
        writePages();
        put("</main>\n</body>\n</html>\n");
    }

  private:
    using Page = SiteReport::Page;

    void put(std::string_view text) { out_.writeBytes(text); }

    std::string_view title() const { return run_.check ? "Check" : "Batch run"; }

    void writeHead()
    {
        put("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\" />\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />\n"
            "<meta name=\"color-scheme\" content=\"light dark\" />\n<title>");
        put(title());
        put(" over ");
        put(shownName(run_.folder));
        put(" - Tagwright</title>\n<style>\n");
        put(kStyle);
        put("\n</style>\n</head>\n<body>\n<main>\n");
    }

    void writeRun()
    {
        put("<header id=\"run\">\n<h1>");
        put(title());
        put(" over <code>");
        put(shownName(run_.folder));
        put("</code></h1>\n<p class=\"muted\">");
        put(htmlEscaped(run_.date));
        if (run_.dryRun)
            put(" &#183; dry run: no page was written");
        put(" &#183; ");
        if (run_.settings.empty()) {
            put("default settings");
        } else {
            std::string settings;
            for (const std::string& setting : run_.settings)
                settings.append(settings.empty() ? "" : "; ").append(setting);
            put(shown(settings));
        }
        put("</p>\n</header>\n");
    }

    void countLine(std::string_view label, long long count)
    {
        put("<dt>");
        put(label);
        put("</dt><dd>");
        put(numberWithSeparators(count));
        put("</dd>\n");
    }

    // The pages of one result, or of each verdict, by their reasons, most first.
    void countsByText(std::string_view label, const std::vector<const Page*>& pages,
                      const std::string* Page::*text)
    {
        std::map<std::string, long long> byText;
        for (const Page* page : pages)
            ++byText[page->*text ? *(page->*text) : std::string()];
        std::vector<std::pair<std::string, long long>> sorted(byText.begin(), byText.end());
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        put("<dt>");
        put(label);
        put("</dt><dd>");
        put(numberWithSeparators(static_cast<long long>(pages.size())));
        if (!sorted.empty() && !(sorted.size() == 1 && sorted.front().first.empty())) {
            put("<ul>");
            for (const auto& [reason, count] : sorted) {
                put("<li>");
                put(reason.empty() ? std::string("other") : shown(reason));
                put(": ");
                put(numberWithSeparators(count));
                put("</li>");
            }
            put("</ul>");
        }
        put("</dd>\n");
    }

    void writeCounts()
    {
        const BatchCounts& counts = report_.counts_;
        std::map<PageResult, std::vector<const Page*>> byResult;
        std::vector<const Page*> failing;
        for (const Page& page : report_.pages_) {
            byResult[page.result].push_back(&page);
            if (page.verdict)
                failing.push_back(&page);
        }
        const auto count = [&](PageResult result) {
            return static_cast<long long>(byResult[result].size());
        };
        put("<section id=\"counts\">\n<h2>Counts</h2>\n<dl class=\"counts\">\n");
        countLine("Pages examined", counts.filesExamined);
        if (run_.check) {
            countLine("Passing", static_cast<long long>(report_.pages_.size() - failing.size()));
            countsByText("Failing", failing, &Page::verdict);
        } else {
            countLine(run_.dryRun ? "Would be tagged" : "Tagged", counts.filesInserted);
            countLine("Same tag", count(PageResult::Unchanged));
            countLine("Done already", count(PageResult::DoneAlready));
            countsByText("Passed over", byResult[PageResult::PassedOver], &Page::reason);
        }
        countLine(run_.check ? "Errors" : "Failed",
                  static_cast<long long>(counts.failures.size()));
        countLine("Folders walked", counts.foldersWalked);
        put("</dl>\n</section>\n");
    }

    void writeFailures()
    {
        const std::vector<PageFailure>& failures = report_.counts_.failures;
        if (failures.empty())
            return;
        put("<section id=\"failures\">\n<h2>Failures</h2>\n<ol class=\"failures\">\n");
        for (const PageFailure& failure : failures) {
            put("<li>");
            putLink(failure.path);
            put(": <span class=\"cause\">");
            put(htmlEscaped(failure.cause));
            put("</span></li>\n");
        }
        put("</ol>\n</section>\n");
    }

    // The tag a page carries after the run: the one written or kept, else its old one.
    static const std::string* carriedTag(const Page& page)
    {
        if ((page.result == PageResult::Written || page.result == PageResult::Unchanged) &&
            isTag(page.newTag))
            return page.newTag;
        return isTag(page.oldTag) ? page.oldTag : nullptr;
    }

    void writeKeywords()
    {
        std::unordered_map<std::string, long long> pagesOf;
        for (const auto& [tag, pages] : tagPages_)
            for (std::string& keyword : keywordSet(*tag))
                pagesOf[std::move(keyword)] += pages;
        std::vector<std::pair<std::string, long long>> keywords(pagesOf.begin(), pagesOf.end());
        const std::size_t shown = std::min(kChartedKeywords, keywords.size());
        std::partial_sort(keywords.begin(), keywords.begin() + static_cast<std::ptrdiff_t>(shown),
                          keywords.end(), [](const auto& a, const auto& b) {
                              return a.second != b.second ? a.second > b.second : a.first < b.first;
                          });
        std::vector<Bar> bars;
        for (std::size_t i = 0; i < shown; ++i)
            bars.push_back({keywords[i].first, static_cast<double>(keywords[i].second),
                            numberWithSeparators(keywords[i].second)});
        put("<section id=\"keywords\">\n<h2>Keywords in the most tags</h2>\n");
        if (bars.empty())
            put("<p class=\"note\">No page carries a keywords tag.</p>\n");
        else
            writeChart(bars, "Pages whose tag holds each keyword");
        put("</section>\n");
    }

    void writeSiteWords()
    {
        const std::optional<SiteWords>& siteWords = report_.counts_.siteWords;
        if (!siteWords)
            return;
        std::vector<Bar> bars;
        for (const SiteWord& word : siteWords->words) {
            const long long percent =
                siteWords->pagesTagged > 0 ? 100LL * word.pages / siteWords->pagesTagged : 0;
            bars.push_back({word.word, static_cast<double>(word.pages),
                            numberWithSeparators(word.pages) + " (" + std::to_string(percent) +
                                "%)"});
        }
        put("<section id=\"site-words\">\n<h2>Site words left out of every tag</h2>\n<p>");
        put("Words among the keywords of more than " + std::to_string(siteWords->percent) +
            "% of the " + numberWithSeparators(siteWords->pagesTagged) + " pages tallied");
        put(bars.empty() ? ": none.</p>\n" : ".</p>\n");
        if (!bars.empty())
            writeChart(bars, "Pages whose keywords held each site word");
        put("</section>\n");
    }

    void writeChart(const std::vector<Bar>& bars, std::string_view caption)
    {
        double most = 0;
        for (const Bar& bar : bars)
            most = std::max(most, bar.value);
        const int height = kChartRow * static_cast<int>(bars.size()) + 8;
        const std::string size = std::to_string(kChartWidth) + " " + std::to_string(height);
        put("<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" role=\"img\" viewBox=\"0 0 ");
        put(size);
        put("\" width=\"" + std::to_string(kChartWidth) + "\" height=\"" + std::to_string(height) +
            "\">\n<title>");
        put(caption);
        put("</title>\n");
        int y = 4;
        for (const Bar& bar : bars) {
            const int width = most > 0 ? std::max(1, static_cast<int>(bar.value / most * kChartBars))
                                       : 1;
            std::string label = bar.label;
            if (label.size() > kLongestLabel)
                label = label.substr(0, kLongestLabel - 1) + "\x85"; // an ellipsis
            const std::string baseline = std::to_string(y + 16);
            put("<g><text x=\"" + std::to_string(kChartLabels - 8) + "\" y=\"" + baseline +
                "\" text-anchor=\"end\">");
            put(shown(label));
            put("</text><rect class=\"bar\" x=\"" + std::to_string(kChartLabels) + "\" y=\"" +
                std::to_string(y + 4) + "\" width=\"" + std::to_string(width) +
                "\" height=\"16\" rx=\"2\"><title>");
            put(shown(bar.label));
            put(": ");
            put(bar.valueText);
            put("</title></rect><text x=\"" + std::to_string(kChartLabels + width + 6) +
                "\" y=\"" + baseline + "\">");
            put(bar.valueText);
            put("</text></g>\n");
            y += kChartRow;
        }
        put("</svg>\n");
    }

    void writePages()
    {
        // Pages that carry the very same tag, most first; the rest in the walk's order.
        std::unordered_map<const std::string*, std::vector<const Page*>> byTag;
        for (const Page& page : report_.pages_)
            if (const std::string* tag = carriedTag(page); tag && tagPages_.at(tag) > 1)
                byTag[tag].push_back(&page);
        std::vector<const std::vector<const Page*>*> groups;
        for (const auto& [tag, pages] : byTag)
            groups.push_back(&pages);
        std::sort(groups.begin(), groups.end(), [](const auto* a, const auto* b) {
            return a->size() != b->size() ? a->size() > b->size() : a->front() < b->front();
        });
        tableStart_ = "<div class=\"rows\">\n<table>\n<colgroup><col class=\"page\" />";
        if (run_.check)
            tableStart_ += "<col class=\"check\" />";
        tableStart_ += "<col class=\"result\" /><col /><col /></colgroup>\n<thead><tr><th>Page</th>";
        if (run_.check)
            tableStart_ += "<th>Check</th>";
        tableStart_ += "<th>Result</th><th>Old tag</th><th>New tag</th></tr></thead>\n";
        const std::string columns = run_.check ? "5" : "4";
        put("<section id=\"pages\">\n<h2>Pages</h2>\n");
        put(tableStart_);
        for (const auto* group : groups) {
            openBody("same-tag");
            startRow();
            put("<tr class=\"group\"><th colspan=\"" + columns +
                "\" scope=\"rowgroup\">The very same tag on " +
                numberWithSeparators(static_cast<long long>(group->size())) + " pages</th></tr>\n");
            for (const Page* page : *group)
                writeRow(*page);
            put("</tbody>\n");
        }
        openBody({});
        bool any = false;
        for (const Page& page : report_.pages_) {
            if (const std::string* tag = carriedTag(page); tag && tagPages_.at(tag) > 1)
                continue;
            writeRow(page);
            any = true;
        }
        if (!any)
            put("<tr><td colspan=\"" + columns + "\" class=\"note\">" +
                (groups.empty() ? "No page was examined." : "Every page shares its tag.") +
                "</td></tr>\n");
        put("</tbody>\n</table>\n</div>\n</section>\n");
    }

    // The rows go in tables of kRowsABlock rows each, which a browser lays out only when they
    // come into view, so that a site of any size opens at once.
    void openBody(std::string_view bodyClass)
    {
        bodyClass_ = bodyClass;
        put(bodyClass_.empty() ? "<tbody>\n" : "<tbody class=\"" + bodyClass_ + "\">\n");
    }

    void startRow()
    {
        if (rowsInBlock_++ < kRowsABlock)
            return;
        put("</tbody>\n</table>\n</div>\n");
        put(tableStart_);
        openBody(std::string(bodyClass_));
        rowsInBlock_ = 1;
    }

    void writeRow(const Page& page)
    {
        startRow();
        put("<tr class=\"page ");
        put(resultClass(page.result));
        put("\"><td>");
        putLink(page.path);
        put("</td>");
        if (run_.check) {
            put("<td>");
            put(page.verdict ? shown(*page.verdict) : "passes");
            put("</td>");
        }
        put("<td>");
        put(resultText(page.result, run_.dryRun || run_.check));
        if (page.result == PageResult::PassedOver && page.reason) {
            put(": ");
            put(shown(*page.reason));
        }
        if (page.result == PageResult::Failed) {
            if (const auto cause = causes_.find(page.path); cause != causes_.end()) {
                put(": ");
                put(htmlEscaped(cause->second));
            }
        }
        put("</td><td>");
        if (page.result == PageResult::Unchanged)
            put("<span class=\"note\">the same</span>");
        else
            putKeywords(page.oldTag, page.newTag, "del");
        put("</td><td>");
        putKeywords(page.newTag, page.oldTag, "ins");
        put("</td></tr>\n");
    }

    // A tag's keywords; those the other tag lacks marked (ins: added, del: removed).
    void putKeywords(const std::string* tag, const std::string* other, std::string_view mark)
    {
        if (tag == nullptr)
            return;
        if (!isTag(tag)) {
            put("<span class=\"note\">");
            put(shown(*tag));
            put("</span>");
            return;
        }
        const std::vector<std::string> keywords = keywordsOfTag(*tag);
        if (keywords.empty()) {
            put("<span class=\"note\">no keywords</span>");
            return;
        }
        const std::vector<std::string> others =
            isTag(other) && other != tag ? keywordSet(*other) : std::vector<std::string>();
        const bool marks = isTag(other) && other != tag;
        std::string html;
        for (const std::string& keyword : keywords) {
            if (!html.empty())
                html += ", ";
            const bool changed =
                marks && !std::binary_search(others.begin(), others.end(),
                                             lowerCaseAccented(keyword));
            if (changed)
                html.append("<").append(mark).append(">");
            html += shown(keyword);
            if (changed)
                html.append("</").append(mark).append(">");
        }
        put(html);
    }

    // The path, named from the run's folder, as a link to the page from the report's folder.
    void putLink(const std::string& path)
    {
        std::string relative;
        std::string named;
        if (path.starts_with(folderPrefix_)) {
            named = path.substr(folderPrefix_.size());
            relative = (std::filesystem::path(fromBase_) / named).lexically_normal().string();
        } else {
            namespace fs = std::filesystem;
            std::error_code error;
            named = path;
            const fs::path absolute = fs::absolute(path, error);
            relative = (fs::weakly_canonical(absolute.parent_path(), error) / absolute.filename())
                           .lexically_relative(base_)
                           .string();
        }
        put("<a href=\"");
        put(htmlEscaped(relativeHref(relative)));
        put("\">");
        put(shownName(named));
        put("</a>");
    }

    const SiteReport& report_;
    const ReportedRun& run_;
    PageWriter& out_;
    std::filesystem::path base_;
    std::string fromBase_;     // the run's folder as seen from the report's
    std::string folderPrefix_; // the run's folder as pages' paths begin with it
    std::unordered_map<std::string, std::string> causes_;
    std::unordered_map<const std::string*, long long> tagPages_; // the pages carrying each tag
    std::string tableStart_; // what opens each table of rows
    std::string bodyClass_;  // the class of the row group being written
    int rowsInBlock_ = 0;
};

void SiteReport::write(PageWriter& out, const std::string& linkBase) const
{
    SiteReportWriter(*this, out, linkBase).write();
}

} // namespace tagwright
