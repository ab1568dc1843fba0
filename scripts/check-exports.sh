#!/usr/bin/env bash
# check-exports.sh LIB NAMES: the library's defined dynamic symbols must be exactly NAMES.
set -euo pipefail
lib=$1 names=$2
got=$(nm -D --defined-only "$lib" | awk '{print $NF}' | sort -u)
want=$( (grep -v "^$" "$names" || true) | sort -u)
if [ "$got" != "$want" ]; then
  echo "exported symbols of $lib differ from $names:"
  diff <(echo "$want") <(echo "$got") || true
  exit 1
fi
