// Line preparation of UTF-8 documents: the repair of one line of French text, and of a plain
// ASCII line, which must cost next to nothing.

#include "support/utf8_repair.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const std::string kFrench =
    "<p>L\xE2\x80\x99\xC5\x93uvre compl\xC3\xA8te de l\xE2\x80\x99\xC3\xA9t\xC3\xA9 "
    "\xE2\x80\x94 \xC2\xAB d\xC3\xA9j\xC3\xA0 vu \xC2\xBB, 5 \xE2\x82\xAC.</p>";
const std::string kAscii =
    "<p>Some <b>ordinary</b> text of a web page, with words of every length.</p>";

void repairLine(benchmark::State& state, const std::string& original)
{
    std::string line;
    for (auto _ : state) {
        line = original;
        tagwright::repairUtf8Line(line);
        benchmark::DoNotOptimize(line.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * original.size()));
}

BENCHMARK_CAPTURE(repairLine, french, kFrench);
BENCHMARK_CAPTURE(repairLine, ascii, kAscii);

} // namespace

BENCHMARK_MAIN();
