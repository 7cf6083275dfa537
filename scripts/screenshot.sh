#!/usr/bin/env bash
# Makes the README's pictures from the real windows as a user sees them, in a window manager
# (Openbox) on a virtual X server (Xvfb), frames and title bars included:
# docs/main-window.png, the main window after "Generate", and docs/batch-run.png, a finished
# batch run over a copy of the example pages with its report window.
# Needs xvfb-run and openbox (Debian: apt-get install xvfb xauth openbox).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
for tool in xvfb-run openbox; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (apt-get install xvfb xauth openbox)" >&2; exit 1; }
done
cmake --build "$build_dir" --target tagwright-screenshot >/dev/null
mkdir -p docs

# One X server for both pictures; the pictures are taken once the window manager runs
# (its start-up command), and the window manager ends after them.
pictures=$(mktemp)
trap 'rm -f "$pictures" "$pictures.log"' EXIT
cat >"$pictures" <<PICTURES
set -e
cd "$PWD"
export QT_QPA_PLATFORM=xcb TAGWRIGHT_DATA_DIR="$PWD/data"
trap 'openbox --exit' EXIT
"$build_dir/src/app/tagwright-screenshot" examples/garden.htm docs/main-window.png
"$build_dir/src/app/tagwright-screenshot" --batch examples docs/batch-run.png
touch "$pictures.done"
PICTURES
xvfb-run -a -s "-screen 0 1280x1024x24" openbox --startup "bash $pictures" >"$pictures.log" 2>&1
[ -e "$pictures.done" ] || { cat "$pictures.log" >&2; echo "screenshot: the pictures were not taken" >&2; exit 1; }
rm -f "$pictures.done"
echo "wrote docs/main-window.png and docs/batch-run.png"
