#!/usr/bin/env bash
# Runs every benchmark and writes the results to bench/results/: one
# Google Benchmark JSON and console text per executable, and the start-up
# measurement of the editor. Usage: scripts/bench.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=bench/results
mkdir -p "$out"
{
  echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
  echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
} > "$out/machine.txt"
for b in "$build"/bin/bench_*; do
  name=$(basename "$b")
  echo "== $name"
  "$b" --benchmark_repetitions="${REPS:-5}" --benchmark_report_aggregates_only=true \
       --benchmark_out="$out/$name.json" --benchmark_out_format=json | tee "$out/$name.txt"
done
if [ -x bench/startup.sh ] && [ -x "$build/bin/twk208" ]; then
  echo "== startup"
  bench/startup.sh "$build" | tee "$out/startup.txt"
fi
