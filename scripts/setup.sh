#!/usr/bin/env bash
# Installs the Debian packages Tessivo needs to build, test and run, when missing.
set -euo pipefail

# libgl-dev: the GL headers of the view. locales: the sources localedef needs
# for the tests that check files do not follow a decimal-comma locale.
# libtinygltf-dev: the glTF export; libassimp-dev: a second reader of it in the
# tests; chromium: the browser the facade page is tested in; nodejs: bundles
# the page's three.js and drives the browser (npm comes with it or as npm).
# clang and libclang-rt-14-dev (libFuzzer and the sanitizer runtimes): the fuzz
# targets (scripts/fuzz.sh). libdeflate-dev: the export's PNG compression.
packages=(build-essential cmake clang libclang-rt-14-dev qtbase5-dev libqt5opengl5-dev libgl-dev
          libopenmesh-dev libcgal-dev libgmp-dev libmpfr-dev libdeflate-dev pkg-config
          xvfb xauth libgl1-mesa-dri fonts-dejavu-core assimp-utils locales
          libtinygltf-dev libassimp-dev chromium nodejs)
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
# Debian's nodejs comes without npm; a node from elsewhere may bring its own.
command -v npm > /dev/null || missing+=(npm)

if [ ${#missing[@]} -gt 0 ] || [ ${#missing_lean[@]} -gt 0 ]; then
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
fi

# The facade page's three.js (web/package-lock.json pins it) bundled into one
# classic script, build-web/three.js: a page opened from disk cannot load
# modules. playwright-core drives chromium in the page's test.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ ! -f "$root/build-web/three.js" ] || [ ! -d "$root/web/node_modules/playwright-core" ] || [ "$root/web/package-lock.json" -nt "$root/build-web/three.js" ]; then
  (cd "$root/web" && npm ci --no-audit --no-fund --loglevel=error)
  "$root/web/node_modules/.bin/esbuild" "$root/web/three-entry.js" --bundle --format=iife \
    --global-name=TessivoThree --minify --log-level=warning --outfile="$root/build-web/three.js"
fi
