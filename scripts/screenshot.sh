#!/usr/bin/env bash
# Makes the README's pictures from the real windows rendered off screen (no display needed):
# docs/main-window.png, the main window after "Generate", and docs/batch-run.png, a finished
# batch run over a copy of the example pages with its report window.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
cmake --build "$build_dir" --target tagwright-screenshot >/dev/null
mkdir -p docs
QT_QPA_PLATFORM=offscreen TAGWRIGHT_DATA_DIR="$PWD/data" \
  "$build_dir/src/app/tagwright-screenshot" examples/garden.htm docs/main-window.png
QT_QPA_PLATFORM=offscreen TAGWRIGHT_DATA_DIR="$PWD/data" \
  "$build_dir/src/app/tagwright-screenshot" --batch examples docs/batch-run.png
echo "wrote docs/main-window.png and docs/batch-run.png"
