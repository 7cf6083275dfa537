// A batch run over 1,000 generated pages of about 20 KB each, with insertion, backups, done
// markers and logging on, as a person would run it over a site: pages per second, with one job
// (the sequential run) and with the pages analysed ahead on two and four threads.

#include "batch/batch_driver.h"
#include "output/common_word_lists.h"
#include "support/dates.h"
#include "support/program_text.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kPages = 1000;
constexpr std::size_t kPageSize = 20 * 1024;

// Words of ordinary prose: common ones from the English list first (the most frequent), then
// topic words, so that the analysis has both to drop and to count.
std::vector<std::string> vocabulary()
{
    std::vector<std::string> words;
    std::ifstream list(std::string(TAGWRIGHT_SOURCE_DATA_DIR) + "/cwds_en.txt");
    for (std::string word; list >> word && words.size() < 300;)
        words.push_back(word);
    std::mt19937 random(7);
    const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    for (int i = 0; i < 3000; ++i) {
        std::string word;
        const int length = 4 + static_cast<int>(random() % 8);
        for (int k = 0; k < length; ++k)
            word += letters[random() % letters.size()];
        words.push_back(word);
    }
    return words;
}

std::string makePage(std::mt19937& random, const std::vector<std::string>& words)
{
    // Word frequencies fall off as in prose: the k-th word is about 1/k as frequent as the first.
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const double logCount = std::log(static_cast<double>(words.size()));
    const auto word = [&] {
        return words[static_cast<std::size_t>(std::exp(uniform(random) * logCount)) - 1];
    };
    std::string page = "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" "
                       "content=\"text/html; charset=windows-1252\">\r\n<title>" +
                       word() + " " + word() + " " + word() +
                       "</title>\r\n<meta name=\"description\" content=\"" + word() + " " + word() +
                       " " + word() + " " + word() + "\">\r\n<meta name=\"keywords\" content=\"" +
                       word() + ", " + word() + "\">\r\n</head>\r\n<body>\r\n<h1>" + word() + " " +
                       word() + "</h1>\r\n";
    while (page.size() < kPageSize) {
        page += "<p>";
        for (int i = 0; i < 14; ++i)
            page += (i == 5 ? "<b>" + word() + "</b>" : word()) + " ";
        page += "</p>\r\n";
        if (random() % 10 == 0)
            page += "<table><tr><td>" + word() + "</td><td>" + word() + "</td></tr></table>\r\n";
    }
    return page + "</body>\r\n</html>\r\n";
}

void writeSite(const fs::path& folder, const std::vector<std::string>& pages)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const fs::path sub = folder / ("section" + std::to_string(i % 10));
        fs::create_directories(sub);
        std::ofstream(sub / ("page" + std::to_string(i) + ".htm"), std::ios::binary) << pages[i];
    }
}

void batchRun(benchmark::State& state)
{
    using namespace tagwright;
    const std::vector<std::string> words = vocabulary();
    std::mt19937 random(42);
    std::vector<std::string> pages;
    for (int i = 0; i < kPages; ++i)
        pages.push_back(makePage(random, words));

    ProgramTextStore texts;
    texts.load(std::string(TAGWRIGHT_SOURCE_DATA_DIR) + "/qova.dat");
    CommonWords commonWords;
    readCommonWordFile(TAGWRIGHT_SOURCE_DATA_DIR, LanguageIndex::English,
                       commonWords.list(LanguageIndex::English));
    BatchSettings settings;
    settings.includeAllSubfolders = true;
    settings.backup = true;
    settings.confirm = false;
    settings.includeOldMetaTag = true;
    AnalysisSettings analysis;
    analysis.singleFile = false;
    const fs::path site = fs::temp_directory_path() / "tagwright-batch-bench";
    BatchJob job{site.string(),
                 settings,
                 analysis,
                 TagSettings{},
                 commonWords,
                 texts,
                 gregorianToJdn(2024, 3, 5)};
    job.jobs = static_cast<unsigned>(state.range(0));

    std::int64_t inserted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        writeSite(site, pages);
        state.ResumeTiming();
        UnattendedBatchHost host;
        SilentAnalysisHost analysisHost;
        ReportLog log;
        inserted += runBatch(job, host, analysisHost, log).filesInserted;
    }
    fs::remove_all(site);
    state.SetItemsProcessed(inserted);
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(inserted), benchmark::Counter::kIsRate);
}

BENCHMARK(batchRun)
    ->ArgName("jobs")
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
