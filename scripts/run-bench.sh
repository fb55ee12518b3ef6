#!/usr/bin/env bash
# Runs every benchmark of a build made with -DQUORVEX_BENCH=ON (`make bench` calls this with
# its build folder): the Google Benchmark executables under bench/, then the batch benchmark.
set -uo pipefail
build=${1:?usage: run-bench.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for exe in "$build"/bench/*_bench; do
  [[ -x "$exe" ]] || continue
  echo "== $(basename "$exe")"
  QT_QPA_PLATFORM=offscreen "$exe" || status=1
done
echo "== batch: 5,000 periods through quorvex-batch"
bash "$root/bench/batch-bench.sh" "$build" || status=1
exit $status
