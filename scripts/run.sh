#!/usr/bin/env bash
# Starts the desktop program from the build tree; without a display, shows the command line instead.
set -euo pipefail
build_dir=${1:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset); here is the command line on a sample page instead:"
  echo "\$ $build_dir/src/cli/tagwright-cli generate examples/garden.htm"
  exec "$build_dir/src/cli/tagwright-cli" generate examples/garden.htm
fi
exec "$build_dir/src/app/tagwright"
