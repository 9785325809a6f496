#!/usr/bin/env bash
# check-window-under-xvfb.sh KANVARO KANVARO_SCRIPT PAINTING: opens PAINTING in the real window under a
# private Xvfb, sizes the window to 1.5 and then 3 times the phone, captures it, and compares each
# capture with the headless host's screenshot at that scale: the window must draw the screen at
# its scale (sharp text and pictures), not stretch a bitmap. Then F11 there, with no window manager.
# Exit 77 (skipped) without Xvfb, xdotool or xwd.
set -uo pipefail
app=${1:?usage: check-window-under-xvfb.sh KANVARO KANVARO_SCRIPT PAINTING}
driver=${2:?}
painting=${3:?}
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "check-window-under-xvfb: $*" >&2; exit 1; }
for tool in Xvfb xdotool xwd python3; do
  command -v "$tool" >/dev/null || { echo "check-window-under-xvfb: $tool missing (scripts/setup installs it)"; exit 77; }
done
work=$(mktemp -d)
xvfb=
stop_display() { [ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; xvfb=; }; }
trap 'stop_display; rm -rf "$work"' EXIT
# A private server of the given size, numbered by itself (-displayfd): nothing shared with tests
# running beside this one.
use_display() {
  stop_display
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
  export DISPLAY=":$(head -n1 "$work/display")"
}
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
# The window remembers its frame in the settings file: a private one, read and written here only.
export XDG_CONFIG_HOME="$work/config"

printf 'wait 3\nscreenshot %s\n' "$work/headless.png" >"$work/shot.script"
# The window opens above 3x, the largest scale this screen fits, with the @3x pictures: made 1.5x
# it must draw the @2x ones, as the headless screen at 1.5 does.
use_display 1600x1600
for scale in 1.5 3; do
  width=$(python3 -c "print(round(320 * $scale))")
  height=$(python3 -c "print(round(480 * $scale))")
  bar=$(python3 -c "print(round(20 * $scale))") # the status bar, whose clock differs
  rm -rf "$work/docs" && mkdir -p "$work/docs" "$work/pictures"
  "$driver" --documents "$work/docs" --pictures "$work/pictures" --scale "$scale" --open "$painting" \
    "$work/shot.script" || fail "the headless session at scale $scale failed"

  rm -rf "$work/docs" && mkdir -p "$work/docs"
  "$app" --documents "$work/docs" --pictures "$work/pictures" "$painting" >"$work/app.log" 2>&1 &
  pid=$!
  window=$(timeout 20 xdotool search --sync --name Kanvaro | head -n1)
  [ -n "$window" ] || { kill "$pid"; cat "$work/app.log"; fail "no Kanvaro window appeared"; }
  xdotool windowsize "$window" "$width" "$height"
  sleep 3
  xwd -id "$window" -silent >"$work/window.xwd" || fail "cannot capture the window"
  kill "$pid"
  wait "$pid" 2>/dev/null
  echo "scale $scale (${width} x ${height}):"
  python3 "$here/compare_screens.py" "$work/window.xwd" "$work/headless.png" "$bar" \
    || fail "the window at scale $scale does not show what the headless screen shows"
done

# F11 with no window manager to ask (this bare Xvfb): the window itself covers the screen, and a
# second F11 gives back the frame it had.
geometry() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF} /Height:/{h=$NF} END{print x","y","w"x"h}'; }
"$app" --documents "$work/docs" --pictures "$work/pictures" >"$work/app.log" 2>&1 &
pid=$!
window=$(timeout 20 xdotool search --sync --name Kanvaro | head -n1)
[ -n "$window" ] || { kill "$pid"; fail "no Kanvaro window appeared"; }
sleep 1
before=$(geometry "$window")
xdotool windowfocus --sync "$window" key F11
sleep 1
full=$(geometry "$window")
xdotool key F11
sleep 1
after=$(geometry "$window")
kill "$pid"
wait "$pid" 2>/dev/null
echo "F11: $before -> $full -> $after"
[ "$full" = "0,0,1600x1600" ] || fail "F11 left the window at $full instead of covering the 1600 x 1600 screen"
[ "$after" = "$before" ] || fail "the second F11 left the window at $after instead of $before"
echo "check-window-under-xvfb: the window draws at 1.5 and 3 times the phone, and F11 covers the screen"
