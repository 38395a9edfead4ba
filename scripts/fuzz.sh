#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each on its corpus in fuzz/corpus/.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   run each target SECONDS (default 60)
#
# Inputs a run finds go to build-fuzz/found/<target>/, never into the repository;
# FUZZ_GROW=1 merges the new ones into fuzz/corpus/<target>/ afterwards. A target
# whose property breaks stops with the input saved as build-fuzz/crash-*, and the
# script fails. FUZZ_NICE (default 19) is the niceness the runs get; FUZZ_RUNS=N
# also ends each target after N executions (whichever comes first).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_settings fuzz_hex_text fuzz_number_text fuzz_ctl_arguments
                                     fuzz_eval_arguments fuzz_usb_answers fuzz_port_address fuzz_log_reader)

scripts/install-deps.sh
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGYRO_BUILD_FUZZERS=ON -DGYRO_SANITIZE=address,undefined \
  -DGYRO_BUILD_TESTS=OFF -DGYRO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

# Long runs may add speed options (FUZZ_ASAN_EXTRA, e.g. max_malloc_fill_size=0);
# halting on the first report and the leak check always stay.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1${FUZZ_ASAN_EXTRA:+:$FUZZ_ASAN_EXTRA}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
  found="build-fuzz/found/$target"
  mkdir -p "$found" "fuzz/corpus/$target"
  echo "== $target: $seconds s"
  log="build-fuzz/$target.log"
  # One process at a time, at low priority: others' builds come first.
  status=0
  nice -n "${FUZZ_NICE:-19}" "build-fuzz/fuzz/$target" "$found" "fuzz/corpus/$target" \
    -max_total_time="$seconds" ${FUZZ_RUNS:+-runs="$FUZZ_RUNS"} -print_final_stats=1 -artifact_prefix=build-fuzz/ >"$log" 2>&1 || status=$?
  grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$log" || true
  if [ "$status" -ne 0 ]; then
    grep -E 'property broken|ERROR|SUMMARY|artifact' "$log" || tail -20 "$log"
    echo "$target failed"
    exit 1
  fi
  if [ "${FUZZ_GROW:-0}" = 1 ]; then
    "build-fuzz/fuzz/$target" -merge=1 "fuzz/corpus/$target" "$found" >/dev/null 2>&1
  fi
done
