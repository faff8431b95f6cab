#!/usr/bin/env bash
# Runs every benchmark of a build briefly, to see that each one still runs.
# Usage: bash bench/smoke.sh <build folder>
set -euo pipefail
build=${1:-build}
shopt -s nullglob
programs=("$build"/bench/bench_*)
if [ ${#programs[@]} -eq 0 ]; then
  echo "No benchmarks in $build/bench (configured with -DOV_BENCH=OFF?)"
  exit 0
fi
for program in "${programs[@]}"; do
  [ -x "$program" ] || continue
  echo "== $program"
  "$program" --benchmark_min_time=0.01
done
