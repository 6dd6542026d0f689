#!/usr/bin/env bash
# Installs the Debian packages Tessivo needs to build, test and run, when missing.
set -euo pipefail

packages=(build-essential cmake pkg-config qtbase5-dev libqt5opengl5-dev
          libopenmesh-dev libcgal-dev libgmp-dev libmpfr-dev
          xvfb xauth libgl1-mesa-dri libglu1-mesa-dev fonts-dejavu-core assimp-utils)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
