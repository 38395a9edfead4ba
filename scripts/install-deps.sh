#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, only those that are missing.
set -euo pipefail
packages=(cmake ninja-build g++ ccache pkg-config qt6-base-dev qt6-base-dev-tools
          libusb-1.0-0-dev libgtest-dev libgmock-dev libbenchmark-dev
          umockdev libumockdev-dev
          clang libclang-rt-dev) # clang and its libFuzzer and sanitizer runtimes: fuzz/
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
