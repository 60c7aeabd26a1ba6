#!/usr/bin/env bash
# Builds the clone file fuzz target with clang in build-fuzz/ and runs it for
# 30 seconds (FUZZ_SECONDS overrides). Fails on a crash, a sanitizer report,
# or a broken check of the target (a failed read that changed the image).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTWK208_FUZZ=ON \
  -DTWK208_BUILD_UI=OFF -DTWK208_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_clonefile

# Work on a copy of the seeds so that the checked-in corpus stays small.
corpus="$build/fuzz-corpus/clonefile"
mkdir -p "$corpus" "$build/fuzz-artifacts"
cp -n tests/fuzz/clonefile_seeds/* "$corpus"/ 2>/dev/null || true

echo "== fuzzing the clone file reader for ${seconds}s"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
"$build/bin/fuzz_clonefile" -max_total_time="$seconds" -max_len=20000 \
  -dict=tests/fuzz/clonefile.dict -artifact_prefix="$build/fuzz-artifacts/" \
  -print_final_stats=1 "$corpus"
