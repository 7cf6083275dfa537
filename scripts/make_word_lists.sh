#!/usr/bin/env bash
# Regenerates the common-word lists data/cwds_*.txt from the Snowball stop-word lists that
# Debian ships in package postgresql-15 (UTF-8, one word a line). The lists are written in
# Windows-1252, one lower-case word a line, sorted by byte, with CR LF line ends. The build
# does not run this script; its output is committed.
set -euo pipefail

source_dir=${SNOWBALL_STOP_DIR:-/usr/share/postgresql/15/tsearch_data}
data_dir=$(cd "$(dirname "$0")/../data" && pwd)
max_words=2000

if [ ! -r "$source_dir/english.stop" ]; then
  echo "make_word_lists: no stop-word lists in $source_dir;" \
       "install them with: sudo apt-get install postgresql-15" >&2
  exit 1
fi

declare -A language=([en]=english [fr]=french [de]=german [it]=italian [pt]=portuguese [es]=spanish)

# Words of one or more UTF-8 lists as Windows-1252 lines, sorted and without duplicates.
words() {
  cat "$@" | tr -d ' \t\r' | grep -v '^$' | iconv -f UTF-8 -t WINDOWS-1252 | LC_ALL=C sort -u
}

# Writes the words of stdin to a list file with CR LF line ends, after checking that each word
# is lower-case letters only (the loader splits anything else) and that the list is not too long.
write_list() {
  local file=$data_dir/$1 words
  words=$(cat)
  if printf '%s\n' "$words" | LC_ALL=C grep -qP '[^a-z\xDF-\xF6\xF8-\xFF]'; then
    echo "make_word_lists: $1 would hold a word with other characters than small letters" >&2
    exit 1
  fi
  local count
  count=$(printf '%s\n' "$words" | wc -l)
  if [ "$count" -gt "$max_words" ]; then
    echo "make_word_lists: $1 would hold $count words, more than $max_words" >&2
    exit 1
  fi
  printf '%s\n' "$words" | sed 's/$/\r/' > "$file"
  echo "$1: $count words"
}

all=()
for code in en fr de it pt es; do
  list=$source_dir/${language[$code]}.stop
  all+=("$list")
  words "$list" | write_list "cwds_$code.txt"
done
words "${all[@]}" | write_list "cwds_en_de_es_pt_it_fr.txt"
