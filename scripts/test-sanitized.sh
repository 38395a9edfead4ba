#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (benchmarks off) and runs them through CTest. Any report ends the
# test that provoked it. Tests labelled umockdev run programs under umockdev's
# LD_PRELOAD library, which cannot be loaded into a sanitized process: left out.
# So are the package checks (label package): a package of sanitized programs is
# not what ships, and ./scripts/test.sh checks the real one.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGYRO_SANITIZE=address,undefined -DGYRO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j "$(nproc)"

# No suppressions: the suite runs clean, Qt and the other system libraries
# included. Should a system library ever need one, it goes into a file named
# here with the reason beside each line.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd build-asan
ctest --output-on-failure -j "$(nproc)" --timeout 600 -LE 'umockdev|package'
