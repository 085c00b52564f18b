#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config dpkg-dev file
  libsfml-dev fonts-dejavu-core
  libgtest-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb xauth xdotool x11-utils imagemagick libxtst-dev
  # The leak checker names the dynamic loader's own blocks only with the C
  # library's debug symbols; the sanitizer tree's suppressions match by name.
  libc6-dbg
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
