#!/usr/bin/env bash
# Installs what is missing, builds the launcher and runs it with the given
# arguments, e.g. scripts/run.sh --cli --status
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dependencies.sh
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
exec build/release/veyra2-launcher "$@"
