#!/usr/bin/env bash
# The macOS release's checks of its finished bundle (scripts/macos-bundle-checks.sh),
# run here with stand-ins for Apple's lipo and otool, and the release script's
# word when it runs off a Mac. A stand-in Mach-O file is a
# text file "macho ARCH=MINOS ...", where MINOS "old:V" is an older file's
# LC_VERSION_MIN_MACOSX; any other file is not a Mach-O file.
set -euo pipefail
source "$1/scripts/macos-bundle-checks.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/veyra2-bundle-checks.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/lipo" <<'STUB'
#!/usr/bin/env bash
# lipo -archs FILE
read -r kind slices <"$2" && [ "$kind" = macho ] || { echo "lipo: not a Mach-O file: $2" >&2; exit 1; }
archs=()
for slice in $slices; do archs+=("${slice%%=*}"); done
echo "${archs[*]}"
STUB
cat >"$work/bin/otool" <<'STUB'
#!/usr/bin/env bash
# otool -arch ARCH -l FILE
read -r kind slices <"$4"
for slice in $slices; do
  [ "${slice%%=*}" = "$2" ] || continue
  minos=${slice#*=}
  echo "$4 (architecture $2):"
  printf 'Load command 0\n      cmd LC_SEGMENT_64\n  cmdsize 72\n  segname __PAGEZERO\n'
  if [[ $minos == old:* ]]; then
    printf 'Load command 9\n      cmd LC_VERSION_MIN_MACOSX\n  cmdsize 16\n  version %s\n      sdk 11.0\n' "${minos#old:}"
  else
    printf 'Load command 9\n      cmd LC_BUILD_VERSION\n  cmdsize 32\n platform 1\n    minos %s\n      sdk 14.2\n' "$minos"
  fi
done
STUB
chmod +x "$work/bin/lipo" "$work/bin/otool"
PATH="$work/bin:$PATH"

fail() { echo "FAILED: $*" >&2; exit 1; }
bundle() {
  rm -rf "$work/App.app"
  mkdir -p "$work/App.app/Contents/MacOS" "$work/App.app/Contents/Frameworks/Qt Core.framework" "$work/App.app/Contents/Resources"
  echo "macho arm64=14.0 x86_64=14.0" >"$work/App.app/Contents/MacOS/launcher"
  echo "macho x86_64=13.0 arm64=12.0" >"$work/App.app/Contents/Frameworks/Qt Core.framework/Qt Core"
  echo "macho arm64=old:10.13 x86_64=old:10.13" >"$work/App.app/Contents/Frameworks/libcrypto.3.dylib"
  echo "<plist/>" >"$work/App.app/Contents/Info.plist"
}
# Runs a check, keeping what it said; its status is the function's.
said=$work/said
check() { "$@" 2>"$said"; }

bundle
check checkUniversal "$work/App.app" || fail "a universal bundle was refused: $(cat "$said")"
check checkMinimumSystem "$work/App.app" 14.0 || fail "a bundle for 14.0 was refused: $(cat "$said")"

bundle
echo "macho x86_64=13.0" >"$work/App.app/Contents/Frameworks/libicuuc.74.dylib"
! check checkUniversal "$work/App.app" || fail "a library without an arm64 slice passed"
grep -q "libicuuc.74.dylib has no arm64 slice" "$said" || fail "the missing slice is not named: $(cat "$said")"

for late in 14.1 15.0 14.0.1; do
  bundle
  echo "macho arm64=14.0 x86_64=$late" >"$work/App.app/Contents/Frameworks/Qt Core.framework/Qt Core"
  ! check checkMinimumSystem "$work/App.app" 14.0 || fail "a slice for macOS $late passed"
  grep -q "Qt Core (x86_64) needs macOS $late, later than 14.0" "$said" || fail "the late slice is not named: $(cat "$said")"
done
# Off a Mac the release script says where the release is built, before anything else.
if [ "$(uname -s)" != Darwin ]; then
  ! "$1/scripts/release-macos.sh" - 2>"$said" >/dev/null || fail "the release script ran off a Mac"
  [ "$(head -n 1 "$said")" = "The release is built on macOS." ] || fail "off a Mac the release script said: $(cat "$said")"
fi
echo "universal bundles pass; a missing slice and a slice for a later macOS are refused and named"
