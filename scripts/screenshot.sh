#!/usr/bin/env bash
# Takes docs/main-window.png: the editor as it opens on a first run, on a
# virtual X display of 1024 x 768 (no window manager, so no title bar).
# Usage: scripts/screenshot.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
exec xvfb-run -n $((RANDOM % 400 + 100)) -a -s "-screen 0 1024x768x24 -noreset" env -u QT_QPA_PLATFORM \
  TWK208_SCREENSHOT="$PWD/docs/main-window.png" "$build/bin/qt_ScreenshotTool"
