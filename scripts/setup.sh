#!/usr/bin/env bash
# Installs the Debian packages Tessivo needs to build, test and run, when missing.
set -euo pipefail

# libgl-dev: the GL headers of the view. locales: the sources localedef needs
# for the tests that check files do not follow a decimal-comma locale.
# clang and libclang-rt-14-dev (libFuzzer and the sanitizer runtimes): the fuzz
# targets (scripts/fuzz.sh). libdeflate-dev: the export's PNG compression.
packages=(build-essential cmake clang libclang-rt-14-dev qtbase5-dev libqt5opengl5-dev libgl-dev
          libopenmesh-dev libcgal-dev libgmp-dev libmpfr-dev libdeflate-dev pkg-config
          xvfb xauth libgl1-mesa-dri fonts-dejavu-core assimp-utils locales)
# OpenCV for making test cases from photographs, without its recommends
# (they pull in a whole desktop of codecs).
lean_packages=(libopencv-imgproc-dev libopencv-calib3d-dev libopencv-photo-dev)

missing_of() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_lean < <(missing_of "${lean_packages[@]}")
[ ${#missing[@]} -eq 0 ] && [ ${#missing_lean[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]} ${missing_lean[*]}"
$sudo apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
if [ ${#missing_lean[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing_lean[@]}"
fi
