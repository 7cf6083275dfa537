// How long Stop waits: the longest stretch of work between two looks at Stop (the host's
// stopRequested) while doFile analyses a document with the default settings, then the tag is
// composed. Meant for pages without line ends (one line as long as the file), where a single step
// of the reading, the preparation or the scan can cover the whole page. Prints one line per
// document: the result, the number of looks, the wall time, the longest stretches (with the time
// at which each began) and the stretch after the last look (the end of the run). Wall time, so
// run it on a quiet machine or read it with the load beside it.

#include "engine/analysis.h"
#include "output/common_word_lists.h"
#include "output/meta_tag.h"
#include "support/data_dir.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double secondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// A host that shows nothing and times the stretches between the looks at Stop.
class GapHost : public tagwright::SilentAnalysisHost
{
  public:
    struct Stretch
    {
        double seconds = 0;
        double startedAt = 0;
    };
    static constexpr std::size_t kKept = 3;

    bool stopRequested() override
    {
        ++looks_;
        endStretch();
        return false;
    }

    // Ends the stretch since the last look (or the start); the longest are kept.
    void endStretch()
    {
        const Clock::time_point now = Clock::now();
        const Stretch stretch{secondsBetween(last_, now), secondsBetween(start_, last_)};
        last_ = now;
        auto place = std::find_if(longest_.begin(), longest_.end(),
                                  [&](const Stretch& s) { return stretch.seconds > s.seconds; });
        if (place != longest_.end()) {
            std::move_backward(place, longest_.end() - 1, longest_.end());
            *place = stretch;
        }
    }

    long looks() const { return looks_; }
    double seconds() const { return secondsBetween(start_, last_); }
    const std::array<Stretch, kKept>& longest() const { return longest_; }

  private:
    Clock::time_point start_ = Clock::now();
    Clock::time_point last_ = start_;
    long looks_ = 0;
    std::array<Stretch, kKept> longest_{};
};

} // namespace

int main(int argc, char** argv)
{
    using namespace tagwright;
    if (argc < 2) {
        std::fprintf(stderr, "usage: stop_gap_bench FILE...\n");
        return 2;
    }
    CommonWords commonWords;
    loadCommonWordLists(programDataFolder(), commonWords);
    const AnalysisSettings settings;
    for (int i = 1; i < argc; ++i) {
        WordTable table;
        GapHost host;
        const AnalysisOutcome outcome = doFile(argv[i], settings, commonWords, host, table);
        const std::string tag = generateKeywordMetaTag(table, TagSettings{}, settings);
        const double lastLookAt = host.seconds();
        host.endStretch();
        std::printf("%-28s result %2d  %10ld looks  %6.3f s  longest:", argv[i], outcome.result,
                    host.looks(), host.seconds());
        for (const GapHost::Stretch& stretch : host.longest())
            std::printf("  %.3f s at %.3f", stretch.seconds, stretch.startedAt);
        std::printf("  (after the last look at %.3f: %.3f s)\n", lastLookAt,
                    host.seconds() - lastLookAt);
    }
    return 0;
}
