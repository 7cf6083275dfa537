#!/usr/bin/env bash
# Makes docs/main-window.png, the README's picture of the main window after "Generate", from the
# real window rendered off screen (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
cmake --build "$build_dir" --target tagwright-screenshot >/dev/null
mkdir -p docs
QT_QPA_PLATFORM=offscreen TAGWRIGHT_DATA_DIR="$PWD/data" \
  "$build_dir/src/app/tagwright-screenshot" examples/garden.htm docs/main-window.png
echo "wrote docs/main-window.png"
