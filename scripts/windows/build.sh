#!/usr/bin/env bash
# Cross-builds gyroeval.exe, gyroctl.exe and the tests for 64-bit Windows with
# the cached toolchain (scripts/windows/deps.sh), gathers the program with the
# DLLs and Qt plugins it loads into build-win64/stage/, and packs that folder
# into an NSIS installer, build-win64/installer/gyroeval-VERSION-win64-setup.exe.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$GYRO_ROOT"
gyro_win_install_host_packages
if ! gyro_win_cache_ready; then
  echo "No Windows toolchain is cached for these package versions: run scripts/windows/deps.sh first." >&2
  exit 1
fi
prefix=$(gyro_win_prefix)
export GYRO_WIN_PREFIX=$prefix
# Paths relative to the checkout, so every clone shares one compiler cache.
export CCACHE_BASEDIR="$GYRO_ROOT" CCACHE_NOHASHDIR=1
build=${GYRO_WIN_BUILD:-$GYRO_ROOT/build-win64}

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$GYRO_TOOLCHAIN_FILE" \
  -DCMAKE_PREFIX_PATH="$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DGYRO_BUILD_BENCHMARKS=OFF -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/wine >/dev/null
cmake --build "$build" -j "$(nproc)"
"$GYRO_ROOT/scripts/windows/stage.sh" "$build" "$prefix"
"$GYRO_ROOT/scripts/windows/installer.sh" "$build"
