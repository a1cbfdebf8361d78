#!/usr/bin/env bash
# Builds the benchmarks (Release, build-bench), runs every benchmark program
# and prints the scaling table (time of 10x the elements against the time of
# the smaller model). JSON results go to build-bench/bench-results/.
#
#   bench/run_benchmarks.sh            all programs, default sizes
#   bench/run_benchmarks.sh keyword    one program (keyword, input, display, results, gl)
# The inputs are generated on first use into build-bench/bench-data
# (about 8 GB with the two runs of 100 steps); OV_BENCH_DATA moves them.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOV_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target ov_frame_gen bench_keyword bench_input bench_display bench_results bench_gl

out="$build/bench-results"
mkdir -p "$out"
programs=${*:-keyword input display results gl}
for p in $programs; do
  exe="$build/bench/bench_$p"
  [ -x "$exe" ] || { echo "skipping $p (not built)"; continue; }
  echo "== bench_$p"
  if [ "$p" = gl ]; then
    xvfb-run -a -s "-screen 0 1600x1200x24" "$exe" --benchmark_out="$out/$p.json" --benchmark_out_format=json
  else
    "$exe" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
      --benchmark_out="$out/$p.json" --benchmark_out_format=json
  fi
done
python3 bench/scaling.py "$out"/*.json
