#!/usr/bin/env bash
# idle-memory.sh KANVARO [SECONDS]: starts the application in its window on a private Xvfb (no
# GPU there) at scale 2 over an empty documents folder, waits SECONDS (10) in the gallery, and
# prints the resident memory and how many top-level windows were mapped (a window made twice
# flashes on the desktop). Goal: at most 60 MiB without a GPU, one window mapped.
set -euo pipefail
app=${1:?usage: idle-memory.sh KANVARO [SECONDS]}
seconds=${2:-10}
for tool in Xvfb xdotool xev; do
  command -v "$tool" >/dev/null || { echo "idle-memory: $tool missing (scripts/setup installs it)" >&2; exit 1; }
done
work=$(mktemp -d)
xvfb=
pid=
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  [ -z "${watcher:-}" ] || kill "$watcher" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
# Scale 2: a remembered 640 x 960 window in a private settings file.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/kanvaro" "$work/docs" "$work/pictures"
echo "window-size=640x960" >"$XDG_CONFIG_HOME/kanvaro/kanvaro.conf"
# Every window mapped on the screen, as the server reports it.
xev -root -event substructure >"$work/events" 2>/dev/null &
watcher=$!
sleep 0.5
"$app" --documents "$work/docs" --pictures "$work/pictures" >"$work/app.log" 2>&1 &
pid=$!
timeout 20 xdotool search --sync --name Kanvaro >/dev/null
sleep "$seconds"
rss=$(awk '/VmRSS/{print $2}' "/proc/$pid/status")
mapped=$(grep -c '^MapNotify' "$work/events" || true)
awk -v s="$seconds" -v kb="$rss" -v mapped="$mapped" 'BEGIN {
  printf "idle in the gallery after %ss: %.1f MiB resident; windows mapped: %s\n", s, kb / 1024, mapped }'
