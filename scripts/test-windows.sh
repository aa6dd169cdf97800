#!/usr/bin/env bash
# The widget-free suite as 32-bit Windows programs: cross-built with MinGW-w64
# into build-win (or $SELVAREX_WIN_BUILD_DIR), the simulated library as a real
# Dravolin.dll, every test run by CTest under wine. Without the cross compiler
# or wine this is skipped, except on CI (CI set), where
# scripts/install-deps.sh --windows installs them.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-i686)
command -v wine >/dev/null 2>&1 || missing+=(wine)
# wine alone may run 64-bit programs only; the 32-bit part is wine32.
if command -v dpkg-query >/dev/null 2>&1 &&
   ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  missing+=(wine32:i386)
fi
if [ "${#missing[@]}" -gt 0 ]; then
  if [ -n "${CI:-}" ] && [ "${CI}" != false ]; then
    echo "Windows suite: ${missing[*]} missing on CI; scripts/install-deps.sh --windows should have installed them." >&2
    exit 1
  fi
  echo "Windows suite skipped: ${missing[*]} not installed; scripts/install-deps.sh --windows installs them."
  exit 0
fi

export WINEDEBUG=-all
# No prompts for the .NET and HTML engines while wine sets up its prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "${WINEPREFIX:-$HOME/.wine}" ]; then
  # Once, before tests run side by side and would each start creating it.
  wine wineboot --init >/dev/null 2>&1 || {
    echo "Windows suite: wine could not set up its prefix ${WINEPREFIX:-$HOME/.wine}." >&2
    exit 1
  }
fi

jobs=$(nproc)
build=${SELVAREX_WIN_BUILD_DIR:-build-win}
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw-i686.cmake" \
  -DSELVAREX_GUI=OFF -DSELVAREX_BENCH=OFF
cmake --build "$build" -j"$jobs"

# Whichever wine program starts the wine server and wine's own background
# programs hands them its output, and CTest then waits for that test until
# they are gone. So start them here, detached, and stop them afterwards (unless
# a server of this prefix was running already: it is someone else's).
if wineserver -p </dev/null >/dev/null 2>&1; then
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
fi
wine wineboot </dev/null >/dev/null 2>&1 || { echo "Windows suite: wine does not start." >&2; exit 1; }
ctest --test-dir "$build" --output-on-failure -j"$jobs"
