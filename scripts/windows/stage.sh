#!/usr/bin/env bash
# Gathers the Windows program folder in BUILD/stage: both programs, the Qt
# libraries and the plugins they load, FFTW, libusb and the MinGW runtime. Then
# checks that every DLL each file imports is either staged or part of Windows
# (Wine's own DLLs stand for those), so a missing library fails the build here
# and not on an engineer's PC.
#   stage.sh BUILD PREFIX
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=$1 prefix=$2
stage=$build/stage
rm -rf "$stage"
mkdir -p "$stage"

cp "$build/bin/gyroeval.exe" "$build/bin/gyroctl.exe" "$stage/"
for lib in Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport Qt6Svg; do
  [ -f "$prefix/bin/$lib.dll" ] && cp "$prefix/bin/$lib.dll" "$stage/"
done
cp "$prefix/bin/libfftw3-3.dll" "$prefix/bin/libusb-1.0.dll" "$stage/"
# shellcheck disable=SC2046
cp $(gyro_mingw_runtime_dlls) "$stage/"
# Plugins in the folders Qt looks for beside the program: the Windows platform
# (offscreen too, for headless runs), the native style, printing, images, icons.
for dir in platforms styles printsupport imageformats iconengines; do
  [ -d "$prefix/plugins/$dir" ] || continue
  mkdir -p "$stage/$dir"
  for plugin in "$prefix/plugins/$dir"/*.dll; do
    case $(basename "$plugin") in
      qminimal.dll | qdirect2d.dll) ;; # not needed to show a window
      *) cp "$plugin" "$stage/$dir/" ;;
    esac
  done
done

# The user guide as HTML, made by the host build's page tool (Help > User Guide
# opens guide/index.html beside the program).
host=$build/host-tools
cmake -S "$GYRO_ROOT" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGYRO_BUILD_TESTS=OFF \
  -DGYRO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$host" --target gyro_package_files >/dev/null
cp -r "$host/share/doc/gyroeval/guide" "$stage/guide"

windows_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
missing=0
while IFS= read -r -d '' file; do
  while read -r dll; do
    lower=${dll,,}
    [ -e "$windows_dlls/$lower" ] && continue
    [[ $lower == api-ms-win-* ]] && continue
    find "$stage" -maxdepth 1 -iname "$dll" | grep -q . && continue
    echo "$(basename "$file") needs $dll, which is neither staged nor part of Windows" >&2
    missing=1
  done < <($GYRO_MINGW-objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
done < <(find "$stage" \( -name '*.exe' -o -name '*.dll' \) -print0)
[ "$missing" -eq 0 ] || exit 1
echo "Staged $(find "$stage" -type f | wc -l) files ($(du -sh "$stage" | cut -f1)) in $stage"
