# Sourced by the Windows scripts: where the cached toolchain lives and what the
# cross-build needs from the host. The cache is keyed by the versions of the
# Debian packages it is built from, so a new Qt or compiler builds a new one.
GYRO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
GYRO_TOOLCHAIN_FILE=$GYRO_ROOT/cmake/windows/mingw-w64-x86_64.cmake
GYRO_MINGW=x86_64-w64-mingw32
# Bump when the recipe in deps.sh changes what ends up in the cache.
GYRO_WIN_RECIPE=1

gyro_pkg_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo none; }

gyro_win_cache_key() {
  local key="recipe$GYRO_WIN_RECIPE"
  local p
  for p in qt6-base-dev qt6-svg-dev g++-mingw-w64-x86-64-posix libusb-1.0-0-dev libfftw3-dev googletest; do
    key+=" $p=$(gyro_pkg_version "$p")"
  done
  printf '%s' "$key" | sha256sum | cut -c1-12
}

gyro_win_cache_root() { echo "${GYRO_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/gyroeval-win64}"; }
gyro_win_prefix() { echo "$(gyro_win_cache_root)/$(gyro_win_cache_key)"; }
gyro_win_cache_ready() { [ -f "$(gyro_win_prefix)/.complete" ]; }

# The host packages the Windows build and its tests need.
GYRO_WIN_HOST_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  binutils-mingw-w64-x86-64 wine64 nsis dpkg-dev googletest qt6-base-dev qt6-base-dev-tools
  qt6-svg-dev libusb-1.0-0-dev libfftw3-dev cmake ninja-build pkg-config ccache xvfb xauth
  imagemagick librsvg2-bin x11-utils xz-utils)

gyro_win_install_host_packages() {
  "$GYRO_ROOT/scripts/install-packages.sh" "${GYRO_WIN_HOST_PACKAGES[@]}"
}

# The folders of the posix MinGW runtime DLLs every program needs beside it.
gyro_mingw_runtime_dlls() {
  local gccdir
  gccdir=$(dirname "$($GYRO_MINGW-g++-posix -print-libgcc-file-name)")
  echo "$gccdir/libstdc++-6.dll" "$gccdir/libgcc_s_seh-1.dll" "/usr/$GYRO_MINGW/lib/libwinpthread-1.dll"
}
