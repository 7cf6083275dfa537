#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a while: run.sh BUILD_DIR SECONDS [TARGET...]
# The growing corpus stays in BUILD_DIR/corpus/<target>; a crash input lands in
# BUILD_DIR/crashes/<target>/. Keep it as fuzz/regressions/<target>/<name> once fixed.
set -euo pipefail
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
# Pages are written and forced to the disk on every run: memory-backed scratch space keeps
# the executions per second up.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/fuzz/fuzz_*; do targets+=("$(basename "$exe" | sed 's/^fuzz_//')"); done
fi

status=0
for target in "${targets[@]}"; do
  dict="$here/dict/html.dict"
  case $target in dates) dict="$here/dict/dates.dict" ;; wildcard) dict="" ;; esac
  mkdir -p "$build/corpus/$target" "$build/crashes/$target"
  echo "fuzz: $target for ${seconds}s"
  if ! "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
       -max_len=65536 -print_final_stats=1 ${dict:+-dict="$dict"} \
       -artifact_prefix="$build/crashes/$target/" \
       "$build/corpus/$target" "$here/corpus/$target" 2>"$build/fuzz-$target.log"; then
    echo "fuzz: $target FAILED, see $build/fuzz-$target.log and $build/crashes/$target/"
    status=1
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$build/fuzz-$target.log" | sed "s/^/fuzz: $target /"
done
exit $status
