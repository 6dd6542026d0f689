#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh             build into build/ and run the suite
#   scripts/test.sh --sanitize  the same with ASan and UBSan, in build-sanitize/
source "$(dirname "$0")/common.sh"
usage="usage: scripts/test.sh [--sanitize]"

build=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  shift
  build=build-sanitize
  flags=(-DTESSIVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_odr_violation=0"
  export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
refuse_arguments "$usage" "$@"
prepare

configure_and_build "$build" "${flags[@]}"
# A window system under load can keep a GUI suite's window from being
# activated in time; a suite that fails runs once more, and both runs stay in
# the log. A fault that repeats still fails the command; a suite that passed
# only on its rerun is named in the last line, so that a flaky suite stays
# visible in a green run.
failed_log="$build/Testing/Temporary/LastTestsFailed.log"
if ! with_display ctest --test-dir "$build" --output-on-failure; then
  first_failed=$(cut -d: -f2- "$failed_log" 2>/dev/null | sort || true)
  echo "test.sh: running the failed suites once more" >&2
  status=0
  with_display ctest --test-dir "$build" --rerun-failed --output-on-failure || status=$?
  still_failed=""
  [ "$status" -eq 0 ] || still_failed=$(cut -d: -f2- "$failed_log" 2>/dev/null | sort || true)
  passed_on_rerun=$(comm -23 <(printf '%s\n' "$first_failed") <(printf '%s\n' "$still_failed") | sed '/^$/d')
  if [ -n "$passed_on_rerun" ]; then
    echo "test.sh: suites that passed only on their rerun: $(echo $passed_on_rerun)" >&2
  fi
  exit "$status"
fi
