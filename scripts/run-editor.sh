#!/usr/bin/env bash
# The main job: lint the bundled resources, then start the editor when there
# is a display to show it on.
set -euo pipefail
cd "$(dirname "$0")/.."
build/bin/twk208-cli lint
if [ -x build/bin/twk208 ]; then
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/twk208 "$@"
  else
    echo "No display: to see the editor, run it under a virtual display:"
    echo "  xvfb-run -a build/bin/twk208"
  fi
fi
