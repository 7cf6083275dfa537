#!/usr/bin/env bash
# The pace of `tagwright-cli batch --backup` and of the `restore` that undoes it over real pages,
# for one or more builds side by side: every run gets a fresh copy of the pages (made outside the
# timing), and the builds and job counts take turns, so that a change in the machine's load
# touches them all alike. Prints, for each build and job count, the best clock time of the runs
# with its CPU time (user + system), the pages per second, and the same for the restore.
#
#   bench/batch_pace.sh [--pages N] [--folders F] [--runs R] [--jobs "1 2"] [--no-restore] \
#       [--settle SECONDS] WORK_DIR SOURCE_DIR CLI...
#
# WORK_DIR: where the copies go (its file system is the one measured: /dev/shm for memory, a
# folder on the disk for the disk). SOURCE_DIR: a folder of real pages (.htm, .html), for example
# /usr/share/doc/gcc-12-base/libstdc++ (pages of about 30 KB). With --pages N, N of its pages,
# spread evenly over it, in F folders (ten by default; as many as pages makes a site of one page
# a folder); with --pages 0 (the default) the whole tree as it is, as several SOURCE_DIR
# separated by colons (/usr/share/doc/python3.11/html:/usr/share/doc/git-doc).
set -euo pipefail

pages=0 folders=10 runs=3 jobs="1 2" restore=1 settle=0
while [ $# -gt 0 ]; do
    case $1 in
    --pages) pages=$2; shift 2 ;;
    --folders) folders=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --no-restore) restore=0; shift ;;
    --settle) settle=$2; shift 2 ;;
    *) break ;;
    esac
done
[ $# -ge 3 ] || { sed -n '2,16p' "$0" >&2; exit 2; }
work=$1 sources=$2
shift 2
clis=("$@")
here=$(cd "$(dirname "$0")/.." && pwd)
data=$here/data

mkdir -p "$work"
work=$(mktemp -d "$work/batch-pace.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The pages once, in the form every run copies.
python3 - "$work/pages" "$sources" "$pages" "$folders" <<'PY'
import os, shutil, sys
out, sources, count, folders = sys.argv[1], sys.argv[2].split(":"), int(sys.argv[3]), int(sys.argv[4])
if count == 0:
    for source in sources:
        shutil.copytree(source, os.path.join(out, os.path.basename(source.rstrip("/"))),
                        symlinks=False)
    sys.exit()
found = sorted(os.path.join(d, f) for s in sources for d, _, fs in os.walk(s, followlinks=True)
               for f in fs if f.lower().endswith((".htm", ".html")) and ".bak." not in f)
for i in range(count):
    folder = os.path.join(out, f"section{i % folders}")
    os.makedirs(folder, exist_ok=True)
    shutil.copyfile(found[i * len(found) // count], os.path.join(folder, f"page{i}.htm"))
PY
count=$(find "$work/pages" \( -name '*.htm' -o -name '*.html' \) | wc -l)
megabytes=$(du -sm "$work/pages" | cut -f1)
echo "$count pages ($megabytes MB) on $(df -T "$work" | awk 'NR == 2 { print $2 }'), load $(cut -d' ' -f1-3 /proc/loadavg)"

timed() { # result file, command...: appends "clock cpu" of one run, in milliseconds' precision
    local out=$1 TIMEFORMAT='%3R %3U %3S'
    shift
    { time "$@" >/dev/null 2>"$work/stderr.txt" ||
        { cat "$work/stderr.txt" >&2; echo "failed: $*" >&2; exit 1; }; } 2>"$work/time.txt"
    awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$work/time.txt" >>"$out"
}

# Every run's copy is made before any run: on an ext4 disk without a journal, a file created
# within a minute (six when unwritten) of the deletion of many files in its block group makes
# the kernel step over each deleted inode, so trees deleted just before a run would slow its
# creation of temporary files by a third and more. For the same reason every batch comes before
# every restore, which frees the inodes of the pages the batches wrote. --settle waits that long
# after the copies, for the deletions of earlier benchmarks and builds to age.
for run in $(seq "$runs"); do
    for c in "${!clis[@]}"; do
        for j in $jobs; do
            cp -r "$work/pages" "$work/tree-$run-$c-$j"
        done
    done
done
sync -f "$work"
sleep "$settle"
for phase in batch restore; do
    [ "$phase" = restore ] && [ "$restore" = 0 ] && break
    for run in $(seq "$runs"); do
        for c in "${!clis[@]}"; do
            for j in $jobs; do
                tree=$work/tree-$run-$c-$j
                if [ "$phase" = batch ]; then
                    timed "$work/batch-$c-$j" "${clis[$c]}" batch "$tree" --recursive --backup \
                        --today 2026-12-07 --data-dir "$data" --quiet --jobs "$j"
                    sync -f "$tree"
                else
                    timed "$work/restore-$c-$j" "${clis[$c]}" restore "$tree" --recursive
                fi
            done
        done
    done
done

best() { # result file: the run of least clock time, as "clock s (CPU s), pages/s"
    sort -n "$1" | head -1 | awk -v n="$count" '{ printf "%7.3f s (CPU %6.3f s) %6.0f pages/s", $1, $2, n / $1 }'
}
for c in "${!clis[@]}"; do
    for j in $jobs; do
        line="${clis[$c]} --jobs $j: batch $(best "$work/batch-$c-$j")"
        [ "$restore" = 1 ] && line="$line; restore $(best "$work/restore-$c-$j")"
        echo "$line"
    done
done
echo "best of $runs; load after: $(cut -d' ' -f1-3 /proc/loadavg)"
