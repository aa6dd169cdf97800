#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz (or $SELVAREX_FUZZ_BUILD_DIR) and
# runs each target for a bounded time. A crash or a broken property stops the
# run; the input is saved under build-fuzz/fuzz-artifacts/<target>/.
#   scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
case $seconds in
  '' | *[!0-9]*) echo "usage: $0 [seconds per target]" >&2; exit 2 ;;
esac

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
# libFuzzer's runtime comes in a package of the installed clang's version:
# libclang-rt-<N>-dev where Debian splits it out (clang 14 on Debian 12 on),
# libclang-common-<N>-dev before that.
fuzzer_links() {
  local dir status=0
  dir=$(mktemp -d)
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' >"$dir/probe.cpp"
  clang++ -fsanitize=fuzzer "$dir/probe.cpp" -o "$dir/probe" >/dev/null 2>&1 || status=$?
  rm -rf "$dir"
  return "$status"
}
if ! command -v clang++ >/dev/null 2>&1; then
  as_root apt-get update
  as_root apt-get install -y --no-install-recommends clang
fi
if ! fuzzer_links; then
  major=$(clang++ --version | sed -nE 's/.*clang version ([0-9]+).*/\1/p' | head -n 1)
  [ -n "$major" ] || { echo "fuzz: cannot tell the version of $(command -v clang++)" >&2; exit 1; }
  as_root apt-get update
  runtime=
  for candidate in "libclang-rt-$major-dev" "libclang-common-$major-dev"; do
    if apt-cache policy "$candidate" 2>/dev/null | grep -qE 'Candidate: [^(]'; then
      runtime=$candidate
      break
    fi
  done
  [ -n "$runtime" ] || { echo "fuzz: no package holds libFuzzer for clang $major" >&2; exit 1; }
  as_root apt-get install -y --no-install-recommends "$runtime"
  fuzzer_links || { echo "fuzz: clang $major links no libFuzzer program, even with $runtime" >&2; exit 1; }
fi

build=$PWD/${SELVAREX_FUZZ_BUILD_DIR:-build-fuzz}
cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSELVAREX_FUZZ=ON -DSELVAREX_SANITIZE=ON -DSELVAREX_GUI=OFF -DSELVAREX_TESTS=OFF -DSELVAREX_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target dialog_input_fuzzer dump_writing_fuzzer host_reply_fuzzer host_requests_fuzzer

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for target in dialog_input dump_writing host_reply host_requests; do
  # Absolute paths: the writing target works in a directory of its own.
  corpus=$build/fuzz-corpus/$target
  artifacts=$build/fuzz-artifacts/$target
  mkdir -p "$corpus" "$artifacts"
  echo "== $target: ${seconds}s"
  "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus" "$PWD/fuzz/corpus/$target"
done
