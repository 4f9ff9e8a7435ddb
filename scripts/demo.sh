#!/usr/bin/env bash
# DEMONSTRATION WITH STAND-INS. Builds the test copy of the launcher, whose pins
# match the stand-in files that the test build generates, and runs a complete
# setup and launch with them in a temporary root folder: a generated stand-in
# game, a stand-in audio package and a runtime whose wine program is a small
# stand-in script. Nothing here is the real game, a Microsoft file or Wine; the
# real launcher accepts only the player's own files and the published runtime.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dependencies.sh
cmake --preset release >/dev/null
cmake --build --preset release --target veyra2-launcher-fixture >/dev/null

fixtures=build/release/fixtures
program=build/release/veyra2-launcher-fixture
root=$(mktemp -d "${TMPDIR:-/tmp}/veyra2-demo.XXXXXX")

cat <<TEXT
== Demonstration with stand-ins (not the real game, audio decoder or runtime)
   root folder: $root

$ veyra2-launcher --cli --install --game installer.zip --audio MPSetup.exe --cache prefetched --home ROOT
TEXT
"$program" --cli --install --home "$root" \
  --game "$fixtures/game/installer.zip" \
  --audio "$fixtures/audio/MPSetup.exe" \
  --cache "$fixtures/runtime/prefetched"

echo
echo "\$ veyra2-launcher --cli --status --home ROOT"
"$program" --cli --status --home "$root"

echo
echo "\$ veyra2-launcher --cli --launch --home ROOT"
status=0
"$program" --cli --launch --home "$root" || status=$?
echo "(the stand-in game exited with status $status)"

echo
echo "== The game log, $root/Logs/veyra2.log"
cat "$root/Logs/veyra2.log"
