#!/usr/bin/env bash
# Installs what is missing, then builds and runs the test suite three times: the
# whole suite in the release build and in the AddressSanitizer/UndefinedBehaviorSanitizer
# build, and the engine's and the command line's tests built with clang 16 and
# libc++ 16, the LLVM generation of Apple's toolchain on macOS 14, which catches
# what only that library lacks (the desktop front end is left out: the system's
# Qt is built for libstdc++).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dependencies.sh
for preset in release sanitize libcxx; do
  echo "== $preset build" >&2
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
