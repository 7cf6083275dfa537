#!/usr/bin/env bash
# What --site-words does on a real manual, Debian's Python manual (package python3.11-doc):
# - the share of tags that hold the sidebar's words, without the rule and with --site-words 50;
# - how often each page's own subject stays in its tag: the first word of its title that stands
#   in its tag without the rule and is no site word, with the rule against without;
# - the time (wall, and user + system CPU) and the peak memory of a batch run with and without
#   the rule, on a fresh copy of the manual each time, on 1 job and on 2, best of three; and of
#   its dry run.
# Usage: bench/site_words.sh [path/to/tagwright-cli] [manual folder]
set -euo pipefail
manual=${2:-/usr/share/doc/python3.11/html}
source "$(dirname "$0")/cli_prelude.sh" "${1:-}"
[ -d "$manual" ] || { echo "$manual: not there (apt-get install python3.11-doc)" >&2; exit 1; }
export TAGWRIGHT_DATA_DIR=${TAGWRIGHT_DATA_DIR:-$here/data}
cp -r "$manual" "$work/original"

echo "== tags of $(find "$work/original" -name '*.html' | wc -l) pages"
"$cli" batch "$work/original" --recursive --dry-run --format json > "$work/without.json"
"$cli" batch "$work/original" --recursive --dry-run --format json --site-words 50 > "$work/with.json"
python3 - "$work" <<'PY'
import html, json, re, sys
work = sys.argv[1]
def records(name):
    site, tags = [], {}
    for line in open(f"{work}/{name}", encoding="utf-8"):
        record = json.loads(line)
        if record["type"] == "siteWords":
            site = [w["word"] for w in record["words"]]
        elif record["type"] == "page" and record["newTag"]:
            content = re.search(r'content="([^"]*)"', record["newTag"]).group(1)
            tags[record["page"]] = content.split(", ")
    return site, tags
_, without = records("without.json")
site, withRule = records("with.json")
print("site words:", ", ".join(site))
navigation = ["documentation", "topic", "next", "navigation", "page", "previous"]
for word in navigation:
    before = sum(word in tag for tag in without.values())
    after = sum(word in tag for tag in withRule.values())
    print(f"{word:14} in {100 * before / len(without):5.1f}% of the tags without, "
          f"{100 * after / len(withRule):5.1f}% with")
def three_or_more(tags):
    return sum(len(set(navigation) & set(tag[:10])) >= 3 for tag in tags.values())
print(f"pages with 3 or more of them in their first ten: {three_or_more(without)} without, "
      f"{three_or_more(withRule)} with")
kept = subjects = 0
for page, tag in without.items():
    text = open(page, encoding="utf-8", errors="replace").read()
    title = html.unescape(re.search(r"<title>(.*?)</title>", text, re.S).group(1)).lower()
    for word in re.findall(r"[a-z]{3,}", title):
        if word in tag and word not in site:
            subjects += 1
            kept += word in withRule[page]
            break
print(f"own subject in its tag: {subjects} pages without the rule, {kept} of them with it")
PY

measure() { # label, then the command; best of three by wall time, each on a fresh copy
  local label=$1 best="" line
  shift
  for run in 1 2 3; do
    rm -rf "$work/site" && cp -r "$work/original" "$work/site" && sync
    /usr/bin/time -o "$work/time" -f "%e %U %S %M" "$@" > /dev/null 2> /dev/null
    line=$(tail -1 "$work/time")
    if [ -z "$best" ] || awk -v a="$line" -v b="$best" 'BEGIN { split(a, x); split(b, y); exit !(x[1] < y[1]) }'; then
      best=$line
    fi
  done
  awk -v label="$label" -v m="$best" 'BEGIN { split(m, x);
    printf "%-36s wall %6.2f s  cpu %6.2f s  peak %6.1f MB\n", label, x[1], x[2] + x[3], x[4] / 1024 }'
}
echo "== batch --recursive, best of three"
for jobs in 1 2; do
  measure "jobs $jobs, without the rule" "$cli" batch "$work/site" --recursive --quiet --jobs $jobs
  measure "jobs $jobs, --site-words 50" "$cli" batch "$work/site" --recursive --quiet --jobs $jobs --site-words 50
  measure "jobs $jobs, dry run, without" "$cli" batch "$work/site" --recursive --quiet --dry-run --jobs $jobs
  measure "jobs $jobs, dry run, --site-words 50" "$cli" batch "$work/site" --recursive --quiet --dry-run --jobs $jobs --site-words 50
done
