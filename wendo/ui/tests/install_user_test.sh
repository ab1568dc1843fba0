#!/usr/bin/env bash
# Installs the build tree into scratch prefixes as `make install-user` does and checks that the
# installed desktop program starts from there, hands a command file given to a second start
# over to the first, and that a staged (DESTDIR) install names the final folder.
#   install_user_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/wendo-install.XXXXXX")
first=
cleanup() {
  if [ -n "$first" ]; then kill "$first" 2>/dev/null || true; wait "$first" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$scratch/home/.local
"$source/scripts/install-user.sh" "$build" "$prefix"
entry=$prefix/share/applications/wendo.desktop
grep -qx "Exec=\"$prefix/bin/wendo\" %f" "$entry" || fail "Exec of $(grep ^Exec= "$entry")"
if command -v update-mime-database >/dev/null; then
  grep -q '^application/x-wendo-command:\*\.wdo$' "$prefix/share/mime/globs" ||
    fail "the refreshed file types do not know *.wdo"
fi

# The program as the menu starts it, with a private runtime folder for its single-instance
# socket and settings in the scratch home.
runtime=$scratch/run
mkdir -m 700 "$runtime"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime HOME=$scratch/home
export XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$prefix/share
unset LD_LIBRARY_PATH
"$prefix/bin/wendo" -nologo >"$scratch/first.log" 2>&1 &
first=$!
for _ in $(seq 100); do
  [ -S "$runtime/WENDO_CLASSAPP.socket" ] && break
  kill -0 "$first" 2>/dev/null || fail "the installed program ended: $(cat "$scratch/first.log")"
  sleep 0.1
done
[ -S "$runtime/WENDO_CLASSAPP.socket" ] || fail "the installed program did not come up"
cp "$source/examples/site.wdo" "$scratch/site.wdo"
timeout 15 "$prefix/bin/wendo" "$scratch/site.wdo" ||
  fail "the second start did not hand its file over"
kill -0 "$first" 2>/dev/null || fail "the first start ended"

# A staged install for a package: the entry names the program where it will be.
DESTDIR=$scratch/stage cmake --install "$build" --prefix /usr/local >/dev/null
grep -qx 'Exec="/usr/local/bin/wendo" %f' \
  "$scratch/stage/usr/local/share/applications/wendo.desktop" ||
  fail "the staged entry does not name /usr/local/bin/wendo"
echo "ok"
