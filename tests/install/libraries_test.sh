#!/usr/bin/env bash
# Installs the build tree into a scratch prefix and builds against Brio and Tessel from there as
# another program would: every public header compiles on its own, and a small C and a small C++
# program build and run with pkg-config and with find_package.
#   libraries_test.sh BUILD_DIR THIS_FOLDER
set -euo pipefail
build=$1
here=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/wendo-libraries.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
pcdir=$(dirname "$(find "$prefix" -name brio.pc)")
export PKG_CONFIG_PATH=$pcdir
libdir=$(pkg-config --variable=libdir brio)
# Nothing of the build tree may leak in: compile from the scratch folder only.
cd "$scratch"

for header in "$prefix"/include/brio/*.h; do
  echo "#include <brio/$(basename "$header")>" |
    cc -std=c11 -Wall -Werror -fsyntax-only -x c - $(pkg-config --cflags brio) ||
    fail "brio/$(basename "$header") does not compile on its own in C"
done
for header in "$prefix"/include/tessel/*.h; do
  echo "#include <tessel/$(basename "$header")>" |
    c++ -std=c++20 -Wall -Werror -fsyntax-only -x c++ - $(pkg-config --cflags tessel) ||
    fail "tessel/$(basename "$header") does not compile on its own"
done

cc -std=c11 -Wall -Werror -o use_brio "$here/use_brio.c" $(pkg-config --cflags --libs brio)
c++ -std=c++20 -Wall -Werror -o use_tessel "$here/use_tessel.cpp" \
  $(pkg-config --cflags --libs tessel)
LD_LIBRARY_PATH=$libdir ./use_brio | grep -qx "brio ok" || fail "use_brio (pkg-config)"
LD_LIBRARY_PATH=$libdir ./use_tessel | grep -qx "tessel ok" || fail "use_tessel (pkg-config)"

cmake -S "$here" -B with-cmake -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null ||
  fail "find_package(Brio) / find_package(Tessel)"
cmake --build with-cmake >/dev/null || fail "building with the CMake packages"
# Imported targets carry the installation's library folder as the programs' run path.
./with-cmake/use_brio | grep -qx "brio ok" || fail "use_brio (find_package)"
./with-cmake/use_tessel | grep -qx "tessel ok" || fail "use_tessel (find_package)"
echo "ok"
