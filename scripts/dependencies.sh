#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the launcher
# need, only those that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config   # build
  libssl-dev                         # SHA-256 (OpenSSL libcrypto)
  nlohmann-json3-dev                 # the installation record
  libicu-dev                         # Unicode normalization and case folding (diagnostics)
  qt6-base-dev libgl-dev             # the desktop front end
  libgtest-dev libbenchmark-dev      # tests and benchmarks
  clang-16 libc++-16-dev libc++abi-16-dev googletest   # the libc++ build (GoogleTest from source)
  desktop-file-utils appstream dpkg-dev   # the package: validators, dpkg-shlibdeps
  curl ca-certificates               # runtime downloads
  libarchive-tools                   # bsdtar: every archive the launcher opens
  util-linux                         # setarch: the x86_64 check
  python3 gcab xz-utils openssl      # test fixtures and the local HTTPS server
  wine64                             # the prefix and snapshot test against a real Wine
  xvfb xauth x11-utils               # the desktop test under a virtual display
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}" >&2
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
