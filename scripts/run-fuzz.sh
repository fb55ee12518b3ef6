#!/usr/bin/env bash
# Runs every fuzz target of BUILD_DIR for SECONDS each, starting from its seed corpus in
# tests/fuzz/corpus/<name>/. New inputs go to BUILD_DIR/fuzz-corpus/<name>/ (the kept corpus
# stays as committed); a failing input is saved in BUILD_DIR/fuzz-findings/ and ends the run
# with a failure. Usage: run-fuzz.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=${1:?usage: run-fuzz.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
findings="$build/fuzz-findings"
mkdir -p "$findings"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
ran=0
for seeds in "$root"/tests/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  target="$build/tests/fuzz/fuzz_$name"
  if [[ ! -x "$target" ]]; then
    echo "fuzz_$name: not built" >&2
    status=1
    continue
  fi
  work="$build/fuzz-corpus/$name"
  mkdir -p "$work"
  echo "== fuzz_$name: ${seconds} s"
  if "$target" "$work" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=4096 -print_final_stats=1 -artifact_prefix="$findings/${name}-" \
       > "$build/fuzz-$name.log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done' "$build/fuzz-$name.log" || true
    ran=$((ran + 1))
  else
    echo "fuzz_$name FAILED (log: $build/fuzz-$name.log, input in $findings/)" >&2
    tail -40 "$build/fuzz-$name.log" >&2
    status=1
  fi
done
echo "fuzz: $ran targets ran clean"
exit $status
