#!/usr/bin/env bash
# Makes the README's pictures from the real windows as a user sees them, in a window manager
# (Openbox) on a virtual X server (Xvfb), frames and title bars included:
# docs/main-window.png, the main window after "Generate", and docs/batch-run.png, a finished
# batch run over a copy of the example pages with its report window; and docs/site-report.png,
# the web page that --report-html writes for that run, as headless Chromium shows it.
# Needs xvfb-run and openbox (Debian: apt-get install xvfb xauth openbox); installs Debian's
# chromium when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
for tool in xvfb-run openbox; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (apt-get install xvfb xauth openbox)" >&2; exit 1; }
done
if ! command -v chromium >/dev/null; then
  echo "screenshot: installing chromium"
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends chromium
fi
cmake --build "$build_dir" --target tagwright-screenshot tagwright-cli >/dev/null
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

# The site report of a run over a copy of the examples, one page tall enough for all of it.
report=$(mktemp -d)
trap 'rm -f "$pictures" "$pictures.log"; rm -rf "$report"' EXIT
cp -r examples "$report/site"
cli=$(cd "$build_dir" && pwd)/src/cli/tagwright-cli
data=$PWD/data
(cd "$report" && TAGWRIGHT_DATA_DIR="$data" "$cli" batch site --quiet --report-html site-report.html)
sandbox=()
[ "$(id -u)" -ne 0 ] || sandbox=(--no-sandbox) # Chromium's sandbox refuses root
chromium --headless "${sandbox[@]}" --disable-gpu --hide-scrollbars --force-device-scale-factor=1 \
  --window-size=1100,1400 --screenshot="$PWD/docs/site-report.png" \
  "file://$report/site-report.html" >/dev/null 2>&1
[ -s docs/site-report.png ] || { echo "screenshot: chromium made no picture of the report" >&2; exit 1; }
echo "wrote docs/main-window.png, docs/batch-run.png and docs/site-report.png"
