#!/usr/bin/env bash
# Copies the screenshots the window tests save (build/screenshots/) that the
# README and the user guide (docs/) show into docs/pictures/, so the pictures
# stay those of the current windows. Run it after ./scripts/test.sh and commit
# the pictures that changed.
#
#   scripts/refresh-guide-pictures.sh [SCREENSHOT_DIR [PICTURE_DIR]]
#
# A picture that a page shows and no test saved is named, and the exit status is 1.
set -euo pipefail
checkout=$(cd "$(dirname "$0")/.." && pwd)
from=$(realpath -m "${1:-$checkout/build/screenshots}")
to=$(realpath -m "${2:-$checkout/docs/pictures}")
cd "$checkout"

mkdir -p "$to"
missing=0
for name in $(grep -ho 'pictures/[A-Za-z0-9_.-]*\.png' README.md docs/*.md | sed 's|^pictures/||' | sort -u); do
    if [ -f "$from/$name" ]; then
        cp "$from/$name" "$to/$name"
    else
        echo "no screenshot $from/$name: no test saved it (tests/support/Screenshot.h)" >&2
        missing=1
    fi
done
exit $missing
