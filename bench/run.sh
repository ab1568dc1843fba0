#!/bin/bash
# Times wendo-run against sed, perl and sd on the same generated site, in the same run, and
# prints the medians and the ratios. Not a test: timings move with the machine's load, ratios
# measured side by side are what count.
#
# usage: bench/run.sh [--files N] [--runs R] [--edits "E1 E2 E3 E4 R1"] [--peers "sed perl sd"]
#                     [--record] [--no-build] [--no-check]
#   --files N    size of the site (2000 by default; 20000 is the large case), seed 1
#   --runs R     timed runs per command (median taken; default 5, at least 3 recommended)
#   --record     append the table, the date and the machine line to bench/RESULTS.md
#   --no-check   do not compare Wendo's result with its expected digest
#   --no-build   use the wendo-run already built in the build folder
# R1 is E1 written as a regular expression (FINDREPL REGEX, (?s)<!--BEGIN-->.*?<!--END-->): the
# peers run their E1 lines for it, and its result must be E1's bytes.
# Environment: WENDO_BENCH_BUILD build folder (default build/bench, Release);
#              WENDO_BENCH_OUT scratch folder (default bench/out); PEERS_SH peers.sh to use.
#
# Each timed command starts from a fresh copy of the site (hyperfine --prepare restores it and
# syncs, so write-back of the copy does not land in the next measurement). Wendo runs without
# pacing, its report off and no backups, as the peers make none.
set -euo pipefail
export LC_ALL=C

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
SHARED=${WENDO_BENCH_SHARED:-$(cd "$ROOT/../shared/bench" 2>/dev/null && pwd || true)}
PEERS_SH=${PEERS_SH:-$SHARED/peers.sh}
GEN=${GEN_SITE:-$SHARED/gen_site.py}
BUILD=${WENDO_BENCH_BUILD:-$ROOT/build/bench}
OUT=${WENDO_BENCH_OUT:-$HERE/out}

files=2000 runs=5 edits="E1 E2 E3 E4 R1" peers="sed perl sd" record=0 build=1 check=1
while [ $# -gt 0 ]; do
  case $1 in
    --files) files=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --edits) edits=$2; shift 2 ;;
    --peers) peers=$2; shift 2 ;;
    --record) record=1; shift ;;
    --no-build) build=0; shift ;;
    --no-check) check=0; shift ;;
    *) sed -n '2,/^set -e/p' "$0" | sed '$d'; exit 2 ;;
  esac
done

for tool in hyperfine python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || {
    echo "run.sh: $tool is missing (WENDO_BENCH_DEPS=1 scripts/install-deps.sh)" >&2; exit 2; }
done
[ -x "$PEERS_SH" ] && [ -f "$GEN" ] || { echo "run.sh: peers.sh/gen_site.py not found" >&2; exit 2; }

if [ $build = 1 ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWENDO_WITH_GUI=OFF >/dev/null
  cmake --build "$BUILD" --target wendo-run -j2 >/dev/null
fi
WENDO=$BUILD/bin/wendo-run
[ -x "$WENDO" ] || { echo "run.sh: no $WENDO" >&2; exit 2; }

mkdir -p "$OUT"
site=$OUT/site-$files work=$OUT/work-$files copy=$OUT/copy-$files
if [ ! -f "$site.done" ]; then
  rm -rf "$site"
  python3 "$GEN" --files "$files" --seed 1 --out "$site" >"$site.gen.txt"
  touch "$site.done"
fi

# One digest per tree: sha256 of the sorted per-file sums (relative paths).
tree_digest() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 sha256sum | sha256sum | cut -c1-64); }

command_file() {  # $1 = template name, $2 = tree → path of the command file for that tree
  local f="$OUT/$1-$files.wdo"
  sed "s|@DIR@|$2|g" "$HERE/commands/$1.wdo.in" >"$f"
  echo "$f"
}

# The peers' edit for one of Wendo's: R1 is E1 by regular expression.
peer_edit() { if [ "$1" = R1 ]; then echo E1; else echo "$1"; fi; }

restore="rm -rf '$work' && cp -a '$site' '$work' && sync"
html_cat="find '$site' -type f \\( -iname '*.htm' -o -iname '*.html' \\) -print0 | xargs -0 cat >/dev/null"
json=$OUT/json && mkdir -p "$json"

