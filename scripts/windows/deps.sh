#!/usr/bin/env bash
# Builds the Windows toolchain once and caches it outside the checkout:
# Qt 6 qtbase and qtsvg, libusb-1.0 and FFTW from Debian's source packages,
# GoogleTest from Debian's shipped sources, all cross-compiled with Debian's
# MinGW-w64 (posix threads). Skipped when the cache for these package versions
# is complete. About an hour on two cores, almost all of it qtbase; it runs at
# low priority so other work can go on.
#   GYRO_WIN_CACHE   where the caches live (default ~/.cache/gyroeval-win64)
#   GYRO_WIN_JOBS    parallel build jobs (default: the number of processors)
#   GYRO_WIN_NICE    the builds' niceness (default 19: other work goes first)
set -euo pipefail
source "$(dirname "$0")/common.sh"

gyro_win_install_host_packages
prefix=$(gyro_win_prefix)
if gyro_win_cache_ready; then
  echo "Windows toolchain cached in $prefix"
  exit 0
fi
jobs=${GYRO_WIN_JOBS:-$(nproc)}
work=$prefix.work
mkdir -p "$work" "$prefix"
start=$SECONDS
step() { echo "== $1 ($((SECONDS - start)) s)"; }
low() { nice -n "${GYRO_WIN_NICE:-19}" "$@"; }
export GYRO_WIN_PREFIX=$prefix

# A deb-src entry for every archive the machine's own apt sources name, kept in
# a private apt state so the system's lists are untouched.
apt_dir=$work/apt
fetch_sources() {
  mkdir -p "$apt_dir/sources.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  # apt downloads as its own user where it can write.
  id _apt >/dev/null 2>&1 && [ "$(id -u)" -eq 0 ] && chown -R _apt "$apt_dir/lists" "$apt_dir/cache" "$work/src"
  : >"$apt_dir/sources.list"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.d/$(basename "$f")"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -nE 's/^deb[[:space:]]+/deb-src /p' "$f" >>"$apt_dir/sources.list"
  done
  apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/sources.d"
            -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
  apt-get "${apt_opts[@]}" update -qq
}
source_of() { # source package name, folder pattern -> unpacked folder, empty when unavailable
  local pkg=$1 dir
  dir=$(find "$work/src" -maxdepth 1 -mindepth 1 -type d -name "$2" | head -n1)
  if [ -z "$dir" ]; then
    (cd "$work/src" && apt-get "${apt_opts[@]}" source -qq "$pkg" >"$work/source-$pkg.log" 2>&1) ||
      { echo "apt-get source $pkg failed:" >&2; grep '^E:' "$work/source-$pkg.log" >&2 || true; }
    dir=$(find "$work/src" -maxdepth 1 -mindepth 1 -type d -name "$2" | head -n1)
  fi
  echo "$dir"
}
need_source() { [ -n "$2" ] || { echo "The source package $1 is needed and could not be fetched." >&2; exit 1; }; }

step "source packages"
mkdir -p "$work/src"
fetch_sources
qtbase_src=$(source_of qt6-base 'qt6-base-*')
qtsvg_src=$(source_of qt6-svg 'qt6-svg-*')
libusb_src=$(source_of libusb-1.0 'libusb-1.0-*')
fftw_src=$(source_of fftw3 'fftw3-*')
need_source qt6-base "$qtbase_src"
need_source libusb-1.0 "$libusb_src"
need_source fftw3 "$fftw_src"

qt_host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
cross=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$GYRO_TOOLCHAIN_FILE" -DCMAKE_BUILD_TYPE=Release
       -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix")

if [ ! -f "$prefix/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ]; then
  step "qtbase (about an hour)"
  # Debian's tarball has no 3rdparty/wintab: no tablet events. OpenGL stays on:
  # the Windows platform plugin of this Qt does not build without it.
  low cmake -S "$qtbase_src" -B "$work/build-qtbase" "${cross[@]}" "${qt_host[@]}" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF \
    -DFEATURE_concurrent=OFF >"$work/qtbase-configure.log" 2>&1 ||
    { tail -n 40 "$work/qtbase-configure.log"; exit 1; }
  low cmake --build "$work/build-qtbase" -j "$jobs" >"$work/qtbase-build.log" 2>&1 ||
    { tail -n 40 "$work/qtbase-build.log"; exit 1; }
  cmake --install "$work/build-qtbase" >/dev/null
fi

# Qt SVG is optional: the program then exports charts and plots as PNG only.
# (The archive this was first built from answered 404 for qt6-svg's sources.)
if [ -z "$qtsvg_src" ]; then
  echo "qt6-svg's sources are not available: the Windows build has no SVG export" | tee "$prefix/NO-QTSVG"
elif [ ! -f "$prefix/lib/cmake/Qt6Svg/Qt6SvgConfig.cmake" ]; then
  rm -f "$prefix/NO-QTSVG"
  step "qtsvg"
  low cmake -S "$qtsvg_src" -B "$work/build-qtsvg" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "${qt_host[@]}" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF >"$work/qtsvg.log" 2>&1 ||
    { tail -n 40 "$work/qtsvg.log"; exit 1; }
  low cmake --build "$work/build-qtsvg" -j "$jobs" >>"$work/qtsvg.log" 2>&1 ||
    { tail -n 40 "$work/qtsvg.log"; exit 1; }
  cmake --install "$work/build-qtsvg" >/dev/null
fi

autotools_build() { # name source-folder configure-arguments...
  local name=$1 src=$2
  shift 2
  rm -rf "$work/build-$name"
  mkdir -p "$work/build-$name"
  (cd "$work/build-$name" &&
    low "$src/configure" --host=$GYRO_MINGW --prefix="$prefix" "$@" >"$work/$name.log" 2>&1 &&
    low make -j "$jobs" >>"$work/$name.log" 2>&1 &&
    make install >>"$work/$name.log" 2>&1) || { tail -n 40 "$work/$name.log"; exit 1; }
}

if [ ! -f "$prefix/lib/pkgconfig/libusb-1.0.pc" ]; then
  step "libusb-1.0"
  [ -x "$libusb_src/configure" ] || (cd "$libusb_src" && autoreconf -fi >/dev/null 2>&1)
  autotools_build libusb "$libusb_src" --enable-shared --disable-static --disable-udev
fi

if [ ! -f "$prefix/lib/pkgconfig/fftw3.pc" ]; then
  step "FFTW"
  autotools_build fftw "$fftw_src" --enable-shared --disable-static --disable-fortran \
    --enable-sse2 --with-our-malloc --disable-doc # no AVX: MinGW's stack alignment breaks it
fi

if [ ! -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  step "GoogleTest"
  low cmake -S /usr/src/googletest -B "$work/build-gtest" "${cross[@]}" \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON >"$work/gtest.log" 2>&1 &&
    low cmake --build "$work/build-gtest" -j "$jobs" >>"$work/gtest.log" 2>&1 &&
    cmake --install "$work/build-gtest" >>"$work/gtest.log" 2>&1 || { tail -n 40 "$work/gtest.log"; exit 1; }
fi

# Keep the sources and logs of this build out of the cache's way but leave the
# installed prefix; the work folder is large (qtbase's build tree).
rm -rf "$work/build-qtbase" "$work/build-qtsvg" "$work/build-libusb" "$work/build-fftw" "$work/build-gtest"
date -u +%FT%TZ >"$prefix/.complete"
step "Windows toolchain ready in $prefix"
