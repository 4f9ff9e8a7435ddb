#!/usr/bin/env bash
# Renders the project's icon (resources/veyra2-launcher.svg) into the macOS
# application icon, resources/veyra2-launcher.icns, which the bundle carries.
# Run it after changing the SVG, and commit both. Needs rsvg-convert and png2icns
# (Debian: librsvg2-bin, icnsutils).
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d "${TMPDIR:-/tmp}/veyra2-icon.XXXXXX")
trap 'rm -rf "$work"' EXIT
pngs=()
for size in 16 32 128 256 512 1024; do
  rsvg-convert --width "$size" --height "$size" --output "$work/icon-$size.png" resources/veyra2-launcher.svg
  pngs+=("$work/icon-$size.png")
done
png2icns resources/veyra2-launcher.icns "${pngs[@]}"
