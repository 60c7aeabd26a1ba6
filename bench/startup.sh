#!/usr/bin/env bash
# Start-up benchmark of the editor: time from process start until its main
# window is mapped (viewable) on the X display, and the resident memory of
# the process with the window up. Runs the editor RUNS times (default 10)
# on a first-run configuration in a temporary folder.
# Usage: bench/startup.sh [build folder]          (runs itself under xvfb-run
#        when there is no usable display)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-10}
if [ -z "${DISPLAY:-}" ] || ! xwininfo -root >/dev/null 2>&1; then
  exec xvfb-run -n $((RANDOM % 400 + 100)) -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
unset QT_QPA_PLATFORM
title="Untitled - $(sed -n '/^#GI_Sys_AppTitle$/{n;p;q}' "$build/bin/TWK208.OVL")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 700 "$tmp"
times=() rss=()
for i in $(seq "$runs"); do
  rm -rf "$tmp/config"
  t0=$(date +%s%N)
  XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp" "$build/bin/twk208" &
  pid=$!
  until xwininfo -name "$title" 2>/dev/null | grep -q IsViewable; do
    kill -0 "$pid" 2>/dev/null || { echo "editor ended early" >&2; exit 1; }
    sleep 0.002
  done
  t1=$(date +%s%N)
  sleep 0.3  # let the first paint and the first ticks settle
  rss+=("$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")")
  kill -TERM "$pid"
  wait "$pid"
  times+=("$(( (t1 - t0) / 1000000 ))")
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | sed -n "$(( (runs + 1) / 2 ))p")
echo "runs: $runs"
echo "start to window shown (ms): min $(echo "$sorted" | head -1), median $median, max $(echo "$sorted" | tail -1)"
echo "resident memory with the window up (kB): $(printf '%s\n' "${rss[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p") (median)"
