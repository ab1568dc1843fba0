#!/bin/bash
# Counts the system calls of the walk and the pre-count alone (the file set of
# commands/walk.wdo.in: two recursive entries whose filters match no file) and times that run.
# Not a test. Prints the listings and the status calls per folder and per name, then the median.
#
# usage: bench/walk.sh [--files N] [--runs R] [--no-build]
# Environment as bench/run.sh: WENDO_BENCH_BUILD, WENDO_BENCH_OUT, GEN_SITE.
set -euo pipefail
export LC_ALL=C

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
GEN=${GEN_SITE:-$ROOT/../shared/bench/gen_site.py}
BUILD=${WENDO_BENCH_BUILD:-$ROOT/build/bench}
OUT=${WENDO_BENCH_OUT:-$HERE/out}

files=2000 runs=15 build=1
while [ $# -gt 0 ]; do
  case $1 in
    --files) files=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --no-build) build=0; shift ;;
    *) sed -n '2,/^set -e/p' "$0" | sed '$d'; exit 2 ;;
  esac
done
for tool in strace hyperfine python3; do
  command -v "$tool" >/dev/null || { echo "walk.sh: $tool is missing" >&2; exit 2; }
done

if [ $build = 1 ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWENDO_WITH_GUI=OFF >/dev/null
  cmake --build "$BUILD" --target wendo-run -j2 >/dev/null
fi
WENDO=$BUILD/bin/wendo-run
mkdir -p "$OUT"
site=$OUT/site-$files
if [ ! -f "$site.done" ]; then
  rm -rf "$site"
  python3 "$GEN" --files "$files" --seed 1 --out "$site" >"$site.gen.txt"
  touch "$site.done"
fi
cmd=$OUT/walk-$files.wdo
sed "s|@DIR@|$site|g" "$HERE/commands/walk.wdo.in" >"$cmd"

trace=$OUT/walk-$files.strace
strace -f -e trace=%file,%stat,getdents64,close -o "$trace" "$WENDO" --quiet "$cmd" >/dev/null
folders=$(find "$site" -type d | wc -l)
names=$(find "$site" -mindepth 1 | wc -l)
# Only the calls on the site count: a run also sweeps the temporary folders for work folders
# that killed runs left behind, and how many there are depends on the machine.
awk -v site="$site" -v folders="$folders" -v names="$names" '
  { sub(/^[0-9]+ +/, "") }
  /^openat\(/ && /O_DIRECTORY/ && index($0, "\"" site) {
    n = $NF + 0; if (n >= 0) { onsite[n] = 1; opens++ } next }
  /^close\(/ { n = substr($0, 7) + 0; delete onsite[n]; next }
  /^getdents64\(/ { n = substr($0, 12) + 0; if (n in onsite) reads++; next }
  /^(newfstatat|statx)\([0-9]+, ""/ { n = substr($0, index($0, "(") + 1) + 0
    if (n in onsite) byfd++; next }
  /^(newfstatat|statx)\([0-9]+, "/ { n = substr($0, index($0, "(") + 1) + 0
    if (n in onsite) byname++; next }
  /^(newfstatat|statx|lstat|stat)\(/ && index($0, "\"" site) { bypath++ }
  END {
    printf "%d folders, %d names\n", folders, names
    printf "folder opens %d (%.2f per folder), getdents64 %d, status calls by name %d " \
           "(%.2f per name), fstat of a folder %d, status calls by path %d\n",
           opens, opens / folders, reads, byname, byname / names, byfd, bypath
  }' "$trace"

json=$OUT/walk-$files.json
hyperfine -N --runs "$runs" --warmup 3 --export-json "$json" "$WENDO --quiet $cmd" >/dev/null 2>&1
python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results'][0]; \
print('walk-only run: median %.1f ms (user %.1f ms, system %.1f ms)' % \
(r['median']*1e3, r['user']*1e3, r['system']*1e3))" "$json"
