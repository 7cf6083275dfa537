# Sourced by the benchmark scripts that run the command line, with the path of tagwright-cli the
# user gave (or none): sets $here (the source tree), $cli (that path, else the release build's,
# then the ordinary build's) and $work, a scratch folder removed when the script ends.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli=${1:-}
if [ -z "$cli" ]; then
  for candidate in "$here/build-release/src/cli/tagwright-cli" "$here/build/src/cli/tagwright-cli"; do
    [ -x "$candidate" ] && cli=$candidate && break
  done
fi
[ -x "$cli" ] || { echo "no tagwright-cli found; build it first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
