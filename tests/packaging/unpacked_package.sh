#!/usr/bin/env bash
# Unpacks the Debian package found in $1 into a temporary folder and checks it as
# a player's system would see it: both programs, the guide where the desktop
# program looks for it ($2, relative to the programs' folder), a desktop entry
# and metainfo that pass their validators, the icon, the declared dependencies,
# a section and description for developers and testers, and a command-line
# program that runs from there.
set -euo pipefail
package_folder=$1
guide_from_program=$2

packages=("$package_folder"/*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || { echo "expected one package in $package_folder" >&2; exit 1; }
package=${packages[0]}

work=$(mktemp -d "${TMPDIR:-/tmp}/veyra2-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$package" "$work/root"
root=$work/root/usr

fail() { echo "FAILED: $*" >&2; exit 1; }
for program in veyra2-launcher veyra2-launcher-desktop; do
  [ -x "$root/bin/$program" ] || fail "the package lacks $program"
done
[ -f "$root/bin/$guide_from_program/Setup Guide.html" ] || fail "no guide at bin/$guide_from_program"
[ -f "$root/share/icons/hicolor/scalable/apps/veyra2-launcher.svg" ] || fail "the package lacks the icon"
desktop-file-validate "$root/share/applications/veyra2-launcher.desktop"
appstreamcli validate --no-net "$root/share/metainfo/org.veyra2launcher.Veyra2MacLauncher.metainfo.xml"

# The runtime it pins is a macOS build: the package is for those who develop
# and test the launcher, and must not pass for a way to play on Linux.
[ "$(dpkg-deb -f "$package" Section)" = devel ] || fail "Section is not devel"
description=$(dpkg-deb -f "$package" Description | tr -s ' \n' ' ')
[[ $description == *"for developers and testers"* && $description == *"does not let you play Veyra 2 on Linux"* ]] ||
  fail "the description does not say who the package is for: $description"

depends=$(dpkg-deb -f "$package" Depends)
for dependency in curl libarchive-tools libssl3 libqt6widgets6; do
  [[ ", $depends," == *", $dependency"[\ ,]* ]] || fail "Depends does not name $dependency: $depends"
done

status=$("$root/bin/veyra2-launcher" --cli --status --home "$work/home")
[ "$status" = "not installed" ] || fail "--cli --status printed '$status'"
[ ! -e "$work/home" ] || fail "--status created its root folder"
echo "$(basename "$package"): both programs, guide, icon, valid desktop entry and metainfo, dependencies, section and description; the program runs"
