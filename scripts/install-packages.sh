#!/usr/bin/env bash
# install-packages.sh PACKAGE...: installs those of the Debian packages that are
# missing (with sudo when not root), updating the package lists only when needed.
set -euo pipefail
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
