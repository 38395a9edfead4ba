#!/usr/bin/env bash
# Packs BUILD/stage into the NSIS installer BUILD/installer/gyroeval-VERSION-win64-setup.exe
# (packaging/windows/gyroeval.nsi), with install and uninstall lists made from
# the staged files so the uninstaller removes exactly what was installed.
#   installer.sh BUILD
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=$1
stage=$build/stage
out=$build/installer
mkdir -p "$out"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "No project version in $build/CMakeCache.txt" >&2; exit 1; }
IFS=. read -r major minor patch tweak <<<"$version"
version4="${major:-0}.${minor:-0}.${patch:-0}.${tweak:-0}"

# The installer's and uninstaller's icon, drawn from the program's SVG icon.
icon=$out/gyroeval.ico
rsvg-convert -w 256 -h 256 "$GYRO_ROOT/packaging/gyroeval.svg" -o "$out/gyroeval-256.png"
convert "$out/gyroeval-256.png" -define icon:auto-resize=256,128,64,48,32,24,16 "$icon"

winpath() { sed 's|/|\\|g' <<<"$1"; }
stage_list=$out/stage.nsh unstage_list=$out/unstage.nsh
: >"$stage_list"
: >"$unstage_list"
(cd "$stage" && find . -type d ! -name . | sed 's|^\./||' | sort) | while read -r dir; do
  echo "CreateDirectory \"\$INSTDIR\\$(winpath "$dir")\"" >>"$stage_list"
done
(cd "$stage" && find . -type f | sed 's|^\./||' | sort) | while read -r file; do
  dir=$(dirname "$file")
  target='$INSTDIR'
  [ "$dir" = . ] || target+="\\$(winpath "$dir")"
  echo "SetOutPath \"$target\"" >>"$stage_list"
  echo "File \"$stage/$file\"" >>"$stage_list"
  echo "Delete \"\$INSTDIR\\$(winpath "$file")\"" >>"$unstage_list"
done
# Folders last, deepest first, and only when empty.
(cd "$stage" && find . -type d ! -name . | sed 's|^\./||' | sort -r) | while read -r dir; do
  echo "RMDir \"\$INSTDIR\\$(winpath "$dir")\"" >>"$unstage_list"
done
echo 'SetOutPath "$INSTDIR"' >>"$stage_list"

setup=$out/gyroeval-$version-win64-setup.exe
makensis -V2 -DVERSION="$version" -DVERSION4="$version4" -DOUTFILE="$setup" -DICON="$icon" \
  -DSTAGE_LIST="$stage_list" -DUNSTAGE_LIST="$unstage_list" \
  -DSIZE_KB="$(du -sk "$stage" | cut -f1)" "$GYRO_ROOT/packaging/windows/gyroeval.nsi"
echo "Installer: $setup ($(du -h "$setup" | cut -f1))"
