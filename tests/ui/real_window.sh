#!/usr/bin/env bash
# Starts the launcher program on a virtual X display, finds its window by its
# title, checks the window's size and place and saves a picture of it.
#   real_window.sh PROGRAM GRAB-TOOL PICTURE.png
# Exits 77 (skipped) when Xvfb or the X utilities are not installed.
set -euo pipefail

program=$1
grab=$2
picture=$3
readonly screen_width=1280 screen_height=800 width=760 content_height=650

for tool in xvfb-run xwininfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed" >&2
    exit 77
  fi
done
if [ -z "${REAL_WINDOW_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 ${screen_width}x${screen_height}x24" \
    env REAL_WINDOW_DISPLAY=1 "$0" "$@"
fi

home=$(mktemp -d)
pid=
finish() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$home"
}
trap finish EXIT

# A fresh root below its own data folder, on the X display rather than offscreen.
env -u QT_QPA_PLATFORM XDG_DATA_HOME="$home" "$program" &
pid=$!

window=
for _ in $(seq 150); do
  window=$(xwininfo -root -tree | awk '/"Veyra 2 Mac Launcher"/ { print $1; exit }')
  if [ -n "$window" ] && xwininfo -id "$window" | grep -q "Map State: IsViewable"; then
    break
  fi
  window=
  kill -0 "$pid" 2>/dev/null || { echo "the program ended before showing its window" >&2; exit 1; }
  sleep 0.1
done
[ -n "$window" ] || { echo "no window titled \"Veyra 2 Mac Launcher\" appeared" >&2; exit 1; }

info=$(xwininfo -id "$window")
field() { awk -v name="$1" -F: '$1 ~ name { gsub(/ /, "", $2); print $2; exit }' <<<"$info"; }
shown_width=$(field "Width")
shown_height=$(field "Height")
left=$(field "Absolute upper-left X")
top=$(field "Absolute upper-left Y")
echo "window $window: ${shown_width}x${shown_height} at ${left},${top}"

failed=0
check() { if ! eval "$1"; then echo "failed: $2" >&2; failed=1; fi; }
check "[ $shown_width -eq $width ]" "the window is $width wide"
# The menu bar sits inside the window above the content on Linux.
check "[ $shown_height -ge $content_height ] && [ $shown_height -le $((content_height + 60)) ]" \
  "the window holds a content $content_height high"
check "[ $(( left * 2 + shown_width - screen_width )) -ge -2 ] && [ $(( left * 2 + shown_width - screen_width )) -le 2 ]" \
  "the window is centred across the screen"
check "[ $(( top * 2 + shown_height - screen_height )) -ge -2 ] && [ $(( top * 2 + shown_height - screen_height )) -le 2 ]" \
  "the window is centred down the screen"

# Give the first paint a moment before the picture.
sleep 1
"$grab" "$window" "$picture"
echo "picture: $picture"
check "kill -0 $pid" "the program keeps running"
exit $failed
