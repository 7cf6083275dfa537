#!/usr/bin/env bash
# The front door as a person meets it: without a display scripts/run.sh says so in one line and
# runs the command line on a sample page; with a display (Xvfb) it starts the desktop program,
# which is still running a few seconds later.
set -uo pipefail
source_dir=$1
build_dir=$2
cd "$source_dir"

output=$(env -u DISPLAY -u WAYLAND_DISPLAY bash scripts/run.sh "$build_dir" 2>&1)
first_line=$(head -n 1 <<<"$output")
[[ $first_line == "No display found"* ]] || { echo "first line: $first_line"; exit 1; }
grep -q '^<meta name="keywords" content="' <<<"$output" || { echo "no tag in: $output"; exit 1; }

if command -v xvfb-run >/dev/null; then
  data_home=$(mktemp -d)
  trap 'rm -rf "$data_home"' EXIT
  XDG_DATA_HOME=$data_home timeout 5 xvfb-run -a bash scripts/run.sh "$build_dir" >/dev/null 2>&1
  status=$?
  [ "$status" -eq 124 ] || { echo "the desktop program ended with $status instead of running"; exit 1; }
fi
echo "run script: ok"
