#!/usr/bin/env bash
# Builds the libFuzzer programs with clang (AddressSanitizer and UndefinedBehaviorSanitizer)
# in BUILD (default build/fuzz) and runs each for FUZZ_SECONDS (default 60) on a copy of its
# seed corpus. New inputs stay in BUILD/corpus/<target>; a crash is saved in
# BUILD/crashes/<target>/ and makes the script fail. Add a fixed crash's input to
# fuzz/corpus/<target>/ so that the corpus replay of `make test` keeps it fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build/fuzz}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-$(nproc)}
if ! command -v clang++ >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq --no-install-recommends clang
fi
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DWENDO_WITH_GUI=OFF -DWENDO_FUZZ=ON -DWENDO_WARNINGS_AS_ERRORS=OFF -DBUILD_TESTING=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
targets=$(ls fuzz/corpus)
cmake --build "$BUILD" -j "$JOBS" --target $(for t in $targets; do echo "fuzz_$t"; done)
status=0
for t in $targets; do
  mkdir -p "$BUILD/corpus/$t" "$BUILD/crashes/$t"
  cp -n fuzz/corpus/$t/* "$BUILD/corpus/$t/" 2>/dev/null || true
  log="$BUILD/fuzz_$t.log"
  if ASAN_OPTIONS=detect_leaks=1 "$BUILD/bin/fuzz_$t" -max_total_time="$FUZZ_SECONDS" \
      -max_len=300000 -timeout=20 -rss_limit_mb=4096 -artifact_prefix="$BUILD/crashes/$t/" \
      "$BUILD/corpus/$t" >"$log" 2>&1; then
    echo "fuzz_$t: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" | tail -1)"
  else
    echo "fuzz_$t: FAILED, see $log and $BUILD/crashes/$t/"
    status=1
  fi
done
exit $status
