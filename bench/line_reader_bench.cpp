// Reading speed of the line reader over a generated 64 MB document of ordinary HTML lines.

#include "support/line_reader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string makeDocument(std::size_t bytes)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "tagwright-line-reader-bench.htm";
    std::ofstream out(path, std::ios::binary);
    const std::string line =
        "<p>Some <b>ordinary</b> text of a web page, with words of every length.</p>\r\n";
    for (std::size_t written = 0; written < bytes; written += line.size())
        out << line;
    return path.string();
}

void readLines(benchmark::State& state)
{
    const std::size_t size = 64u << 20;
    const std::string path = makeDocument(size);
    std::size_t lines = 0;
    for (auto _ : state) {
        tagwright::LineReader reader(path);
        std::string line;
        while (reader.readLine(line))
            ++lines;
        benchmark::DoNotOptimize(line);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["lines"] = static_cast<double>(lines / state.iterations());
    std::remove(path.c_str());
}

BENCHMARK(readLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
