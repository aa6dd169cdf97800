#!/usr/bin/env bash
# Installs the dependencies, builds everything and runs every test: the
# normal build (each suite also with the library in its host process), the
# check that the core includes no Qt and no front end, the check of the
# sources' layout, the suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the widget-free suite as Windows programs
# under wine against the simulated library built as a Windows DLL: 32-bit
# with the library in process, and 64-bit through the 32-bit library host.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --windows

jobs=$(nproc)
cmake -S . -B build -G Ninja
cmake --build build -j"$jobs"

# Every part runs even when an earlier one failed, so one failure does not
# hide another; the script fails when any part did. A part whose script is
# missing counts as failed, not as skipped.
failed=()
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs" || failed+=("native suite")
for part in scripts/check-layers.sh scripts/check-format.sh scripts/test-sanitizers.sh scripts/test-windows.sh; do
  if [ ! -f "$part" ]; then
    echo "$part is missing" >&2
    failed+=("$part (missing)")
    continue
  fi
  bash "$part" || failed+=("$part")
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "Failed: ${failed[*]}" >&2
  exit 1
fi
echo "Every part passed."
