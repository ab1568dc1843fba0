#!/usr/bin/env bash
# Installs the Debian packages that building and testing Wendo need. Safe to run again:
# packages already present are left alone and nothing is fetched when all are there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev qt6-webengine-dev
  cmark
  libgtest-dev libgmock-dev
  libcli11-dev nlohmann-json3-dev
  libacl1-dev libattr1-dev
  libpcre2-dev
  libdtl-dev nettle-dev
  python3 strace help2man
  xvfb xauth
)
# Optional extras for benchmarks: WENDO_BENCH_DEPS=1 scripts/install-deps.sh
if [ "${WENDO_BENCH_DEPS:-0}" = 1 ]; then
  packages+=(hyperfine sd perl sed time)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
