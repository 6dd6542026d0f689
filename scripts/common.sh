# Shared prologue of run.sh and test.sh, sourced, not run: the project's
# root, the argument check, the setup, the build and the display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# prepare: moves to the root and installs what is missing.
prepare() {
  cd "$root"
  bash scripts/setup.sh
}

# configure_and_build DIR [CMAKE ARGS...]: configures DIR and builds everything in it.
configure_and_build() {
  local dir="$1"
  shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j "$(nproc)"
}

# with_display COMMAND...: runs the command under Xvfb when no display is set.
with_display() {
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1920x1200x24" "$@"
  else
    "$@"
  fi
}

# refuse_arguments USAGE ARG...: unknown arguments end the script with the usage line and status 2.
refuse_arguments() {
  local usage="$1"
  shift
  if [ $# -gt 0 ]; then
    echo "$(basename "$0"): unknown argument $1" >&2
    echo "$usage" >&2
    exit 2
  fi
}
