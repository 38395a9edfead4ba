#!/usr/bin/env bash
# Builds the program and starts it on the built-in simulated sensor, with the USB
# card selected (demo/CommPort.cfg) and the readout loop running. Extra arguments
# go to the program (for example --spi-trace frames.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cd demo
exec ../build/bin/gyroeval --simulate --start-reading "$@"
