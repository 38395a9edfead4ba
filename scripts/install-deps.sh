#!/usr/bin/env bash
# Installs the Debian 12 packages the build and its checks need, only those that
# are missing, and generates the decimal-comma locale the locale tests run under.
set -euo pipefail
packages=(cmake ninja-build g++ ccache pkg-config qt6-base-dev qt6-base-dev-tools
          qt6-svg-dev libusb-1.0-0-dev libfftw3-dev libgtest-dev libgmock-dev libbenchmark-dev
          umockdev libumockdev-dev
          clang libclang-rt-dev # clang and its libFuzzer and sanitizer runtimes: fuzz/
          locales               # de_DE.UTF-8 for the decimal-comma tests
          dpkg-dev fakeroot file lintian desktop-file-utils appstream man-db bash-completion) # the package and its checks
"$(dirname "$0")/install-packages.sh" "${packages[@]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the de_DE.UTF-8 locale"
  $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
