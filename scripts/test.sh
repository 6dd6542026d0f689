#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh             build into build/ and run the suite
#   scripts/test.sh --sanitize  the same with ASan and UBSan, in build-sanitize/
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

build=build
flags=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  flags=(-DTESSIVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_odr_violation=0"
  export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi

bash scripts/setup.sh
cmake -S . -B "$build" "${flags[@]}"
cmake --build "$build" -j "$(nproc)"

run=()
if [ -z "${DISPLAY:-}" ]; then
  run=(xvfb-run -a -s "-screen 0 1920x1200x24")
fi
"${run[@]}" ctest --test-dir "$build" --output-on-failure
