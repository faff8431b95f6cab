#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for OV_FUZZ_SECONDS (default 60)
# from the seed corpus in tests/fuzz/corpus. A crash, a leak, a timeout or a
# sanitizer report fails the run. OV_FUZZ_BUILD names a build folder already
# configured with -DOV_FUZZ=ON (CI passes its sanitizer build); without it the
# targets get a build of their own in build-fuzz.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${OV_FUZZ_SECONDS:-60}"
jobs="${OV_FUZZ_BUILD_JOBS:-4}"
build="${OV_FUZZ_BUILD:-build-fuzz}"

if [ -z "${OV_FUZZ_BUILD:-}" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOV_FUZZ=ON -DOV_QT=OFF -DOV_BENCH=OFF -DOV_SANITIZE=OFF > /dev/null
fi

targets=()
for t in fuzz_library fuzz_cell_record fuzz_grid_section fuzz_values fuzz_project_file fuzz_default_sel \
  fuzz_settings; do
  [ -f "tests/fuzz/$t.cpp" ] && targets+=("$t")
done
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

pids=()
for t in "${targets[@]}"; do
  work="$build/fuzz-work/$t"
  rm -rf "$work"
  mkdir -p "$work/corpus"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$work/" -print_final_stats=1 "$work/corpus" "tests/fuzz/corpus/$t" \
      > "$work/log" 2>&1 &
  pids+=("$!")
done

failed=0
for i in "${!targets[@]}"; do
  t="${targets[$i]}"
  if wait "${pids[$i]}"; then
    echo "$t: $(grep -E '^stat::number_of_executed_units' "$build/fuzz-work/$t/log" || true)"
  else
    echo "FUZZ FAILURE in $t:"
    tail -n 60 "$build/fuzz-work/$t/log"
    failed=1
  fi
done
exit "$failed"
