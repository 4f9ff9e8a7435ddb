#!/usr/bin/env bash
# Renders the project's icon (resources/veyra2-launcher.svg) into a macOS
# application icon with Apple's iconutil, from an iconset of every size a Mac
# asks for, each at 1x and 2x (16 to 512 points, 16 to 1024 pixels):
#
#   scripts/make-macos-icon.sh [OUTPUT.icns]    (default resources/veyra2-launcher.icns)
#
# The release script makes the released bundle's icon this way; run it without
# an argument after changing the SVG, and commit both. Needs macOS's iconutil
# and rsvg-convert (Homebrew's librsvg).
set -euo pipefail
cd "$(dirname "$0")/.."
output=${1:-resources/veyra2-launcher.icns}

command -v iconutil >/dev/null || { echo "iconutil is part of macOS: the icon is made on a Mac." >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/veyra2-icon.XXXXXX")
trap 'rm -rf "$work"' EXIT
iconset=$work/veyra2-launcher.iconset
mkdir "$iconset"
for points in 16 32 128 256 512; do
  rsvg-convert --width "$points" --height "$points" --output "$iconset/icon_${points}x${points}.png" \
    resources/veyra2-launcher.svg
  rsvg-convert --width $((points * 2)) --height $((points * 2)) --output "$iconset/icon_${points}x${points}@2x.png" \
    resources/veyra2-launcher.svg
done
iconutil --convert icns --output "$output" "$iconset"
