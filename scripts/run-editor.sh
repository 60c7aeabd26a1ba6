#!/usr/bin/env bash
# The main job: lint the bundled resources, then start the editor when there
# is a display to show it on.
set -euo pipefail
cd "$(dirname "$0")/.."
build/bin/twk208-cli lint
if [ -x build/bin/twk208 ]; then
  display_ok=false
  if [ -n "${WAYLAND_DISPLAY:-}" ]; then
    display_ok=true
  elif [ -n "${DISPLAY:-}" ]; then
    # A DISPLAY that names no running server would make the editor abort.
    if ! command -v xwininfo >/dev/null || xwininfo -root >/dev/null 2>&1; then
      display_ok=true
    fi
  fi
  if $display_ok; then
    exec build/bin/twk208 "$@"
  else
    echo "No display: the editor needs a desktop to show its window."
    echo "To run it on a virtual display:"
    echo "  xvfb-run -a build/bin/twk208"
    echo "(close it with Ctrl+C or 'kill <pid>': that closes the window normally and"
    echo " saves the settings; scripts/screenshot.sh takes a picture of it)"
  fi
fi
