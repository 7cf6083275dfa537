#!/usr/bin/env bash
# Peak memory of the command line on hostile pages: a 100 MB line without a break and a word of
# 1,000,000 letters. Reports the maximum resident set size that /usr/bin/time measures.
# Usage: bench/hostile_memory.sh [path/to/tagwright-cli]   (default: build-release, then build)
set -euo pipefail
source "$(dirname "$0")/cli_prelude.sh" "${1:-}"

# 100 MB of words with blanks but no line break at all: 4,000 distinct words, each about
# 3,000 times, so that no count passes 16 bits.
python3 - "$work/long-line.htm" <<'PY'
import itertools, sys
letters = "bdfghjkptw"
words = [("ka" + "".join(t)).encode() for t in itertools.islice(itertools.product(letters, repeat=4), 4000)]
chunk = b" ".join(words) + b" "
with open(sys.argv[1], "wb") as out:
    out.write(b"<html><head><title>Garden</title></head><body><p>")
    for _ in range((100 << 20) // len(chunk)):
        out.write(chunk)
    out.write(b"</p></body></html>")
PY
# One word of a million letters between two ordinary lines.
{ printf '<p>garden tomatoes</p>\r\n<p>'; head -c 1000000 /dev/zero | tr '\0' 'a'; printf '</p>\r\n<p>garden</p>\r\n'; } \
  > "$work/long-word.htm"

for page in long-line.htm long-word.htm; do
  size=$(stat -c %s "$work/$page")
  /usr/bin/time -v "$cli" list "$work/$page" --data-dir "$here/data" >/dev/null 2>"$work/time.txt" || {
    echo "$page: tagwright-cli failed"; cat "$work/time.txt"; exit 1; }
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
  elapsed=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
  echo "$page: $size bytes, peak memory $((peak / 1024)) MB ($peak kB), $elapsed"
done
