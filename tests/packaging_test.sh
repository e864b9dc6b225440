#!/usr/bin/env bash
# Installs tunetools into a temporary prefix and builds its packages, and checks that each holds
# the two programs, their manual pages and a CMake package that find_package takes, with the
# version of the build.
#
#   packaging_test.sh <cmake> <cpack> <tunetools build dir> <version>
set -euo pipefail
cmake=$1 cpack=$2 version=$4
build=$(cd "$3" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

# The files under a prefix, with the folder of CMake's package files written as <cmake>.
installed_files() {
  (cd "$1" && find . -type f | sed -e 's|^\./||' -e 's|^lib[^/]*\(/[^/]*\)\{0,1\}/cmake/tunetools/|<cmake>/|' |
    sed -e 's|tunetoolsTargets-[a-z]*\.cmake|tunetoolsTargets-<config>.cmake|' | sort)
}

expected="<cmake>/tunetoolsConfig.cmake
<cmake>/tunetoolsConfigVersion.cmake
<cmake>/tunetoolsTargets-<config>.cmake
<cmake>/tunetoolsTargets.cmake
<cmake>/tunetools_songs.cmake
bin/tunehdr
bin/tunelist
share/man/man1/tunehdr.1
share/man/man1/tunelist.1"

# find_package in a project without a compiler: prints the version and where the two programs
# are, or fails.
cat > "$work/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(find_tunetools NONE)
find_package(tunetools ${WANTED_VERSION} CONFIG REQUIRED)
get_target_property(tunelist tunetools::tunelist LOCATION)
get_target_property(tunehdr tunetools::tunehdr LOCATION)
message(STATUS "found ${tunetools_VERSION}: ${tunelist} ${tunehdr}")
EOF

# Takes the package under a prefix with find_package, and runs its tunehdr.
check_package() {
  local what=$1 prefix=$2
  local got
  got=$(installed_files "$prefix")
  [ "$got" = "$expected" ] || fail "$what holds:"$'\n'"$got"$'\n'"expected:"$'\n'"$expected"

  "$cmake" -S "$work" -B "$work/find" -DCMAKE_PREFIX_PATH="$prefix" -DWANTED_VERSION=1.0 \
    > "$work/find.log" 2>&1 || { cat "$work/find.log"; fail "$what: find_package failed"; }
  grep -q "found $version: $prefix/bin/tunelist $prefix/bin/tunehdr" "$work/find.log" ||
    { cat "$work/find.log"; fail "$what: find_package found the wrong programs"; }
  rm -rf "$work/find"
  local next_major=$((${version%%.*} + 1))
  if "$cmake" -S "$work" -B "$work/find" -DCMAKE_PREFIX_PATH="$prefix" \
    -DWANTED_VERSION=$next_major.0 > "$work/find.log" 2>&1; then
    fail "$what: find_package took version $version for $next_major.0"
  fi
  rm -rf "$work/find"

  (cd "$work" && printf 's001=title,1\n' > list.ini && "$prefix/bin/tunehdr" list.ini > /dev/null) ||
    fail "$what: the installed tunehdr failed"
  printf '#define\tMUS_TITLE\t1\r\n' > "$work/expected.h"
  cmp "$work/mus_def.h" "$work/expected.h" || fail "$what: the installed tunehdr wrote a wrong mus_def.h"
  rm "$work/mus_def.h"
  echo "$what: the programs, manual pages and a CMake package of version $version"
}

"$cmake" --install "$build" --prefix "$work/prefix" > "$work/install.log"
check_package "cmake --install" "$work/prefix"

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/packages" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }

archive=$(ls "$work/packages"/tunetools-"$version"-*.tar.gz) || fail "cpack made no .tar.gz"
mkdir "$work/from-archive"
tar -xzf "$archive" -C "$work/from-archive" --strip-components=1
check_package "$(basename "$archive")" "$work/from-archive"

if ! command -v dpkg-deb >/dev/null; then
  echo "dpkg-deb is not installed: the .deb was not checked"
else
  deb=$(ls "$work/packages"/tunetools_"$version"_*.deb) || fail "cpack made no .deb"
  [ "$(dpkg-deb -f "$deb" Package Version)" = "Package: tunetools"$'\n'"Version: $version" ] ||
    fail "the .deb names the wrong package or version"
  dpkg-deb -x "$deb" "$work/from-deb"
  check_package "$(basename "$deb")" "$work/from-deb/usr"
fi
