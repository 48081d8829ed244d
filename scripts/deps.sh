#!/usr/bin/env bash
# Installs what Kaslo Roza needs to build, run and test on Debian 12 (as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcli11-dev libsimpleini-dev nlohmann-json3-dev
  python3 python3-dbfread python3-dbf libdbd-xbase-perl pgdbf hyperfine
  xvfb xauth fonts-dejavu-core
  clang libfuzzer-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
