#!/usr/bin/env bash
# What a batch run on several jobs holds and does ahead of the page it decides on:
# - the peak memory of a dry run over 70 pages of 30,000 different words each (about 250 KB a
#   page), and over 16 pages of 8 MB without a line end (one line each), on 1 job and on 64;
# - the CPU time of a dry run over 400 pages of prose (about 20 KB), of which every other one was
#   done the day before and is passed over with --skip-done 7, on 1 job and on 2.
# Prints the maximum resident set size and the user + system seconds that /usr/bin/time
# measures, best of three for the CPU time.
# Usage: bench/held_ahead.sh [path/to/tagwright-cli]   (default: build-release, then build)
set -euo pipefail
source "$(dirname "$0")/cli_prelude.sh" "${1:-}"

PYTHONPATH="$here/bench" python3 - "$work" <<'PY'
import os, random, sys
from made_up_words import made_up
work = sys.argv[1]
random.seed(3)
# 70 pages of 30,000 different words each.
os.makedirs(f"{work}/distinct")
for page in range(70):
    words = [made_up(page * 30000 + k) for k in range(30000)]
    with open(f"{work}/distinct/page{page:02}.htm", "w") as out:
        out.write("<html>\r\n<head>\r\n<title>Words</title>\r\n</head>\r\n<body>\r\n")
        for start in range(0, len(words), 12):
            out.write("<p>" + " ".join(words[start:start + 12]) + "</p>\r\n")
        out.write("</body>\r\n</html>\r\n")
# 16 pages of 8 MB on one line: 4,000 words, each about 200 times a page.
os.makedirs(f"{work}/one-line")
chunk = " ".join(made_up(k) for k in range(4000)) + " "
for page in range(16):
    with open(f"{work}/one-line/page{page:02}.htm", "w") as out:
        out.write("<html><head><title>Words</title></head><body><p>")
        for _ in range((8 << 20) // len(chunk)):
            out.write(chunk)
        out.write("</p></body></html>")
# 400 pages of prose, every other one done on 2024-03-04.
os.makedirs(f"{work}/half-done")
topic = [made_up(k) for k in range(3000)]
for page in range(400):
    marker = '<meta name="QOVA done" content="2024-03-04">\r\n' if page % 2 == 0 else ""
    with open(f"{work}/half-done/page{page:03}.htm", "w") as out:
        out.write(f"<html>\r\n<head>\r\n<title>{' '.join(random.sample(topic, 4))}</title>\r\n"
                  f"{marker}</head>\r\n<body>\r\n")
        size = 0
        while size < 20000:
            line = "<p>" + " ".join(random.choice(topic) for _ in range(14)) + "</p>\r\n"
            out.write(line)
            size += len(line)
        out.write("</body>\r\n</html>\r\n")
PY

measure() { # label, then the command: peak memory and CPU time of one run
    local label=$1
    shift
    /usr/bin/time -f "%M %U %S" -o "$work/time.txt" "$@" >/dev/null 2>&1 || true
    awk -v label="$label" '{ printf "%-34s peak %6.1f MB, CPU %.2f s\n", label, $1 / 1024, $2 + $3 }' "$work/time.txt"
}
best_cpu() { # label, then the command: the least CPU time of three runs
    local label=$1 best=999 t
    shift
    for _ in 1 2 3; do
        /usr/bin/time -f "%U %S" -o "$work/time.txt" "$@" >/dev/null 2>&1 || true
        t=$(awk '{ print $1 + $2 }' "$work/time.txt")
        best=$(awk -v a="$best" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
    done
    printf "%-34s CPU %.2f s (best of three)\n" "$label" "$best"
}

echo "== Memory: 70 pages of 30,000 different words, --dry-run"
for jobs in 1 64; do
    measure "--jobs $jobs" "$cli" batch "$work/distinct" --dry-run --quiet --jobs "$jobs"
done
echo "== Memory: 16 pages of 8 MB on one line each, --dry-run"
for jobs in 1 64; do
    measure "--jobs $jobs" "$cli" batch "$work/one-line" --dry-run --quiet --jobs "$jobs"
done
echo "== CPU: 400 pages, every other one done recently, --skip-done 7 --dry-run"
for jobs in 1 2; do
    best_cpu "--jobs $jobs" "$cli" batch "$work/half-done" --dry-run --quiet --skip-done 7 \
        --today 2024-03-05 --jobs "$jobs"
done
