# The checks the macOS release makes of the finished bundle, sourced by
# scripts/release-macos.sh (and by its test, with stand-ins for Apple's tools):
#
#   checkUniversal BUNDLE           every Mach-O file holds an arm64 and an x86_64 slice
#   checkMinimumSystem BUNDLE 14.0  no slice of any Mach-O file asks for a later macOS
#
# Each names every file that fails and returns 1. A file is a Mach-O file when
# `lipo -archs` can read it; `otool -l` gives each slice's minimum system
# (LC_BUILD_VERSION's minos, or an older file's LC_VERSION_MIN_MACOSX).

# Every Mach-O file below the folder, with its slices: "ARCHS<tab>PATH" a line.
machoFiles() {
  find "$1" -type f -print0 | while IFS= read -r -d '' file; do
    if archs=$(lipo -archs "$file" 2>/dev/null); then
      printf '%s\t%s\n' "$archs" "$file"
    fi
  done
}

checkUniversal() {
  local failed=0 archs file
  while IFS=$'\t' read -r archs file; do
    for arch in arm64 x86_64; do
      if [[ " $archs " != *" $arch "* ]]; then
        echo "$file has no $arch slice (it has: $archs)" >&2
        failed=1
      fi
    done
  done < <(machoFiles "$1")
  return $failed
}

# The minimum macOS one slice of a Mach-O file asks for; empty when it says none.
minimumSystem() {
  otool -arch "$2" -l "$1" | awk '
    $1 == "cmd" { command = $2 }
    command == "LC_BUILD_VERSION" && $1 == "minos" { print $2; exit }
    command == "LC_VERSION_MIN_MACOSX" && $1 == "version" { print $2; exit }'
}

# Whether version $1 is at most version $2, as dotted numbers (13.5 <= 14.0 < 14.0.1).
versionAtMost() {
  [ "$(printf '%s\n%s\n' "$1" "$2" | sort -s -t. -k1,1n -k2,2n -k3,3n | head -n 1)" = "$1" ]
}

checkMinimumSystem() {
  local failed=0 archs file arch minos
  while IFS=$'\t' read -r archs file; do
    for arch in $archs; do
      minos=$(minimumSystem "$file" "$arch")
      if [ -z "$minos" ]; then
        echo "$file ($arch) names no minimum macOS" >&2
        failed=1
      elif ! versionAtMost "$minos" "$2"; then
        echo "$file ($arch) needs macOS $minos, later than $2" >&2
        failed=1
      fi
    done
  done < <(machoFiles "$1")
  return $failed
}
