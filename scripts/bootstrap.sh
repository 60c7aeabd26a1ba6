#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine (as root), builds, and then either runs
# the main job ("run") or every test ("test"). Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

mode="${1:-run}"
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libgl-dev xvfb xauth x11-utils clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "== installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs="$(nproc)"
echo "== configure and build (build/)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

case "$mode" in
  run)
    echo "== main job"
    exec scripts/run-editor.sh
    ;;
  test)
    # The fuzz run comes first so that the test summary is the last line.
    if [ -x scripts/fuzz.sh ]; then scripts/fuzz.sh; fi
    echo "== tests"
    export QT_QPA_PLATFORM=offscreen
    (cd build && ctest --output-on-failure -j "$jobs")
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
