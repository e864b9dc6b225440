#!/usr/bin/env bash
# The build helper learns a song list's fragments by reading the definition list itself; those
# must be exactly the fragments that tunelist opens. A definition list full of odd include lines
# goes through both, and the names must agree.
#
#   fragment_scan_test.sh <cmake> <tunelist> <helpers file>
set -euo pipefail
cmake=$1 tunelist=$2 helpers=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

# One case a line: CR LF, a tab or a letter at position 0, a second space, any byte at position
# 8, a Shift_JIS name, a CR inside the name, the word in upper case or at position 0, a repeated
# fragment, a last line without LF that a Ctrl-Z ends, and a line after the Ctrl-Z.
printf '%b' \
  '#include a.txt\r\n' \
  '\tinclude b c.txt\n' \
  'include x.txt\n' \
  '#include  d.txt\n' \
  '#INCLUDE e.txt\n' \
  'xinclude=\x83\x74\x83\x40.txt\n' \
  '#includeXf.txt\n' \
  '[tunebank]\n' \
  '#include a.txt\n' \
  '#include i\r.txt\r\n' \
  '#include g.txt\x1a#include h.txt\n' > "$work/list.def"

cat > "$work/scan.cmake" <<EOF
cmake_minimum_required(VERSION 3.25)
include("$helpers")
_tunetools_fragment_files("$work/list.def" "$work" files)
list(TRANSFORM files REPLACE "^$work/" "")
list(JOIN files "\n" names)
file(WRITE "$work/scanned" "\${names}\n")
EOF
"$cmake" -P "$work/scan.cmake" || fail "the scan failed"

# Every name the scan found becomes a file, so that tunelist can open it.
while IFS= read -r name; do
  : > "$work/$name"
done < "$work/scanned"
(cd "$work" && "$tunelist" list.def song.ini > opened.log) ||
  { cat "$work/opened.log"; fail "tunelist failed: the scan missed a fragment"; }
tr -d '\r' < "$work/opened.log" | sed -n 's/^include //p' | awk '!seen[$0]++' > "$work/opened"

diff "$work/opened" "$work/scanned" || fail "the scan and tunelist disagree (< tunelist, > scan)"
echo "the scan and tunelist agree on $(wc -l < "$work/scanned") fragments"
