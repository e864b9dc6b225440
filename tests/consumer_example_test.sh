#!/usr/bin/env bash
# Builds the example game of examples/cmake-consumer the way a game project would, with the
# tunetools package installed into a temporary prefix (or the tunetools sources added with
# add_subdirectory), and checks what every rebuild runs: after a fragment edit, after an edit
# that leaves mus_def.h as it was, after a newer tunelist, around a failing run, after a new
# include line, and after no edit at all.
#
#   consumer_example_test.sh <cmake> <tunetools build dir> <tunetools source dir> <generator>
#                            installed|subdirectory
set -euo pipefail
cmake=$1 generator=$4 mode=$5
tunetools_build=$(cd "$2" && pwd)
tunetools_source=$(cd "$3" && pwd)

if [ "$generator" = Ninja ] && ! command -v ninja >/dev/null; then
  echo "ninja is not installed: skipped"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
src=$work/src
out=$work/build
fail() {
  echo "FAIL: $*"
  exit 1
}

cp -R "$tunetools_source/examples/cmake-consumer" "$src"
(cd "$src" && find . | sort) > "$work/files-before"

if [ "$mode" = installed ]; then
  "$cmake" --install "$tunetools_build" --prefix "$work/prefix" > "$work/install.log"
  package=(-DCMAKE_PREFIX_PATH="$work/prefix")
else
  package=(-DTUNETOOLS_SOURCE_DIR="$tunetools_source")
fi
"$cmake" -S "$src" -B "$out" -G "$generator" "${package[@]}" > "$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; fail "configuring the example"; }

# Builds the example and sets `steps` to what ran, in order: list (tunelist), header (tunehdr),
# compile (main.c), link. Returns the build's status.
build() {
  local status=0
  "$cmake" --build "$out" > "$work/build.log" 2>&1 || status=$?
  touch "$work/built"
  steps=""
  if grep -q "Assembling song list" "$work/build.log"; then steps+=" list"; fi
  if grep -q "Generating mus_def.h" "$work/build.log"; then steps+=" header"; fi
  if grep -q "Building C object" "$work/build.log"; then steps+=" compile"; fi
  if grep -q "Linking C executable" "$work/build.log"; then steps+=" link"; fi
  steps=${steps# }
  return $status
}

# `build` must succeed and run exactly the steps given.
expect_build() {
  local what=$1 expected=$2
  build || { cat "$work/build.log"; fail "$what: the build failed"; }
  [ "$steps" = "$expected" ] ||
    { cat "$work/build.log"; fail "$what: ran '$steps', expected '$expected'"; }
  echo "$what: ${steps:-nothing}"
}

# A rebuild with no change runs nothing; Ninja itself must see no work.
expect_no_work() {
  expect_build "$1" ""
  if [ "$generator" = Ninja ]; then
    "$cmake" --build "$out" -- -n | grep -q "ninja: no work to do" ||
      fail "$1: ninja -n still sees work"
  fi
}

# Edits a file of the example with sed, and makes sure its time stamp is later than the last
# build's, however coarse the file system's clock.
edit() {
  local file=$src/$1
  shift
  sed -i "$@" "$file"
  while ! [ "$file" -nt "$work/built" ]; do
    sleep 0.05
    touch "$file"
  done
}

expect_game() {
  local expected=$1
  local got
  got=$("$out/game")
  [ "$got" = "$expected" ] || fail "the game printed:"$'\n'"$got"$'\n'"expected:"$'\n'"$expected"
}

expect_build "first build" "list header compile link"
expect_game "sound bank 1
title 1
field day 3
field night 4
cursor 100
decide 101"
expect_no_work "no edit"

# A new song ahead of the field music moves the numbers after it.
edit songs/field.txt 's/^; field music\r$/&\ns000=field_dawn,1,0,0\r/'
expect_build "fragment edit" "list header compile link"
expect_game "sound bank 1
title 1
field day 4
field night 5
cursor 100
decide 101"
expect_no_work "no edit after the fragment edit"

# A comment changes the song list but not mus_def.h: nothing that includes it recompiles.
header=$out/song_header/mus_def.h
cp -p "$header" "$work/header-before"
edit songs/effects.txt 's/^; sound effects start at 100/; sound effects, numbered from 100/'
expect_build "comment edit" "list header"
[ "$header" -nt "$work/header-before" ] && fail "comment edit: mus_def.h was rewritten"
expect_no_work "no edit after the comment edit"

if [ "$mode" = installed ]; then
  while ! [ "$work/prefix/bin/tunelist" -nt "$work/built" ]; do
    sleep 0.05
    touch "$work/prefix/bin/tunelist"
  done
  expect_build "newer tunelist" "list"
  expect_no_work "no edit after the newer tunelist"
fi

# A failing tunelist fails the build with its own message, and the song list and mus_def.h stay
# as they were.
cp "$out/tunebank.ini" "$work/list-before"
cp "$header" "$work/header-before"
mkdir "$src/songs/broken"
edit songs/game.def '$a #include broken\r'
if build; then
  cat "$work/build.log"
  fail "a fragment that cannot be read did not fail the build"
fi
grep -q "broken open error" "$work/build.log" ||
  { cat "$work/build.log"; fail "the build did not show tunelist's message"; }
cmp "$out/tunebank.ini" "$work/list-before" || fail "the failing run changed the song list"
cmp "$header" "$work/header-before" || fail "the failing run changed mus_def.h"
echo "failing run: the build failed with tunelist's message; song list and mus_def.h kept"

# Back to the working list: the song list comes out as before, so tunehdr need not run.
edit songs/game.def '/^#include broken\r$/d'
rmdir "$src/songs/broken"
expect_build "failure mended" "list"
expect_no_work "no edit after the mended failure"

# An edited definition list is read again: a fragment it newly names is a dependency at once.
printf 's000=jingle,1,0,0\r\n' > "$src/songs/jingles.txt"
edit songs/game.def '$a #include jingles.txt\r'
expect_build "new include line" "list header compile link"
grep -q "MUS_JINGLE" "$header" || fail "new include line: MUS_JINGLE is not in mus_def.h"
edit songs/jingles.txt 's/jingle/fanfare/'
expect_build "edit of the new fragment" "list header compile link"
grep -q "MUS_FANFARE" "$header" || fail "edit of the new fragment: MUS_FANFARE is not in mus_def.h"
expect_no_work "no edit at the end"

# Nothing was written into the source tree.
rm "$src/songs/jingles.txt"
(cd "$src" && find . | sort) > "$work/files-after"
diff "$work/files-before" "$work/files-after" || fail "the build wrote into the source tree"
echo "source tree: no file added"
