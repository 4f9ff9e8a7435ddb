#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice:
# in the release build and in the AddressSanitizer/UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dependencies.sh
for preset in release sanitize; do
  echo "== $preset build" >&2
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
