#!/usr/bin/env bash
# Installs a built tree under a prefix (default ~/.local) without root, refreshes the desktop's
# menu, file-type and icon databases under that prefix when their tools are there, and checks
# what the desktop needs: the entry, the command file type and programs that find their
# libraries.
#   scripts/install-user.sh BUILD_DIR [PREFIX]
set -euo pipefail
build=${1:?usage: install-user.sh BUILD_DIR [PREFIX]}
prefix=${2:-$HOME/.local}
case $prefix in
  /*) ;;
  *) echo "install-user: the prefix must be an absolute folder: $prefix" >&2; exit 2 ;;
esac

cmake --install "$build" --prefix "$prefix" >/dev/null

share=$prefix/share
# Each refresh is best effort: a desktop without these tools reads the files directly.
if command -v update-desktop-database >/dev/null && [ -d "$share/applications" ]; then
  update-desktop-database -q "$share/applications" ||
    echo "install-user: menu cache not refreshed" >&2
fi
if command -v update-mime-database >/dev/null && [ -d "$share/mime/packages" ]; then
  # Its note about a folder outside XDG_DATA_DIRS is only shown when the refresh fails.
  out=$(update-mime-database "$share/mime" 2>&1) ||
    echo "install-user: file types not refreshed: $out" >&2
fi
# A user icon folder has no theme index; -t builds the cache without one.
if command -v gtk-update-icon-cache >/dev/null && [ -d "$share/icons/hicolor" ]; then
  gtk-update-icon-cache -q -f -t "$share/icons/hicolor" ||
    echo "install-user: icon cache not refreshed" >&2
fi

failed=0
fail() { echo "install-user: $*" >&2; failed=1; }

# The programs run from the prefix alone: no library path from the caller's environment.
runner=$prefix/bin/wendo-run
if [ -x "$runner" ]; then
  env -u LD_LIBRARY_PATH "$runner" --help >/dev/null || fail "$runner --help does not run"
fi
program=$prefix/bin/wendo
if [ -x "$program" ]; then
  missing=$(env -u LD_LIBRARY_PATH ldd "$program" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$program does not find: $missing"

  entry=$share/applications/wendo.desktop
  if [ -f "$entry" ]; then
    grep -Eq '^Exec=.*wendo"? %[fF]$' "$entry" || fail "$entry: Exec does not take a file"
    grep -q '^MimeType=.*application/x-wendo-command;' "$entry" || fail "$entry: no MimeType"
    grep -q '^Icon=wendo$' "$entry" || fail "$entry: Icon is not wendo"
  else
    fail "no desktop entry $entry"
  fi
  types=$share/mime/packages/wendo.xml
  if ! grep -q 'type="application/x-wendo-command"' "$types" 2>/dev/null ||
     ! grep -q '<glob pattern="\*.wdo"/>' "$types"; then
    fail "$types does not map *.wdo to application/x-wendo-command"
  fi
  [ -f "$share/icons/hicolor/scalable/apps/wendo.svg" ] || fail "no icon wendo.svg"
fi
[ "$failed" = 0 ] || exit 1
echo "Installed under $prefix"
