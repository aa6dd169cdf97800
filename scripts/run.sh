#!/usr/bin/env bash
# Installs the dependencies, builds Selvarex and the simulated programmer
# library, and starts the program in a working directory that holds the
# simulated Dravolin.dll, so "Load DLL" works at once.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build --target selvarex
cd build/run
exec ../selvarex "$@"
