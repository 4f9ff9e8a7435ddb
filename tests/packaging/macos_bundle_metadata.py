#!/usr/bin/env python3
"""The bundle's Info.plist as macOS reads it: a property list that parses, a
reason in plain words for each protected folder the launcher or the game it
starts may ask for (without one macOS shows its question with no reason), and
one minimum macOS that Info.plist, the macos preset and the release script's
check all name."""
import json
import pathlib
import plistlib
import re
import sys

source = pathlib.Path(sys.argv[1])
failures = []

# CMake fills in the ${...} fields; any text stands in for them here.
template = (source / "resources/Info.plist.in").read_text(encoding="utf-8")
info = plistlib.loads(re.sub(r"\$\{\w+\}", "x", template).encode("utf-8"))

for key in ("NSDesktopFolderUsageDescription", "NSDocumentsFolderUsageDescription",
            "NSDownloadsFolderUsageDescription"):
    reason = info.get(key)
    if not isinstance(reason, str) or not reason.endswith(".") or len(reason.split()) < 5:
        failures.append(f"{key} gives no reason in a sentence: {reason!r}")

presets = json.loads((source / "CMakePresets.json").read_text(encoding="utf-8"))
macos = next(p for p in presets["configurePresets"] if p["name"] == "macos")
target = macos["cacheVariables"]["CMAKE_OSX_DEPLOYMENT_TARGET"]
architectures = set(macos["cacheVariables"]["CMAKE_OSX_ARCHITECTURES"].split(";"))
script = (source / "scripts/release-macos.sh").read_text(encoding="utf-8")
checked = re.search(r"^readonly kMinimumSystem=(\S+)$", script, re.MULTILINE)
named = {"Info.plist": info.get("LSMinimumSystemVersion"), "the macos preset": target,
         "the release script": checked.group(1) if checked else None}
if len(set(named.values())) != 1:
    failures.append(f"the minimum macOS differs: {named}")
if architectures != {"arm64", "x86_64"}:
    failures.append(f"the macos preset is not universal: {sorted(architectures)}")

for failure in failures:
    print("FAILED:", failure, file=sys.stderr)
if failures:
    sys.exit(1)
print(f"Info.plist parses, names a reason for each protected folder, and macOS {target} is the minimum everywhere")
