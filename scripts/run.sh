#!/usr/bin/env bash
# Installs what is missing, builds, makes the test cases and starts the demo.
#   scripts/run.sh
source "$(dirname "$0")/common.sh"
refuse_arguments "usage: scripts/run.sh" "$@"
prepare

configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ ! -d Tessivo_TestCases ]; then
  echo "run: generating Tessivo_TestCases"
  build/tools/testcases/tessivo-make-testcases "$root"
fi

[ -n "${DISPLAY:-}" ] || echo "run: no display; starting the demo under Xvfb (nothing will be visible)"
with_display build/app/tessivo-demo
