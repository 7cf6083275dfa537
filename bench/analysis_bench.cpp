// Times the analysis of whole documents: doFile with the default settings (English common words
// from the program's data folder) and a host that shows nothing, as the command line runs it.
// Prints one line per document: bytes, seconds (best of the runs), MB/s, distinct and total words.
// The time is the CPU time of this process, so that other work on a shared machine does not count
// against it.

#include "engine/analysis.h"
#include "output/common_word_lists.h"
#include "support/data_dir.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace tagwright;
    if (argc < 2) {
        std::fprintf(stderr, "usage: analysis_bench [--runs N] FILE...\n");
        return 2;
    }
    int runs = 3;
    int first = 1;
    if (std::string(argv[1]) == "--runs" && argc > 3) {
        runs = std::max(1, std::atoi(argv[2]));
        first = 3;
    }
    const AnalysisSettings settings;
    CommonWords commonWords;
    readCommonWordFile(programDataFolder(), settings.language, commonWords.list(settings.language));
    if (!commonWords.list(settings.language).available()) {
        std::fprintf(stderr, "analysis_bench: no common-word list in %s\n",
                     programDataFolder().c_str());
        return 1;
    }
    for (int i = first; i < argc; ++i) {
        const std::string path = argv[i];
        double best = 1e30;
        WordTable table;
        for (int run = 0; run < runs; ++run) {
            SilentAnalysisHost host;
            const double start = cpuSeconds();
            const AnalysisOutcome outcome = doFile(path, settings, commonWords, host, table);
            const double elapsed = cpuSeconds() - start;
            if (outcome.result != kAnalysisDone) {
                std::fprintf(stderr, "%s: result %d\n", path.c_str(), outcome.result);
                return 1;
            }
            best = std::min(best, elapsed);
        }
        const auto bytes = static_cast<double>(std::filesystem::file_size(path));
        std::printf("%-40s %12.0f bytes %8.4f s %8.1f MB/s %6d words kept %9d words taken\n",
                    path.c_str(), bytes, best, bytes / best / 1e6, table.count(),
                    table.totalWordCount());
    }
    return 0;
}
