#!/usr/bin/env bash
# The site report of a large site: a dry run of batch over a made-up tree of PAGES pages (100
# folders; each page about 1 KB, its own subject words beside words every page shares, and one
# page in 50 the very copy of another, so that tags repeat), once without --report-html and once
# with it. Prints the wall and CPU seconds and the peak memory of each, and the report's size,
# whole and per 1,000 pages, and, where Chromium is installed, how long it takes to load it.
# Usage: bench/site_report.sh [PAGES] [path/to/tagwright-cli]   (default: 100000; build-release,
# then build)
set -euo pipefail
pages=${1:-100000}
source "$(dirname "$0")/cli_prelude.sh" "${2:-}"

PYTHONPATH="$here/bench" python3 - "$work/site" "$pages" <<'PY'
import os, sys
from made_up_words import made_up
site, pages = sys.argv[1], int(sys.argv[2])
for folder in range(100):
    os.makedirs(f"{site}/part{folder:02}")
for page in range(pages):
    subject = page - page % 50 if page % 50 == 49 else page  # one in 50 copies another
    a, b, c = made_up(subject * 3), made_up(subject * 3 + 1), made_up(subject * 3 + 2)
    text = (f"<html>\r\n<head>\r\n<title>{a} {b}</title>\r\n</head>\r\n<body>\r\n"
            f"<div>Garden library archive contents garden library</div>\r\n"
            f"<h1>{a} and {b}</h1>\r\n<p>The {a} of the {b} keeps the {c}; "
            f"a {a} needs a {b}, and the {c} a {a}. Archive of the garden.</p>\r\n"
            f"<p>More about {c} and {b} in the library contents.</p>\r\n</body>\r\n</html>\r\n")
    with open(f"{site}/part{page % 100:02}/page{page:06}.htm", "w") as out:
        out.write(text)
PY

measure() {
  /usr/bin/time -f "%e s wall, %U s user + %S s system, %M KB peak" \
    "$cli" batch "$work/site" --recursive --dry-run --quiet "$@" 2>&1 >/dev/null | tail -1
}
echo "pages: $pages"
echo "without --report-html: $(measure)"
echo "with --report-html:    $(measure --report-html "$work/report.html")"
size=$(stat -c %s "$work/report.html")
echo "report: $size bytes, $((size * 1000 / pages)) bytes per 1,000 pages"
# How long a browser takes to read and lay out the whole page, where Chromium is installed.
if command -v chromium >/dev/null; then
  sandbox=()
  [ "$(id -u)" -ne 0 ] || sandbox=(--no-sandbox)
  /usr/bin/time -f "chromium --headless --dump-dom: %e s wall, %M KB peak" \
    chromium --headless "${sandbox[@]}" --disable-gpu --dump-dom "file://$work/report.html" \
    2>&1 >/dev/null | tail -1
fi
