#!/bin/bash
# How long the report window takes to answer input while a run feeds it: wendo-respond runs
# the desktop program offscreen on each workload, with pacing off and on, posts a key press to
# the report window every 10 ms and prints the latencies. Target: at most 50 ms. Not a test:
# the figures move with the machine's load (the load is part of the recorded machine line).
#
# The rows workload also replays the report of its unpaced run (View > Report) and prints the
# time until the path list shows every row (target: under 2 s) and the program's memory per
# row beyond the rows' texts (target: at most 100 bytes).
#
# usage: bench/respond.sh [--files N] [--mean-kb K] [--window S]
#                         [--workloads "million site rows"] [--record] [--no-build]
#   --files N     size of the benchmark site and of the rows tree (20000 by default); the
#                 site: seed 1, edit E1
#   --mean-kb K   mean size of the site's files (40 by default, as run.sh)
#   --window S    paced runs are stopped after S seconds (30 by default); unpaced runs finish
#   --workloads   million: 1,000 files of 1,000 one-letter replacements each; site: the site;
#                 rows: N files of one letter, in folders of 100, each one replaced, with a
#                 report (default "million site")
#   --record      append the table, the date and the machine line to bench/RESULTS.md
#   --no-build    use the wendo-respond already built in the build folder
# Environment: WENDO_RESPOND_BUILD build folder (default build/respond, Release, GUI on);
#              WENDO_BENCH_OUT scratch folder (default bench/out); GEN_SITE gen_site.py.
set -euo pipefail
export LC_ALL=C

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
SHARED=${WENDO_BENCH_SHARED:-$(cd "$ROOT/../shared/bench" 2>/dev/null && pwd || true)}
GEN=${GEN_SITE:-$SHARED/gen_site.py}
BUILD=${WENDO_RESPOND_BUILD:-$ROOT/build/respond}
OUT=${WENDO_BENCH_OUT:-$HERE/out}

files=20000 meankb=40 window=30 workloads="million site" record=0 build=1
while [ $# -gt 0 ]; do
  case $1 in
    --files) files=$2; shift 2 ;;
    --mean-kb) meankb=$2; shift 2 ;;
    --window) window=$2; shift 2 ;;
    --workloads) workloads=$2; shift 2 ;;
    --record) record=1; shift ;;
    --no-build) build=0; shift ;;
    *) sed -n '2,/^set -e/p' "$0" | sed '$d'; exit 2 ;;
  esac
done

if [ $build = 1 ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWENDO_WITH_GUI=ON >/dev/null
  cmake --build "$BUILD" --target wendo-respond -j2 >/dev/null
fi
RESPOND=$BUILD/bin/wendo-respond
[ -x "$RESPOND" ] || { echo "respond.sh: no $RESPOND" >&2; exit 2; }
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD/CMakeCache.txt" 2>/dev/null || true)

mkdir -p "$OUT"
# The pristine trees; each run edits a fresh copy.
million=$OUT/million
if [ ! -f "$million.done" ]; then
  rm -rf "$million"
  python3 - "$million" <<'EOF'
import os, sys
root = sys.argv[1]
for folder in range(10):
    path = os.path.join(root, f"d{folder}")
    os.makedirs(path)
    for n in range(100):
        with open(os.path.join(path, f"f{n:03}.htm"), "w") as f:
            f.write("a" * 1000)
EOF
  touch "$million.done"
fi
site=$OUT/site-$files
[ "$meankb" = 40 ] || site=$site-${meankb}kb
if [[ " $workloads " == *" site "* ]] && [ ! -f "$site.done" ]; then
  [ -f "$GEN" ] || { echo "respond.sh: gen_site.py not found" >&2; exit 2; }
  rm -rf "$site"
  python3 "$GEN" --files "$files" --mean-kb "$meankb" --seed 1 --out "$site" >"$site.gen.txt"
  touch "$site.done"
fi
rowstree=$OUT/rows-$files
if [[ " $workloads " == *" rows "* ]] && [ ! -f "$rowstree.done" ]; then
  rm -rf "$rowstree"
  python3 - "$rowstree" "$files" <<'EOF'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
for n in range(count):
    folder = os.path.join(root, f"d{n // 100:05}")
    if n % 100 == 0:
        os.makedirs(folder)
    with open(os.path.join(folder, f"f{n % 100:03}.htm"), "w") as f:
        f.write("a")
EOF
  touch "$rowstree.done"
fi

work=$OUT/respond-work
rows=() replays=()
for w in $workloads; do
  case $w in
    million) tree=$million template=million label="1,000 x 1,000 replacements" ;;
    site) tree=$site template=E1 label="site $files files, E1" ;;
    rows) tree=$rowstree template=rows label="$files one-letter files" ;;
    *) echo "respond.sh: unknown workload $w" >&2; exit 2 ;;
  esac
  for pace in 0 1; do
    rm -rf "$work" && cp -a "$tree" "$work" && sync
    job=$OUT/respond-$w.wdo
    sed "s|@DIR@|$work|g" "$HERE/commands/$template.wdo.in" >"$job"
    limit=0
    [ $pace = 1 ] && limit=$window
    # Exit status 3 only says the target was missed; the row tells it.
    row=$("$RESPOND" --pace $pace --window "$limit" --label "$label" "$job") || [ $? = 3 ]
    rows+=("$row")
    if [ $w = rows ] && [ $pace = 0 ]; then
      row=$("$RESPOND" --replay --label "$label" "$job") || [ $? = 3 ]
      replays+=("$row")
    fi
  done
done
rm -rf "$work" "$work.log"

table="| workload | pacing | run s | replacements | probes | median ms | p99 ms | max ms | max <= 50 ms | notifications | mean ms each | max ms each (CPU) |
|---|---|---|---|---|---|---|---|---|---|---|---|"
for r in "${rows[@]}"; do table+=$'\n'"$r"; done
note="Probes: a key press posted to the report window every 10 ms from another thread, timed from posting to handling. Notifications: the run's events handled by the interface thread and the time each took (for the longest, the interface thread's own CPU time: far less means it was preempted). Paced runs stopped after $window s; build $build_type."

if [ ${#replays[@]} -gt 0 ]; then
  replay_table="| replayed report | rows | open s | under 2 s | RSS before MB | RSS after MB | text bytes per row | other bytes per row | at most 100 |
|---|---|---|---|---|---|---|---|---|"
  for r in "${replays[@]}"; do replay_table+=$'\n'"$r"; done
  note+="

Replay: View > Report on the unpaced run's report, timed until every row is in the path list and painted; resident memory (after returning free heap to the system) before and after, less the rows' texts as the list stores them (each name; each folder and message once)."
  table+=$'\n\n'"$replay_table"
fi
echo "$table"
echo
echo "$note"
if [ $record = 1 ]; then
  {
    echo
    echo "### $(date -u '+%Y-%m-%d %H:%M UTC'), report window responsiveness (respond.sh)"
    echo
    echo "Machine: $(uname -srm), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"\
         "$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), commit $(git -C "$ROOT" rev-parse --short HEAD)"
    echo
    echo "$table"
    echo
    echo "$note"
  } >>"$HERE/RESULTS.md"
fi
