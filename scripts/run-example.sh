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
if [ -f commands.txt ]; then
  echo "== wendo-run --parse commands.txt"
  "$bin/wendo-run" --parse commands.txt
fi
