#!/usr/bin/env bash
# Builds the Debian packages as `make package` does, unpacks the program's package into a
# scratch root and runs the runner from there on a copy of the example.
#   package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/wendo-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
(cd "$build" && cpack --config CPackConfig.cmake -B "$scratch/out" >"$scratch/cpack.log" 2>&1) ||
  fail "cpack: $(tail -20 "$scratch/cpack.log")"
deb=$scratch/out/wendo_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb") in: $(ls "$scratch/out")"
[ -f "$scratch/out/wendo-dev_${version}_amd64.deb" ] || fail "no wendo-dev package"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks the scanned libraries: $depends"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
for f in bin/wendo bin/wendo-run share/man/man1/wendo.1.gz share/man/man1/wendo-run.1.gz \
         share/applications/wendo.desktop share/mime/packages/wendo.xml \
         share/icons/hicolor/scalable/apps/wendo.svg; do
  [ -e "$root/usr/$f" ] || fail "the package lacks /usr/$f"
done
grep -qx 'Exec="/usr/bin/wendo" %f' "$root/usr/share/applications/wendo.desktop" ||
  fail "the desktop entry does not name /usr/bin/wendo"
[ -z "$(find "$root" -path '*/include/*' -print -quit)" ] || fail "headers in the program's package"

runner=$root/usr/bin/wendo-run
got=$(env -u LD_LIBRARY_PATH "$runner" --version)
[ "$got" = "wendo-run $version" ] || fail "--version printed: $got"
got=$(env -u LD_LIBRARY_PATH -u DISPLAY "$root/usr/bin/wendo" --version)
[ "$got" = "wendo $version" ] || fail "wendo --version printed: $got"
cp -r "$source/examples/site" "$source/examples/site.wdo" "$scratch/"
(cd "$scratch" && env -u LD_LIBRARY_PATH "$runner" --yes --quiet site.wdo >run.log 2>&1) ||
  fail "the packaged runner failed: $(cat "$scratch/run.log")"
! cmp -s "$source/examples/site/index.htm" "$scratch/site/index.htm" ||
  fail "the packaged runner changed nothing: $(cat "$scratch/run.log")"
echo "ok"
