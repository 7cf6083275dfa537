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

best_cpu() { # runs command... three times: the least CPU time
    local best=999 t
    for _ in 1 2 3; do
        t=$(cpu_seconds "$@")
        best=$(awk -v a="$best" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
    done
    echo "$best"
}
verdict() { awk -v ok="$1" 'BEGIN { print (ok ? "ok" : "NOT MET") }'; }

echo
echo "== Speed: analysis beside wc -w on the same file in the same run (CPU time, one core)"
"${pin[@]}" "$build/bench/analysis_bench" --runs 3 "$data/pages10.htm" "$data/pages20.htm" \
    "$data/distinct5.htm" "$data/distinct10.htm" | tee "$data/analysis.txt"
seconds_of() { grep "/$1 " "$data/analysis.txt" | awk '{ print $4 }'; }
echo
for doc in pages10.htm distinct5.htm; do
    # wc -w takes some hundredths of a second: ten runs in one, for the clock's resolution.
    wc_seconds=$(best_cpu "${pin[@]}" sh -c 'for i in 1 2 3 4 5 6 7 8 9 10; do wc -w "$1"; done' sh "$data/$doc")
    wc_seconds=$(awk -v t="$wc_seconds" 'BEGIN { print t / 10 }')
    awk -v doc="$doc" -v b="$(stat -c %s "$data/$doc")" -v w="$wc_seconds" -v a="$(seconds_of "$doc")" 'BEGIN {
        printf "%-14s wc -w %7.1f MB/s, analysis %7.1f MB/s: %.2f of wc -w (bar: 0.5) %s\n",
            doc, b / w / 1e6, b / a / 1e6, w / a, (w / a >= 0.5 ? "ok" : "NOT MET") }'
done
for pair in "pages10.htm pages20.htm" "distinct5.htm distinct10.htm"; do
    set -- $pair
    ratio=$(awk -v a="$(seconds_of "$1")" -v b="$(seconds_of "$2")" 'BEGIN { printf "%.2f", b / a }')
    echo "time($2) / time($1) = $ratio (bar: 2.2) $(verdict "$(awk -v r="$ratio" 'BEGIN { print (r <= 2.2) }')")"
done

echo
echo "== Long lines: pages without line ends (made-up words, CR LF written as a blank)"
# 100 MB of made-up pages hold fewer than 32,768 distinct words and no word 32,768 times.
[ -s "$data/oneline100.htm" ] || {
    tr '\r\n' '  ' <"$data/madeup50.htm" >"$data/oneline-source.txt"
    cat "$data/oneline-source.txt" "$data/oneline-source.txt" "$data/oneline-source.txt" \
        >"$data/oneline-three.txt"
    head -c $((100 << 20)) "$data/oneline-three.txt" >"$data/oneline100.htm"
    rm "$data/oneline-source.txt" "$data/oneline-three.txt"
}
previous=""
for mib in 10 20 40 100; do
    doc="$data/oneline$mib.htm"
    [ -s "$doc" ] || head -c $((mib << 20)) "$data/oneline100.htm" >"$doc"
    /usr/bin/time -f "%M" -o "$data/peak.txt" "${pin[@]}" "$build/bench/analysis_bench" --runs 1 "$doc" >"$data/line.txt"
    seconds=$(awk '{ print $4 }' "$data/line.txt")
    peak_mb=$(awk '{ printf "%.0f", $1 / 1024 }' "$data/peak.txt")
    line="$mib MiB on one line: $seconds s, peak resident $peak_mb MB"
    if [ "$mib" = 20 ] || [ "$mib" = 40 ]; then
        line="$line, time ratio to half the length $(awk -v a="$previous" -v b="$seconds" 'BEGIN { printf "%.2f", b / a }')"
    fi
    echo "$line"
    previous=$seconds
done
echo "(bars: twice the length at most 2.2 times the time; 100 MiB well under 10 s; peak about twice the line)"

echo
echo "== Memory: tagwright-cli generate on a 50 MB document"
cli="$build/src/cli/tagwright-cli"
/usr/bin/time -v -o "$data/memory.txt" "$cli" generate "$data/madeup50.htm" >"$data/generate.txt"
peak_kb=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' "$data/memory.txt")
echo "$(stat -c %s "$data/madeup50.htm") bytes, peak resident $((peak_kb / 1024)) MB (bar: 64 MB)" \
    "$(verdict "$((peak_kb < 64 * 1024))")"
tail -n 2 "$data/generate.txt"

echo
echo "== restore beside the batch run with backups that it undoes (1,000 pages in 10 folders)"
site="$data/site"
rm -rf "$site" "$data/site-before"
python3 - "$data/pages10.htm" "$site" <<'PAGES'
import os, sys
text = open(sys.argv[1], 'rb').read()
for i in range(1000):
    folder = os.path.join(sys.argv[2], 'section%d' % (i % 10))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, 'page%d.htm' % i), 'wb') as page:
        page.write(b'<html>\r\n<head>\r\n<title>Page %d</title>\r\n</head>\r\n<body>\r\n' % i +
                   text[i * 10000:(i + 1) * 10000] + b'\r\n</body>\r\n</html>\r\n')
PAGES
cp -r "$site" "$data/site-before"
wall_seconds() { # command... : elapsed seconds
    /usr/bin/time -f "%e" -o "$data/time.txt" "$@" >/dev/null 2>&1
    cat "$data/time.txt"
}
batch_seconds=$(wall_seconds "$cli" batch "$site" --recursive --backup --quiet)
restore_seconds=$(wall_seconds "$cli" restore "$site" --recursive)
ratio=$(awk -v b="$batch_seconds" -v r="$restore_seconds" 'BEGIN { printf "%.2f", r / b }')
given_back=$(diff -r "$data/site-before" "$site" >/dev/null && echo "byte for byte" || echo "NOT")
echo "batch --backup $batch_seconds s, restore $restore_seconds s: $ratio of the batch (bar: 1.5)" \
    "$(verdict "$(awk -v r="$ratio" 'BEGIN { print (r <= 1.5) }')"); pages given back $given_back"
rm -rf "$site" "$data/site-before"

# The Google Benchmark programs of the other parts; programs with their own arguments are run as
# bench/README.md says.
for other in "$build"/bench/*_bench; do
    readelf -d "$other" 2>/dev/null | grep -q "libbenchmark" || continue
    echo
    echo "== $(basename "$other")"
    "${pin[@]}" "$other" --benchmark_min_time=0.2
done
