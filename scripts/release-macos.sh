#!/usr/bin/env bash
# Builds the released macOS launcher on a Mac and makes the disk image a player
# downloads: "Veyra 2 Mac Launcher.app" with Qt and OpenSSL deployed into it,
# signed from the inside out with the hardened runtime, notarized and stapled.
#
#   scripts/release-macos.sh "Developer ID Application: NAME (TEAMID)" PROFILE
#
# PROFILE is a notarytool keychain profile, stored once with
#   xcrun notarytool store-credentials PROFILE --apple-id ID --team-id TEAMID
# With "-" as the identity the bundle is signed ad hoc and not notarized, for a
# local check. Needs Xcode's command-line tools and an x86_64 Qt 6 and OpenSSL 3
# (see the README), with CMAKE_PREFIX_PATH naming them and macdeployqt on PATH.
set -euo pipefail
cd "$(dirname "$0")/.."

identity=${1:?the signing identity, or - for an ad hoc signature}
profile=${2:-}
[ "$identity" = "-" ] || [ -n "$profile" ] || { echo "a notarytool keychain profile is needed to notarize" >&2; exit 1; }

build=build/macos
stage=$build/release-stage
app="$stage/Veyra 2 Mac Launcher.app"

# Only what ships: the tests are built and run by a separate configuration.
cmake --preset macos -DLAUNCHER_TESTS=OFF -DCMAKE_PREFIX_PATH="${CMAKE_PREFIX_PATH:-}"
cmake --build --preset macos
rm -rf "$stage"
cmake --install "$build" --prefix "$stage"

# The bundle's executable, veyra2-launcher, links no Qt; macdeployqt must be told
# about the desktop program beside it to bring Qt's frameworks and plug-ins in.
macdeployqt "$app" -executable="$app/Contents/MacOS/veyra2-launcher-desktop" -always-overwrite

sign() {
  codesign --force --options runtime --timestamp --sign "$identity" "$@"
}
# Inside out: the libraries and plug-ins, the frameworks, the desktop program,
# and the bundle last, which signs its executable.
find "$app/Contents" \( -name '*.dylib' -o -name '*.so' \) -type f -print0 | while IFS= read -r -d '' library; do
  sign "$library"
done
find "$app/Contents/Frameworks" -maxdepth 1 -name '*.framework' -print0 2>/dev/null |
  while IFS= read -r -d '' framework; do sign "$framework"; done
sign "$app/Contents/MacOS/veyra2-launcher-desktop"
sign "$app"
codesign --verify --deep --strict --verbose=2 "$app"

notarize() {
  xcrun notarytool submit "$1" --keychain-profile "$profile" --wait
}
if [ "$identity" != "-" ]; then
  # The bundle first, so that a copy dragged out of the disk image carries its ticket.
  ditto -c -k --keepParent "$app" "$build/notarize.zip"
  notarize "$build/notarize.zip"
  xcrun stapler staple "$app"
  rm "$build/notarize.zip"
fi

# The disk image holds exactly the staged, signed bundle: CPack packs the
# folder as it is instead of installing the build again.
(cd "$build" && cpack -G DragNDrop -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$PWD/release-stage;.")
dmg=$(ls "$build"/Veyra-2-Mac-Launcher-*.dmg)
if [ "$identity" != "-" ]; then
  codesign --force --timestamp --sign "$identity" "$dmg"
  notarize "$dmg"
  xcrun stapler staple "$dmg"
fi
echo "$dmg"
