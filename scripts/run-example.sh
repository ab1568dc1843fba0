#!/usr/bin/env bash
# Runs Wendo on a scratch copy of examples/, so that the checked-in examples never change.
set -euo pipefail
build=${1:-build/default}
top=$(cd "$(dirname "$0")/.." && pwd)
bin=$top/$build/bin
scratch=$(mktemp -d "${TMPDIR:-/tmp}/wendo-example.XXXXXX")
cp -r "$top/examples/." "$scratch/"
cd "$scratch"
echo "Working on a copy of examples/ in $scratch"
# With a display, the desktop program opens the example command file.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$bin/wendo" ] && [ -f site.wdo ]; then
  echo "== wendo site.wdo"
  exec "$bin/wendo" "$scratch/site.wdo"
fi
echo "== wendo-run site.wdo"
"$bin/wendo-run" site.wdo || echo "(wendo-run ended with status $?)"
echo
echo "== the report read back: wendo-run --replay site.wdo"
"$bin/wendo-run" --replay site.wdo
echo
echo "The edited copy stays in $scratch; compare it with examples/site to see what changed."
