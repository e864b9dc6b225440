#!/usr/bin/env bash
# Peak resident memory of tunelist and tunehdr, measured with /usr/bin/time:
#   - on 1 GB of ordinary lines (budget: 8 MB);
#   - on one line of 100 MB (budget: twice the line, as a line is held whole).
# usage: bench/memory.sh [build folder, default build]   (exit status 1 when over budget)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build}")/bin
work=$(mktemp -d "${TMPDIR:-/tmp}/tunetools-memory-XXXXXX")
trap 'rm -rf "$work"' EXIT

python3 bench/generate.py "$work" 1024
python3 - "$work" <<'PY'
import sys
folder = sys.argv[1]
line = b"x" * (100 * 1024 * 1024)
open(folder + "/long.def", "wb").write(b"#include long.txt\r\n")
open(folder + "/long.txt", "wb").write(b"s000=" + line + b"\r\ns000=next,1\r\n")
open(folder + "/long.ini", "wb").write(b";#define " + line + b"\r\ns1=" + line + b",1\r\n")
PY
ln -s /dev/null "$work/mus_def.h"   # the header goes nowhere

peak_kib() { (cd "$1" && shift && /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1); }
status=0
report() {  # name, KiB, budget KiB
    local verdict=ok
    [ "$2" -le "$3" ] || { verdict="OVER BUDGET"; status=1; }
    printf '%-44s %8.1f MiB  (budget %.0f MiB)  %s\n' "$1" "$(echo "$2/1024" | bc -l)" "$(echo "$3/1024" | bc -l)" "$verdict"
}
line_kib=$((100 * 1024))
report "tunelist, 1 GB of fragments, renumbering" "$(peak_kib "$work/list" "$bin/tunelist" songs.def /dev/null r)" 8192
report "tunehdr, 1 GB song list" "$(peak_kib "$work" "$bin/tunehdr" songs.ini)" 8192
report "tunelist, one 100 MB line" "$(peak_kib "$work" "$bin/tunelist" long.def /dev/null r)" $((2 * line_kib))
report "tunehdr, two 100 MB lines" "$(peak_kib "$work" "$bin/tunehdr" long.ini)" $((2 * line_kib))
exit $status
