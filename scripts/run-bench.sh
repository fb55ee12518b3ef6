#!/usr/bin/env bash
# Runs every benchmark of a build made with -DQUORVEX_BENCH=ON (`make bench` calls this with
# its build folder): the Google Benchmark executables under bench/, the window's drawing goal,
# then the batch benchmark (bench/batch-bench.sh; its environment variables pass through).
set -uo pipefail
build=${1:?usage: run-bench.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for exe in "$build"/bench/*_bench; do
  [[ -x "$exe" ]] || continue
  echo "== $(basename "$exe")"
  QT_QPA_PLATFORM=offscreen "$exe" || status=1
done

# The window redraws both diagrams at every paint: under 4 ms at 1920 x 1080 (median of 9, CPU
# time of the one drawing thread, which a busy machine does not inflate as it does the clock).
render="$build/bench/quorvex_render_bench"
if [[ -x "$render" ]]; then
  echo "== window drawing goal"
  QT_QPA_PLATFORM=offscreen "$render" --benchmark_filter='BM_DrawBothDiagrams/(960/540|1920/1080)' \
    --benchmark_repetitions=9 --benchmark_report_aggregates_only=true --benchmark_format=csv \
    2>/dev/null | awk -F, '$1 ~ /_median"?$/ {
      gsub(/"|_median/, "", $1); split($1, a, "/"); ms = $4 / 1000
      printf "  both diagrams at %s x %s: %.2f ms (goal < 4 ms): %s\n", a[2], a[3], ms, (ms < 4 ? "met" : "missed")
    }'
fi

echo "== batch: quorvex-batch"
bash "$root/bench/batch-bench.sh" "$build" || status=1
exit $status
