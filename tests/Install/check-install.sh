#!/usr/bin/env bash
# check-install.sh BUILD: installs BUILD into a temporary prefix, checks the layout, validates the
# desktop entry, then starts the installed kanvaro from an unrelated folder under Xvfb: it must
# keep running (a window on a display) and find every resource. Exit 77 (skipped) without Xvfb.
set -uo pipefail
build=${1:?usage: check-install.sh BUILD}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for f in bin/kanvaro share/applications/kanvaro.desktop share/kanvaro/Resources/Brush.png \
  share/icons/hicolor/16x16/apps/kanvaro.png share/icons/hicolor/256x256/apps/kanvaro.png; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done
[ ! -e "$prefix/share/kanvaro/Resources/Desktop" ] || fail "the desktop files went into the bundle too"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/kanvaro.desktop" || fail "the desktop entry is not valid"
else
  echo "check-install: desktop-file-validate missing (scripts/setup installs it); entry not validated"
fi

if ! command -v Xvfb >/dev/null; then
  echo "check-install: Xvfb missing, the installed program was not started"
  exit 77
fi
# A display of our own, numbered by the server (-displayfd): no lock or temporary folder is shared
# with tests running beside this one.
Xvfb -displayfd 3 -screen 0 1024x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
mkdir -p "$work/elsewhere" && cd "$work/elsewhere" || fail "cannot make a working folder"
# Runs for a few seconds, then timeout ends it (status 124): it must not have stopped by itself.
env -u KANVARO_RESOURCES -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=":$(head -n1 "$work/display")" \
  timeout 4 "$prefix/bin/kanvaro" --documents "$work/docs" --pictures "$work/pictures" \
  --exports "$work/exports" >"$work/out.log" 2>&1
status=$?
cat "$work/out.log"
[ "$status" -eq 124 ] || fail "the installed kanvaro stopped with status $status instead of running"
if grep -qiE "cannot|could not|missing" "$work/out.log"; then fail "the installed kanvaro could not load everything"; fi
echo "check-install: installed, validated and ran from $work/elsewhere"
