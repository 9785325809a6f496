#!/usr/bin/env bash
# The gallery's sessions in the real SDL window, driven with xdotool (a manual check; CTest runs
# the same sessions headless through kanvaro-script). Run under a virtual display:
#   xvfb-run -a -s "-screen 0 1280x1024x24" tests/EndToEnd/window-sessions.sh build/dev/Classes/kanvaro
# Prints what each session left in the documents folder and keeps screenshots in $WORK.
set -u
APP_BIN=${1:-build/dev/Classes/kanvaro}
SRC=$(cd "$(dirname "$0")/../.." && pwd)
WORK=${WORK:-/tmp/kanvaro-window-sessions}
rm -rf "$WORK"; mkdir -p "$WORK/Documents" "$WORK/Pictures"
cp "$SRC/tests/EndToEnd/fixtures/broken/Documents/"* "$WORK/Documents/"
cp "$SRC/Resources/SamplePhotos/chelsea.png" "$WORK/Pictures/"
export KANVARO_RESOURCES="$SRC/Resources"
"$APP_BIN" --documents "$WORK/Documents" --pictures "$WORK/Pictures" > "$WORK/log" 2>&1 &
APP=$!
WID=$(xdotool search --sync --name Kanvaro | head -1)
sleep 2
eval "$(xdotool getwindowgeometry --shell "$WID")"
S=$(( WIDTH / 320 ))   # window pixels per point
click() { xdotool mousemove --window "$WID" $(( $1 * S )) $(( $2 * S )) click 1; sleep "${3:-1}"; }
drag() {
  xdotool mousemove --window "$WID" $(( $1 * S )) $(( $2 * S )) mousedown 1
  for i in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove --window "$WID" $(( ($1 + ($3 - $1) * i / 10) * S )) $(( ($2 + ($4 - $2) * i / 10) * S ))
    sleep 0.03
  done
  xdotool mouseup 1; sleep 0.3
}
shot() { import -window root "$WORK/$1.png"; }
files() { echo "$1: $(cd "$WORK/Documents" && ls | tr '\n' ' ')"; }

# 4. The corrupt archive (the only painting, top left): the alert, then Cancel.
click 26 93 1; shot broken-alert; click 160 275 1
files "4 corrupt archive"
# 5. A blank canvas left unpainted saves nothing.
click 290 42; click 160 372 1.5; click 40 42 2
files "5 unpainted"
# 1. A blank canvas with three strokes is saved on the way back.
click 290 42; click 160 372 1.5
drag 40 120 280 360; drag 280 120 40 360; drag 40 240 280 240
sleep 2.5; click 40 42 2; shot gallery
files "1 painted"
# 2. A photo painting: pick the photo, paint, back.
click 290 42; click 160 318 1.5; shot picker; click 41 106 0.4; shot blueprint-spinner; sleep 3
drag 40 200 280 280; sleep 2.5; click 40 42 2
files "2 photo"
# 3. Edit: mark the blank painting (right of the broken one), then the photo painting, which
# has moved up into its place, and press Done.
click 30 42 1; shot edit; click 198 75 0.6; click 180 89 0.6; click 30 42 1.5
files "3 after Done"
kill -TERM "$APP"; wait "$APP"; echo "exit status $?"
