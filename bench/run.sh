#!/usr/bin/env bash
# Runs the benchmarks of a release build: the analysis speed beside `wc -w` on the same file, how
# the cost grows when the input doubles, and the peak memory of `tagwright-cli generate` on a
# 50 MB page. Documents are generated once into BUILD_DIR/bench-data.
#
#   bench/run.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: bench/run.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
data="$build/bench-data"
mkdir -p "$data"

# One core, so that the figures do not depend on what else the machine runs in parallel.
pin=()
command -v taskset >/dev/null && pin=(taskset -c 0)

make_doc() { # name megabytes [make_pages options...]
    local name=$1 megabytes=$2
    shift 2
    [ -s "$data/$name" ] || python3 "$here/make_pages.py" --megabytes "$megabytes" --out "$data/$name" "$@"
}
double_doc() { # name source
    [ -s "$data/$1" ] || cat "$data/$2" "$data/$2" >"$data/$1"
}

echo "Generating documents in $data (once) ..."
make_doc pages10.htm 10
double_doc pages20.htm pages10.htm
make_doc distinct5.htm 5 --distinct 30000
double_doc distinct10.htm distinct5.htm
make_doc madeup50.htm 50 --distinct 20000

cpu_seconds() { # command... : user + system seconds of the command
    /usr/bin/time -f "%U %S" -o "$data/time.txt" "$@" >/dev/null
    awk '{ printf "%.4f", $1 + $2 }' "$data/time.txt"
}

echo
echo "== Speed: analysis of a 10 MB document of pages, beside wc -w (CPU time, one core)"
bytes=$(stat -c %s "$data/pages10.htm")
best_wc=999
for _ in 1 2 3; do
    t=$(cpu_seconds "${pin[@]}" wc -w "$data/pages10.htm")
    best_wc=$(awk -v a="$best_wc" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
done
awk -v b="$bytes" -v t="$best_wc" 'BEGIN { printf "wc -w        %10d bytes %8.4f s %8.1f MB/s\n", b, t, (t > 0 ? b / t / 1e6 : 0) }'
"${pin[@]}" "$build/bench/analysis_bench" --runs 3 "$data/pages10.htm" "$data/pages20.htm" \
    "$data/distinct5.htm" "$data/distinct10.htm" | tee "$data/analysis.txt"

seconds_of() { grep "/$1 " "$data/analysis.txt" | awk '{ print $4 }'; }
megabytes_per_second() { grep "/$1 " "$data/analysis.txt" | awk '{ print $6 }'; }
verdict() { awk -v ok="$1" 'BEGIN { print (ok ? "ok" : "NOT MET") }'; }

speed=$(megabytes_per_second pages10.htm)
echo
echo "analysis of pages10.htm: $speed MB/s (bar: 50 MB/s) $(verdict "$(awk -v s="$speed" 'BEGIN { print (s >= 50) }')")"
for pair in "pages10.htm pages20.htm" "distinct5.htm distinct10.htm"; do
    set -- $pair
    ratio=$(awk -v a="$(seconds_of "$1")" -v b="$(seconds_of "$2")" 'BEGIN { printf "%.2f", b / a }')
    echo "time($2) / time($1) = $ratio (bar: 2.2) $(verdict "$(awk -v r="$ratio" 'BEGIN { print (r <= 2.2) }')")"
done

echo
echo "== Memory: tagwright-cli generate on a 50 MB document"
cli="$build/src/cli/tagwright-cli"
/usr/bin/time -v -o "$data/memory.txt" "$cli" generate "$data/madeup50.htm" >"$data/generate.txt"
peak_kb=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' "$data/memory.txt")
echo "$(stat -c %s "$data/madeup50.htm") bytes, peak resident $((peak_kb / 1024)) MB (bar: 64 MB)" \
    "$(verdict "$((peak_kb < 64 * 1024))")"
tail -n 2 "$data/generate.txt"

# The Google Benchmark programs of the other parts; programs with their own arguments are run as
# bench/README.md says.
for other in "$build"/bench/*_bench; do
    readelf -d "$other" 2>/dev/null | grep -q "libbenchmark" || continue
    echo
    echo "== $(basename "$other")"
    "${pin[@]}" "$other" --benchmark_min_time=0.2
done
