#!/usr/bin/env bash
# The batch benchmark: generated CSVs through quorvex-batch at 400 x 300 with names and ratios,
# for every file type. What a machine shared with other work cannot distort much comes first:
# the CPU time per period (user + system of the whole process / periods) with one job, against
# the goals. Then the wall time with one job and with one job per core, the speed-up, and the
# peak memory, also at 16 jobs. With REF= a reference build runs in the same rounds,
# interleaved, and the PNG files of both are decoded and compared pixel by pixel.
#   bench/batch-bench.sh BUILD_DIR
# Environment:
#   RUNS=3            runs per figure (medians; the peak memory is the largest)
#   PERIODS=2000      periods per run; MEMORY_PERIODS=600 for the 16-job memory run;
#                     SAME_PERIODS=500 for the PNG comparison (two diagrams a period)
#   TYPES="png jpeg pdf"  (svg is added when the tool knows it)
#   REF=/path/quorvex-batch  the reference build (its rows are marked "ref")
#   OUT_BASE=DIR      where the files go; by default a folder on disk beside the build
#                     (OUT_BASE=/dev/shm takes the disk out of the figures)
#   STRICT=1          exit 1 when a goal is missed
# Every run writes into a new folder and all are removed at the end: ext4 searches past
# inodes freed in the last minute when it allocates new ones, so removing one run's 10,000
# files just before the next run charged that run seconds of kernel time no user sees. Avoid
# removing many files on the same file system in the five minutes before a run, too.
set -euo pipefail

build=${1:?usage: batch-bench.sh BUILD_DIR}
tool="$build/cli/quorvex-batch"
compare="$build/bench/quorvex_png_choice"
runs=${RUNS:-3}
periods=${PERIODS:-2000}
memory_periods=${MEMORY_PERIODS:-600}
same_periods=${SAME_PERIODS:-500}
cores=$(nproc)
ref=${REF:-}
[[ -x "$tool" ]] || { echo "no $tool" >&2; exit 1; }
[[ -z "$ref" || -x "$ref" ]] || { echo "no $ref" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "GNU time (/usr/bin/time) is needed" >&2; exit 1; }

# Goals: CPU milliseconds per period with one job (two jobs on sibling cores inflate the CPU
# time), peak memory for any job count up to 16.
declare -A goal_ms=([png]=0.9 [jpeg]=0.65 [pdf]=0.7 [svg]=0.45)
goal_mb=60

types=${TYPES:-png jpeg pdf}
# The help is read whole first: grep -q leaving early would fail the pipe under pipefail.
knows() { local help; help=$("$1" --help 2>&1 || true); grep -qw "$2" <<< "$help"; }
if [[ -z "${TYPES:-}" ]] && knows "$tool" svg; then types="$types svg"; fi

