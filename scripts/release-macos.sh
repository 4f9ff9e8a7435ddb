#!/usr/bin/env bash
# Builds the released macOS launcher on a Mac and makes the disk image a player
# downloads: "Veyra 2 Mac Launcher.app", a universal program (arm64 and x86_64,
# so that on Apple silicon without Rosetta it starts and says how to install
# Rosetta) with Qt and OpenSSL deployed into it, every file of it for macOS 14.0
# or earlier, signed from the inside out with the hardened runtime, notarized
# and stapled.
#
#   scripts/release-macos.sh "Developer ID Application: NAME (TEAMID)" PROFILE
#
# PROFILE is a notarytool keychain profile, stored once with
#   xcrun notarytool store-credentials PROFILE --apple-id ID --team-id TEAMID
# With "-" as the identity the bundle is signed ad hoc and not notarized, for a
# local check. Needs Xcode's command-line tools, rsvg-convert for the icon, and
# universal Qt 6, OpenSSL 3 and ICU built for macOS 14.0 (see the README), with
# CMAKE_PREFIX_PATH naming them and macdeployqt on PATH.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(uname -s)" != Darwin ]; then
  echo "The release is built on macOS." >&2
  exit 1
fi

identity=${1:?the signing identity, or - for an ad hoc signature}
profile=${2:-}
[ "$identity" = "-" ] || [ -n "$profile" ] || { echo "a notarytool keychain profile is needed to notarize" >&2; exit 1; }

source scripts/macos-bundle-checks.sh
readonly kMinimumSystem=14.0
build=build/macos
stage=$build/release-stage
app="$stage/Veyra 2 Mac Launcher.app"

# The icon from every size at 1x and 2x; the build puts it in the bundle.
mkdir -p "$build"
scripts/make-macos-icon.sh "$PWD/$build/veyra2-launcher.icns"

# Only what ships: the tests are built and run by a separate configuration.
cmake --preset macos -DLAUNCHER_TESTS=OFF -DCMAKE_PREFIX_PATH="${CMAKE_PREFIX_PATH:-}" \
  -DLAUNCHER_MACOS_ICON="$PWD/$build/veyra2-launcher.icns"
cmake --build --preset macos
rm -rf "$stage"
cmake --install "$build" --prefix "$stage"

# The bundle's executable, veyra2-launcher, links no Qt; macdeployqt must be told
# about the desktop program beside it to bring Qt's frameworks and plug-ins in.
macdeployqt "$app" -executable="$app/Contents/MacOS/veyra2-launcher-desktop" -always-overwrite

# Both slices in every program and library, or Apple silicon without Rosetta
# could not open the launcher; nothing that needs a macOS later than the one
# Info.plist promises (Homebrew builds its libraries for the Mac it runs on).
checkUniversal "$app" || { echo "The bundle is not universal: build it against universal libraries." >&2; exit 1; }
checkMinimumSystem "$app" "$kMinimumSystem" ||
  { echo "The bundle would not start on macOS $kMinimumSystem: build it against libraries made for it." >&2; exit 1; }

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

# notarytool's --wait ends with status 0 whatever Apple decided ("Invalid"
# included), so the decision is read from its answer; when it is not
# "Accepted", Apple's log says why.
notarize() {
  local answer=$build/notarization.json id status
  xcrun notarytool submit "$1" --keychain-profile "$profile" --wait --output-format json >"$answer" ||
    { cat "$answer" >&2; echo "Submitting $1 for notarization failed." >&2; exit 1; }
  id=$(plutil -extract id raw -o - "$answer")
  status=$(plutil -extract status raw -o - "$answer")
  if [ "$status" != Accepted ]; then
    xcrun notarytool log "$id" --keychain-profile "$profile" >&2 || true
    echo "Apple's notarization of $1 ended \"$status\" (submission $id); its log is above." >&2
    exit 1
  fi
}
if [ "$identity" != "-" ]; then
  # The bundle first, so that a copy dragged out of the disk image carries its ticket.
  ditto -c -k --keepParent "$app" "$build/notarize.zip"
  notarize "$build/notarize.zip"
  xcrun stapler staple "$app"
  rm "$build/notarize.zip"
fi

# The disk image holds exactly the staged, signed bundle: CPack packs the
# folder as it is instead of installing the build again. Its name is CPack's
# for this version; one left from an earlier run goes first.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
dmg="$build/Veyra-2-Mac-Launcher-$version.dmg"
rm -f "$dmg"
(cd "$build" && cpack -G DragNDrop -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$PWD/release-stage;.")
[ -f "$dmg" ] || { echo "CPack made no $dmg" >&2; exit 1; }
if [ "$identity" != "-" ]; then
  codesign --force --timestamp --sign "$identity" "$dmg"
  notarize "$dmg"
  xcrun stapler staple "$dmg"
fi
echo "$dmg"
