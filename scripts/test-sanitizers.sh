#!/usr/bin/env bash
# The whole suite under AddressSanitizer (with LeakSanitizer) and
# UndefinedBehaviorSanitizer, the simulated programmer library included,
# built in build-asan (or $SELVAREX_ASAN_BUILD_DIR); then the processes' tests,
# whose image file works on a thread of its own, under ThreadSanitizer in
# build-tsan (or $SELVAREX_TSAN_BUILD_DIR), in process, and the library
# host's shared streams, whose two sides the tests put on two threads.
# Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
build=${SELVAREX_ASAN_BUILD_DIR:-build-asan}
cmake -S . -B "$build" -G Ninja -DSELVAREX_SANITIZE=ON -DSELVAREX_BENCH=OFF
cmake --build "$build" -j"$jobs"

export QT_QPA_PLATFORM=offscreen
# Every report is fatal: the first error stops the process with a failure, and
# leaks are reported (and fail the process) when it exits.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:check_initialization_order=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=print_suppressions=0

fail() { echo "sanitizer suite: $*" >&2; exit 1; }

# Every variant of the simulated library carries the instrumentation.
dlls=("$build"/sim/*/Dravolin.dll)
[ -e "${dlls[0]}" ] || fail "no simulated library in $build/sim"
for dll in "${dlls[@]}"; do
  symbols=$(nm -D --undefined-only "$dll")
  grep -q '__asan_report' <<<"$symbols" || fail "$dll is not built with AddressSanitizer"
  grep -q '__ubsan_handle' <<<"$symbols" || fail "$dll is not built with UndefinedBehaviorSanitizer"
done

# A report must stop the process with a failure, also one raised inside the
# simulated library.
probe=$build/tests/reliability/sanitizer_probe
expect_report() {
  local mode=$1 output pattern
  if output=$("$probe" "$mode" 2>&1); then fail "probe $mode ended successfully despite its report"; fi
  shift
  for pattern in "$@"; do
    grep -qE "$pattern" <<<"$output" || fail "probe $mode: no '$pattern' in its report:
$output"
  done
}
expect_report library-overflow 'AddressSanitizer: heap-buffer-overflow' 'in sim::WriteText'
expect_report signed-overflow 'runtime error: signed integer overflow'
expect_report leak 'LeakSanitizer: detected memory leaks'
echo "sanitizer suite: reports stop the process, the simulated library included (${#dlls[@]} variants instrumented)"

ctest --test-dir "$build" --output-on-failure -j"$jobs"

# ThreadSanitizer: the processes' tests, whose image file works on a thread
# of its own beside the library calls. Kept to them and to the default
# simulated library, in process (the host adds no thread to the processes),
# so that the run stays short.
tsan=${SELVAREX_TSAN_BUILD_DIR:-build-tsan}
cmake -S . -B "$tsan" -G Ninja -DSELVAREX_SANITIZE_THREAD=ON -DSELVAREX_GUI=OFF -DSELVAREX_BENCH=OFF
cmake --build "$tsan" -j"$jobs" --target transfer_tests dravolin_sim ring_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 SELVAREX_LIBRARY_HOST=0 \
  "$tsan/tests/transfer/transfer_tests" --gtest_brief=1 --gtest_filter='DumpReading.*:DumpWriting.*:SectorErase.*:Processes.*'
# The library host's shared streams, their two sides on two threads.
TSAN_OPTIONS=halt_on_error=1 "$tsan/tests/device/ring_tests" --gtest_brief=1
echo "sanitizer suite: the processes' tests and the host's shared streams pass under ThreadSanitizer"
