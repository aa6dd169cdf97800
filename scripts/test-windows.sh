#!/usr/bin/env bash
# The widget-free suite as Windows programs under wine, in the shapes the
# program ships in:
#  - 32-bit, the library loaded in process: cross-built with MinGW-w64 into
#    build-win (or $SELVAREX_WIN_BUILD_DIR), the simulated library as a real
#    32-bit Dravolin.dll;
#  The 32-bit selvarex-cli.exe and its tests are part of it: the command line
#  as operators run it on Windows, against the 32-bit simulated library.
#  - 64-bit, the library in its host: the suite cross-built for x86_64 into
#    build-win64 (or $SELVAREX_WIN64_BUILD_DIR) drives the 32-bit
#    selvarex-libhost.exe of build-win, which loads the 32-bit relay library.
# A machine whose kernel runs no 32-bit code cannot run the 32-bit programs:
# the script says so, and the 64-bit suite then drives a 64-bit host instead.
# Without the cross compilers or wine this is skipped, except on CI (CI set),
# where scripts/install-deps.sh --windows installs them.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-i686)
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-x86-64)
command -v wine >/dev/null 2>&1 || missing+=(wine)
wine64=$(command -v wine64 || true)
[ -n "$wine64" ] || { [ -x /usr/lib/wine/wine64 ] && wine64=/usr/lib/wine/wine64; } || true
[ -n "$wine64" ] || missing+=(wine64)
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
# Wine turns Windows file names into the system's through the locale's
# character set: without a UTF-8 locale no name outside ASCII can be created.
export LC_ALL=C.UTF-8
# No prompts for the .NET and HTML engines while wine sets up its prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
# A 64-bit prefix of its own: it runs the 64-bit programs, and the 32-bit ones
# beside them.
export WINEPREFIX=${SELVAREX_WINEPREFIX:-$HOME/.wine-selvarex64}
export WINEARCH=win64
if [ ! -d "$WINEPREFIX" ]; then
  # Once, before tests run side by side and would each start creating it.
  "$wine64" wineboot --init >/dev/null 2>&1 || {
    echo "Windows suite: wine could not set up its prefix $WINEPREFIX." >&2
    exit 1
  }
fi

jobs=$(nproc)
build32=${SELVAREX_WIN_BUILD_DIR:-build-win}
build64=${SELVAREX_WIN64_BUILD_DIR:-build-win64}
cmake -S . -B "$build32" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw-i686.cmake" \
  -DSELVAREX_GUI=OFF -DSELVAREX_BENCH=OFF
cmake --build "$build32" -j"$jobs"

# Whichever wine program starts the wine server and wine's own background
# programs hands them its output, and CTest then waits for that test until
# they are gone. So start them here, detached, and stop them afterwards (unless
# a server of this prefix was running already: it is someone else's).
if wineserver -p </dev/null >/dev/null 2>&1; then
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
fi
"$wine64" wineboot </dev/null >/dev/null 2>&1 || { echo "Windows suite: wine does not start." >&2; exit 1; }

# Can this machine run 32-bit programs? The host, started by hand, says how
# it is meant to be started and ends with 2.
host32=$PWD/$build32/selvarex-libhost.exe
status=0
timeout 120 "$wine64" "$host32" </dev/null >/dev/null 2>&1 || status=$?
if [ "$status" -eq 2 ]; then
  runs32=true
  host_options=(-DSELVAREX_HOST_EXECUTABLE="$host32" -DSELVAREX_RELAY_DIR="$PWD/$build32/sim-relay"
                -DSELVAREX_ROGUE_HOST_EXECUTABLE="$PWD/$build32/tests/host/rogue-libhost.exe")
else
  runs32=false
  host_options=(-DSELVAREX_HOST_EXECUTABLE= -DSELVAREX_RELAY_DIR="$PWD/$build64/sim-relay"
                -DSELVAREX_ROGUE_HOST_EXECUTABLE=)
  cat <<EOF
Windows suite: this machine cannot run 32-bit programs (wine ended the 32-bit
host with $status; its kernel runs 64-bit code only). The 32-bit programs
were built, not run: the 32-bit in-process suite does not run here, and the
64-bit suite drives a 64-bit host and relay library instead of the 32-bit ones.
EOF
fi

cmake -S . -B "$build64" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw-x86_64.cmake" \
  -DSELVAREX_GUI=OFF -DSELVAREX_BENCH=OFF "${host_options[@]}"
# What runs through the host: the widget-free suite, the misbehaving host, and
# the command line (which a 64-bit build runs through its host too).
cmake --build "$build64" -j"$jobs" --target device_tests transfer_tests counter_tests rogue_host_tests \
  selvarex-cli cli_tests

if "$runs32"; then
  echo "== 32-bit programs, the library in process"
  ctest --test-dir "$build32" --output-on-failure -j"$jobs" -LE host
fi
echo "== 64-bit programs, the library in its host ($("$runs32" && echo 32 || echo 64)-bit)"
ctest --test-dir "$build64" --output-on-failure -j"$jobs" -L host
