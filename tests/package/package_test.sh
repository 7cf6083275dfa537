#!/usr/bin/env bash
# The Debian package as a user gets it: its files in their places, its dependencies read from
# the programs' libraries, and its tagwright-cli, unpacked into a scratch root, tagging a page
# with the data of that root alone.
# Usage: package_test.sh BUILD_FOLDER SOURCE_FOLDER VERSION
set -euo pipefail
build=$1 source=$2 version=$3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
scratch=$(realpath "$scratch")
fail() { echo "package test: $*" >&2; exit 1; }

if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  fail "cpack failed"
fi
deb=$scratch/out/tagwright_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$scratch/out")"

expected=$(cat <<'LIST'
./usr/bin/tagwright
./usr/bin/tagwright-cli
./usr/share/applications/tagwright.desktop
./usr/share/bash-completion/completions/tagwright-cli
./usr/share/doc/tagwright/changelog.gz
./usr/share/doc/tagwright/copyright
./usr/share/icons/hicolor/128x128/apps/tagwright.png
./usr/share/icons/hicolor/48x48/apps/tagwright.png
./usr/share/icons/hicolor/scalable/apps/tagwright.svg
./usr/share/man/man1/tagwright-cli.1.gz
./usr/share/man/man1/tagwright.1.gz
./usr/share/metainfo/io.github.tagwright.Tagwright.metainfo.xml
./usr/share/tagwright/cwds_de.txt
./usr/share/tagwright/cwds_en.txt
./usr/share/tagwright/cwds_en_de_es_pt_it_fr.txt
./usr/share/tagwright/cwds_es.txt
./usr/share/tagwright/cwds_fr.txt
./usr/share/tagwright/cwds_it.txt
./usr/share/tagwright/cwds_pt.txt
./usr/share/tagwright/qova.dat
./usr/share/zsh/vendor-completions/_tagwright-cli
LIST
)
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)
[ "$files" = "$(LC_ALL=C sort <<<"$expected")" ] ||
  fail "the package's files differ from the expected ones:
$(diff <(LC_ALL=C sort <<<"$expected") <(echo "$files") || true)"

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6widgets6; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done

root=$scratch/root
dpkg-deb -x "$deb" "$root"
mkdir "$scratch/packaged" "$scratch/built"
cp "$source/examples/garden.htm" "$scratch/packaged/"
cp "$source/examples/garden.htm" "$scratch/built/"
cd "$scratch"
env -u TAGWRIGHT_DATA_DIR "$root/usr/bin/tagwright-cli" insert packaged/garden.htm \
  || fail "the packaged tagwright-cli could not tag garden.htm"
"$build/src/cli/tagwright-cli" --data-dir "$source/data" insert built/garden.htm >/dev/null
cmp -s packaged/garden.htm built/garden.htm ||
  fail "garden.htm tagged by the packaged program differs from the built program's:
$(diff built/garden.htm packaged/garden.htm || true)"
cmp -s packaged/garden.htm "$source/examples/garden.htm" && fail "garden.htm was not tagged"

# Without its English list the packaged program fails and names the list of its own root:
# it never falls back on the source tree, whose list is still there.
rm "$root/usr/share/tagwright/cwds_en.txt"
cp "$source/examples/garden.htm" "$scratch/packaged/again.htm"
if env -u TAGWRIGHT_DATA_DIR "$root/usr/bin/tagwright-cli" insert packaged/again.htm \
     2>"$scratch/err"; then
  fail "the packaged program tagged a page without its common-word list"
fi
grep -qF "$root/usr/share/tagwright/cwds_en.txt" "$scratch/err" ||
  fail "the failure does not name the packaged list: $(cat "$scratch/err")"
cmp -s packaged/again.htm "$source/examples/garden.htm" || fail "again.htm was changed"
echo "package test: $(basename "$deb") passed"
