#!/usr/bin/env bash
# The batch benchmark: a generated CSV of 5,000 periods through quorvex-batch for PNG, JPEG
# PDF and SVG at 400 x 300, with 1 job and with one job per core. Prints the median wall time
# of RUNS runs, periods per second and the peak memory, and checks them against the goals.
#   bench/batch-bench.sh BUILD_DIR          (RUNS=3 by default; STRICT=1: exit 1 on a missed goal)
# The files go to a memory file system (/dev/shm) when there is one, so that the numbers are
# the program's and not the disk's: a run writes 200 to 300 MB, which a virtual disk may take
# longer to absorb than the run takes to make. OUT_BASE=/some/dir measures a disk instead.
set -euo pipefail

build=${1:?usage: batch-bench.sh BUILD_DIR}
tool="$build/cli/quorvex-batch"
runs=${RUNS:-3}
periods=${PERIODS:-5000}
cores=$(nproc)
[[ -x "$tool" ]] || { echo "no $tool" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "GNU time (/usr/bin/time) is needed" >&2; exit 1; }

if [[ -z "${OUT_BASE:-}" && -d /dev/shm && -w /dev/shm ]]; then OUT_BASE=/dev/shm; fi
work=$(mktemp -d -p "${OUT_BASE:-${TMPDIR:-/tmp}}")
trap 'rm -rf "$work"' EXIT
echo "output in $work ($(df -T "$work" | awk 'NR == 2 { print $2 }')), $cores cores"
# Deterministic amounts with the full ten digits the users' files have; names in kanji.
awk -v n="$periods" 'BEGIN {
  print "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益"
  s = 12345
  for (i = 1; i <= n; i++) {
    line = i
    for (k = 0; k < 10; k++) { s = (s * 1103515245 + 12345) % 2147483648; line = line "," (1000000 + s % 9000000000) }
    print line
  }
}' > "$work/periods.csv"

# Seconds and peak kilobytes of one run, on one line.
one_run() {
  local type=$1 jobs=$2 csv=$3
  rm -rf "$work/out"
  /usr/bin/time -f "%e %M" -o "$work/time" \
    "$tool" --defaults -q -t "$type" -j "$jobs" --size 400x300 -o "$work/out" "$csv" > /dev/null
  cat "$work/time"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A goal=([png]=8 [jpeg]=4 [pdf]=5 [svg]=6)
status=0
printf '%-5s %5s %10s %12s %10s\n' type jobs "median s" "periods/s" "peak MB"
for type in png jpeg pdf svg; do
  declare -A secs=()
  for jobs in 1 "$cores"; do
    times=() peaks=()
    for ((r = 0; r < runs; r++)); do
      read -r t m < <(one_run "$type" "$jobs" "$work/periods.csv")
      times+=("$t") peaks+=("$m")
    done
    med=$(printf '%s\n' "${times[@]}" | median)
    peak=$(printf '%s\n' "${peaks[@]}" | sort -n | tail -1)
    secs[$jobs]=$med
    printf '%-5s %5d %10.2f %12.0f %10.1f\n' "$type" "$jobs" "$med" \
      "$(awk -v p="$periods" -v t="$med" 'BEGIN { print p / t }')" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
    if awk -v k="$peak" 'BEGIN { exit !(k > 200 * 1024) }'; then
      echo "  over the 200 MB goal"; status=1
    fi
  done
  if [[ $cores -ge 2 ]]; then
    speedup=$(awk -v a="${secs[1]}" -v b="${secs[$cores]}" 'BEGIN { printf "%.2f", a / b }')
    verdict=ok
    awk -v s="$speedup" 'BEGIN { exit !(s < 1.7) }' && { verdict="below 1.7"; status=1; }
    awk -v t="${secs[$cores]}" -v g="${goal[$type]}" 'BEGIN { exit !(t > g) }' &&
      { verdict="$verdict, over the ${goal[$type]} s goal"; status=1; }
    echo "  $type: jobs $cores is ${speedup}x jobs 1 (goal >= 1.7, <= ${goal[$type]} s): $verdict"
  fi
  unset secs
done

# Memory must not grow with the number of periods: a tenth of the periods for comparison.
head -n $((periods / 10 + 1)) "$work/periods.csv" > "$work/tenth.csv"
read -r _ small < <(one_run png "$cores" "$work/tenth.csv")
read -r _ full < <(one_run png "$cores" "$work/periods.csv")
echo "peak memory, png jobs $cores: $((periods / 10)) periods $((small / 1024)) MB, $periods periods $((full / 1024)) MB"
[[ $status -ne 0 ]] && echo "goals missed (timings on a shared machine vary; see above)"
[[ "${STRICT:-0}" == 1 ]] && exit $status
exit 0