base=${OUT_BASE:-$(cd "$build" && pwd)}
work=$(mktemp -d -p "$base" batch-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "output in $work ($(df -T "$work" | awk 'NR == 2 { print $2 }')), $cores cores," \
  "load $(cut -d' ' -f1-3 /proc/loadavg)"
# Deterministic amounts up to ten digits, as the users' files have, that add up as real
# statements do (assets = liabilities + equity, sales = cost + gross profit, gross profit =
# fixed costs + ordinary profit), so the run warns of nothing.
make_csv() {
  awk -v n="$1" 'function next_amount(lo, span) { s = (s * 1103515245 + 12345) % 2147483648; return lo + s % span }
  BEGIN {
    print "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益"
    s = 12345
    for (i = 1; i <= n; i++) {
      ca = next_amount(100000000, 4000000000); fa = next_amount(100000000, 4000000000)
      cl = int((ca + fa) * next_amount(10, 40) / 100); fl = int((ca + fa) * next_amount(5, 30) / 100)
      eq = ca + fa - cl - fl
      sales = next_amount(500000000, 9000000000); cost = int(sales * next_amount(40, 50) / 100)
      gross = sales - cost; fixed = int(gross * next_amount(50, 45) / 100); ord = gross - fixed
      printf "%d,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f\n", i, ca, fa, cl, fl, eq, sales, cost, gross, fixed, ord
    }
  }'
}
make_csv "$periods" > "$work/timed.csv"
make_csv "$memory_periods" > "$work/memory.csv"
make_csv "$same_periods" > "$work/same.csv"

# Seconds, peak kilobytes and CPU seconds (user + system) of one run, on one line; the files
# stay in $work/last.
# (A counter would not do: one_run also runs in subshells, whose count the caller never sees.)
one_run() {
  local exe=$1 type=$2 jobs=$3 csv=$4 out
  out=$(mktemp -d -p "$work" run.XXXXXX)
  # Every run starts with nothing of an earlier one waiting to reach the disk: the tool
  # flushes its file system at the end, and would otherwise pay for the run before it.
  sync
  if ! /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$exe" --defaults --names --ratios -q \
    -t "$type" -j "$jobs" --size 400x300 -o "$out" "$csv" > /dev/null 2> "$work/stderr"; then
    echo "$exe failed:" >&2; head -5 "$work/stderr" >&2; exit 1
  fi
  ln -sfn "$out" "$work/last"
  awk '{ printf "%s %s %.3f\n", $1, $2, $3 + $4 }' "$work/time"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# measure TYPE JOBS CSV ROUNDS: sets wall[who], peak[who] (KB), cpu[who] (s), medians of ROUNDS
# interleaved rounds.
declare -A wall peak cpu
measure() {
  local type=$1 jobs=$2 csv=$3 rounds=$4 who exe t m c
  declare -A times=() peaks=() cpus=()
  for ((r = 0; r < rounds; r++)); do
    for who in new ${type_ref:+ref}; do
      exe=$tool; [[ $who == ref ]] && exe=$ref
      read -r t m c < <(one_run "$exe" "$type" "$jobs" "$csv")
      times[$who]+="$t "; peaks[$who]+="$m "; cpus[$who]+="$c "
    done
  done
  for who in new ${type_ref:+ref}; do
    wall[$who]=$(printf '%s\n' ${times[$who]} | median)
    peak[$who]=$(printf '%s\n' ${peaks[$who]} | sort -n | tail -1)
    cpu[$who]=$(printf '%s\n' ${cpus[$who]} | median)
  done
}
ms_per() { awk -v s="$1" -v p="$2" 'BEGIN { printf "%.3f", 1000 * s / p }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

verdicts=()
verdict() {  # text, ok (0/1)
  if [[ $2 == 1 ]]; then verdicts+=("$1: met"); else verdicts+=("$1: missed"); fi
}

declare -A cpu_one cpu_one_ref
printf '%-5s %4s %7s %-4s %8s %12s %8s %8s\n' type jobs periods who "wall s" "cpu ms/period" \
  "peak MB" speed-up
for type in $types; do
  # A reference from before a file type existed is measured on the others only.
  type_ref=$ref
  if [[ -n $ref ]] && ! knows "$ref" "$type"; then type_ref=; fi
  declare -A one=() one_cpu=() one_peak=()
  measure "$type" 1 "$work/timed.csv" "$runs"
  for who in new ${type_ref:+ref}; do
    one[$who]=${wall[$who]} one_cpu[$who]=${cpu[$who]} one_peak[$who]=${peak[$who]}
  done
  measure "$type" "$cores" "$work/timed.csv" "$runs"
  for who in new ${type_ref:+ref}; do
    printf '%-5s %4d %7d %-4s %8.2f %12s %8s %8s\n' "$type" 1 "$periods" "$who" "${one[$who]}" \
      "$(ms_per "${one_cpu[$who]}" "$periods")" "$(mb "${one_peak[$who]}")" ""
    printf '%-5s %4d %7d %-4s %8.2f %12s %8s %7.2fx\n' "$type" "$cores" "$periods" "$who" \
      "${wall[$who]}" "$(ms_per "${cpu[$who]}" "$periods")" "$(mb "${peak[$who]}")" \
      "$(awk -v a="${one[$who]}" -v b="${wall[$who]}" 'BEGIN { print (b > 0 ? a / b : 0) }')"
  done
  cpu_one[$type]=$(ms_per "${one_cpu[new]}" "$periods")
  cpu_one_ref[$type]=${type_ref:+$(ms_per "${one_cpu[ref]}" "$periods")}
  # Memory grows with the job count (pictures in flight, per-thread buffers): 16 jobs, once.
  type_ref='' measure "$type" 16 "$work/memory.csv" 1
  printf '%-5s %4d %7d %-4s %8.2f %12s %8s\n' "$type" 16 "$memory_periods" new "${wall[new]}" \
    "$(ms_per "${cpu[new]}" "$memory_periods")" "$(mb "${peak[new]}")"
  top=${peak[new]}
  for k in "${one_peak[new]}" "${peak[new]}"; do (( k > top )) && top=$k; done
  verdict "$type peak memory up to 16 jobs $(mb "$top") MB (goal <= $goal_mb MB)" \
    "$(awk -v k="$top" -v g="$goal_mb" 'BEGIN { print (k <= g * 1024) }')"
  unset one one_cpu one_peak
done

echo
echo "CPU per period with one job ($periods periods, 400 x 300, names and ratios; medians of $runs):"
printf '  %-5s %8s %8s %9s %7s\n' type "new ms" "ref ms" "new/ref" goal
for type in $types; do
  r=${cpu_one_ref[$type]:-}
  printf '  %-5s %8s %8s %9s %7s\n' "$type" "${cpu_one[$type]}" "${r:--}" \
    "$( [[ -n $r ]] && awk -v a="${cpu_one[$type]}" -v b="$r" 'BEGIN { printf "%.2f", a / b }' || echo -)" \
    "${goal_ms[$type]}"
  verdict "$type CPU per period, one job: ${cpu_one[$type]} ms (goal <= ${goal_ms[$type]} ms)" \
    "$(awk -v t="${cpu_one[$type]}" -v g="${goal_ms[$type]}" 'BEGIN { print (t <= g) }')"
done

# The PNG files of both builds decoded: the encoder may change the bytes, never a pixel.
if [[ -n $ref && " $types " == *" png "* && -x $compare ]]; then
  echo
  echo "PNG pixels, new against reference ($same_periods periods, $((2 * same_periods)) diagrams):"
  one_run "$tool" png 1 "$work/same.csv" > /dev/null; new_out=$(readlink "$work/last")
  one_run "$ref" png 1 "$work/same.csv" > /dev/null; ref_out=$(readlink "$work/last")
  if same=$(QT_QPA_PLATFORM=offscreen "$compare" --same-pixels "$new_out" "$ref_out" 2> /dev/null); then ok=1; else ok=0; fi
  echo "  $same"
  verdict "PNG pixels equal to the reference's" "$ok"
fi

echo
echo "goals:"
status=0
for v in "${verdicts[@]}"; do
  echo "  $v"
  [[ $v == *missed ]] && status=1
done
[[ "${STRICT:-0}" == 1 ]] && exit $status
exit 0