# Wendo's bytes: each edit's result is compared with the digest the unchanged engine gave.
expected=$HERE/expected-$files.txt
if [ $check = 1 ]; then
  for e in $edits; do
    eval "$restore"
    "$WENDO" --quiet "$(command_file "$e" "$work")" >/dev/null
    got=$(tree_digest "$work")
    want=$(awk -v e="$(peer_edit "$e")" '$1 == e { print $2 }' "$expected" 2>/dev/null || true)
    if [ -z "$want" ]; then
      echo "$e $got" >>"$expected"; echo "check $e: recorded $got"
    elif [ "$got" != "$want" ]; then
      echo "check $e: DIFFERENT result ($got, expected $want)" >&2; exit 1
    else
      echo "check $e: same bytes as expected"
    fi
  done
fi

# Peak memory of each Wendo edit.
declare -A peak
for e in $edits; do
  eval "$restore"
  peak[$e]=$( { /usr/bin/time -f '%M' "$WENDO" --quiet "$(command_file "$e" "$work")" \
               >/dev/null; } 2>&1 | tail -1)
done

# The walk and the pre-count alone: the same file set with a filter that matches no file.
eval "$restore"
hyperfine -N --runs "$runs" --warmup 1 --export-json "$json/walk.json" \
  "$WENDO --quiet $(command_file walk "$work")" >/dev/null

hyperfine --runs "$runs" --export-json "$json/base.json" \
  --prepare "rm -rf '$copy' && sync" -n cp "cp -r '$site' '$copy'" \
  --prepare "true" -n cat "$html_cat" >/dev/null

for e in $edits; do
  cmds=(-n wendo "$WENDO --quiet $(command_file "$e" "$work")")
  for p in $peers; do cmds+=(-n "$p" "'$PEERS_SH' $p $(peer_edit "$e") '$work'"); done
  hyperfine --runs "$runs" --prepare "$restore" --export-json "$json/$e.json" "${cmds[@]}" >/dev/null
done
rm -rf "$work" "$copy"

table=$(python3 - "$json" "$edits" "$peers" "$files" <<'EOF'
import json, sys, statistics
d, edits, peers, files = sys.argv[1], sys.argv[2].split(), sys.argv[3].split(), sys.argv[4]
def med(path, name):
    for r in json.load(open(path))["results"]:
        if r["command"] == name:
            return statistics.median(r["times"])
    return None
cp, cat = med(f"{d}/base.json", "cp"), med(f"{d}/base.json", "cat")
walk = json.load(open(f"{d}/walk.json"))["results"][0]
walk = statistics.median(walk["times"])
head = "| edit | wendo s | " + " | ".join(f"{p} s" for p in peers) + " | " + \
       " | ".join(f"W/{p}" for p in peers) + " | W/cp -r | W/cat |"
print(head)
print("|" + "---|" * (head.count("|") - 1))
for e in edits:
    w = med(f"{d}/{e}.json", "wendo")
    ps = [med(f"{d}/{e}.json", p) for p in peers]
    print(f"| {e} | {w:.2f} | " + " | ".join(f"{p:.2f}" for p in ps) + " | " +
          " | ".join(f"{w / p:.2f}" for p in ps) + f" | {w / cp:.2f} | {w / cat:.1f} |")
print(f"\n{files} files; cp -r of the tree {cp:.2f} s, cat of every HTML file {cat:.2f} s, "
      f"walk and pre-count alone {walk:.3f} s (medians)")
EOF
)
mem="peak memory of wendo-run (max RSS, MB):"
for e in $edits; do mem+=" $e $(( ${peak[$e]} / 1024 ))"; done
largest=$(find "$site" -type f \( -iname '*.htm' -o -iname '*.html' \) -printf '%s\n' | sort -n | tail -1)
mem+="; largest file $(( largest / 1024 )) KB"

echo "$table"
echo "$mem"
if [ $record = 1 ]; then
  {
    echo
    echo "### $(date -u '+%Y-%m-%d %H:%M UTC'), $files files, $runs runs"
    echo
    echo "Machine: $(uname -srm), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"\
         "$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), commit $(git -C "$ROOT" rev-parse --short HEAD)"
    echo
    echo "$table"
    echo
    echo "$mem"
  } >>"$HERE/RESULTS.md"
fi
