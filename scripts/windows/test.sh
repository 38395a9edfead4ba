#!/usr/bin/env bash
# Builds the Windows programs, tests and installer (build.sh), then runs under
# Wine, in a fresh Wine prefix:
#   1. the whole GoogleTest suite, cross-built, with the count run and skipped;
#   2. gyroctl.exe end to end on the simulated sensor: read, a log whose files are
#      whole, a log terminated mid-run that keeps its lines, the noise analysis;
#   3. gyroeval.exe on the real Windows platform plugin under Xvfb: starts on the
#      simulated sensor, shows live readings (a screenshot), writes CommPort.cfg
#      when it is closed;
#   4. the installer: silent install, the installed gyroctl.exe reads the
#      simulated sensor, the silent uninstall leaves nothing behind.
# Prints the time of each stage.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$GYRO_ROOT"
start=$SECONDS
stage_start=$SECONDS
timing() { echo "== $1: $((SECONDS - stage_start)) s"; stage_start=$SECONDS; }

scripts/windows/build.sh
build=${GYRO_WIN_BUILD:-$GYRO_ROOT/build-win64}
prefix=$(gyro_win_prefix)
timing "cross-build and installer"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d /tmp/gyroeval-wine.XXXXXX)
export WINEPREFIX
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
wineserver -w
gccdir=$(dirname "$($GYRO_MINGW-g++-posix -print-libgcc-file-name)")
WINEPATH="$(winepath -w "$prefix/bin");$(winepath -w "$gccdir");$(winepath -w "/usr/$GYRO_MINGW/lib")"
export WINEPATH
timing "fresh Wine prefix"

# 1. The suite. Each test executable is one CTest test run through Wine; the
# counts come from the GoogleTest reports it writes.
results=$build/test-results
rm -rf "$results"
mkdir -p "$results"
suite_status=0
(cd "$build" && QT_PLUGIN_PATH=$(winepath -w "$prefix/plugins") ctest -j "$(nproc)" --timeout 900 --output-on-failure) ||
  suite_status=1
python3 "$GYRO_ROOT/scripts/windows/gtest_counts.py" "$results" || suite_status=1
timing "suite under Wine"

# 2.-4. End to end.
"$GYRO_ROOT/scripts/windows/e2e.sh" "$build"
timing "end to end"
echo "== Windows stage: $((SECONDS - start)) s"
exit "$suite_status"
