#!/usr/bin/env bash
# Installs what is missing, builds, makes the test cases and starts the demo.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

if [ ! -d Tessivo_TestCases ]; then
  echo "run: generating Tessivo_TestCases"
  build/tools/testcases/tessivo-make-testcases "$root"
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "run: no display; starting the demo under Xvfb (nothing will be visible)"
  exec xvfb-run -a -s "-screen 0 1920x1200x24" build/app/tessivo-demo
fi
exec build/app/tessivo-demo
