#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for SECONDS (default
# 60), starting from its seeds and regressions in tests/fuzz and the seeds a
# target makes when it runs (fuzz_seeds_<target>, pictures). Fails on any
# finding: a crash, a failed check, a sanitizer report, a leak, a timeout or
# running out of memory. libFuzzer leaves the input in
# build-fuzz/findings/<target>/; keep it in tests/fuzz/regressions/<target>/
# once fixed, so that the ordinary suite replays it.
#   scripts/fuzz.sh [SECONDS]
source "$(dirname "$0")/common.sh"
usage="usage: scripts/fuzz.sh [SECONDS]"

seconds=60
if [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]] && [ "$1" -gt 0 ]; then
  seconds="$1"
  shift
fi
refuse_arguments "$usage" "$@"
prepare

launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DTESSIVO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "${launcher[@]}" > /dev/null
cmake --build build-fuzz -j "$(nproc)" --target tessivo_fuzzers

export ASAN_OPTIONS="detect_leaks=1:detect_odr_violation=0"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
summary=()
while read -r name options; do
  [ -n "$name" ] || continue
  corpus="build-fuzz/corpus/$name"
  findings="build-fuzz/findings/$name"
  log="build-fuzz/logs/$name.log"
  rm -rf "$findings" # only this run's findings
  mkdir -p "$corpus" "$findings" build-fuzz/logs
  seeds="build-fuzz/tests/fuzz/fuzz_seeds_$name"
  if [ -x "$seeds" ] && ! "$seeds" "$corpus"; then
    failed+=("$name")
    summary+=("$name: its seeds could not be made")
    continue
  fi
  inputs=("$corpus")
  for kept in "tests/fuzz/corpus/$name" "tests/fuzz/regressions/$name"; do
    [ -d "$kept" ] && inputs+=("$kept")
  done
  flags=(-max_total_time="$seconds" -timeout=25 -rss_limit_mb=2560 -print_final_stats=1
         -artifact_prefix="$findings/")
  [ -f "tests/fuzz/dictionaries/$name.dict" ] && flags+=(-dict="tests/fuzz/dictionaries/$name.dict")
  echo "fuzz: $name for $seconds s"
  # shellcheck disable=SC2086 # the target's own options are separate words
  if "build-fuzz/tests/fuzz/fuzz_$name" "${flags[@]}" $options "${inputs[@]}" > "$log" 2>&1; then
    # The last status line: "#<runs> DONE cov: <edges> ft: <features> corp: <inputs>/<size> ..."
    done_line="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)"
    summary+=("$name: ${done_line:-no status line}")
  else
    failed+=("$name")
    summary+=("$name: FINDING, see $log and $findings/")
    tail -n 40 "$log"
  fi
done < build-fuzz/fuzz-targets.txt

printf 'fuzz: %s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}" >&2
  exit 1
fi
