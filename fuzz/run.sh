#!/usr/bin/env bash
# Runs every harness for FUZZ_SECONDS (default 60) and prints, per harness, the executions,
# executions per second, coverage (edges and features) and crashes. The corpus grown by a
# run is kept in build/fuzz/corpus/NAME for the next run; crashing inputs go to
# build/fuzz/crashes/NAME/, beside the slow units libFuzzer notes there (slow-unit-*, inputs
# that took over 10 s on a loaded machine), which are counted apart and fail nothing.
# Exit status 1 when any harness crashed.
# Usage: fuzz/run.sh [NAME...]   (default: all; FUZZ_JOBS=2 runs two at once)
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD:-$root/build/fuzz}"
seconds="${FUZZ_SECONDS:-60}"
jobs="${FUZZ_JOBS:-1}"
names=("$@")
if [ ${#names[@]} -eq 0 ]; then names=(bmp_file dib settings numeric_field patterns calendar exif history icalendar own_days); fi

bash "$root/fuzz/make-seeds.sh" >/dev/null

run_one() {
  local name="$1" corpus="$build/corpus/$1" crashes="$build/crashes/$1" log="$build/logs/$1.log"
  mkdir -p "$corpus" "$crashes" "$build/logs"
  # A picture header may ask for a large but permitted picture: 2 GB covers the largest the
  # decoders accept, so only real leaks and runaway growth reach the limit.
  "$build/fuzz_$name" "$corpus" "$build/seeds/$name" -max_total_time="$seconds" -rss_limit_mb=2560 -timeout=20 \
    -print_final_stats=1 -artifact_prefix="$crashes/" >"$log" 2>&1
  echo $? >"$log.rc"
}

i=0
for name in "${names[@]}"; do
  run_one "$name" &
  i=$((i + 1))
  if [ $((i % jobs)) -eq 0 ]; then wait; fi
done
wait

status=0
printf '%-14s %12s %9s %7s %8s %7s %8s %5s\n' harness executions exec/s cov ft corpus crashes slow
for name in "${names[@]}"; do
  log="$build/logs/$name.log"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  corp=$(ls "$build/corpus/$name" | wc -l)
  crashes=$(ls "$build/crashes/$name" | grep -vc '^slow-unit-')
  slow=$(ls "$build/crashes/$name" | grep -c '^slow-unit-')
  rc=$(cat "$log.rc")
  if [ "$rc" != 0 ] || [ "$crashes" != 0 ]; then status=1; fi
  printf '%-14s %12s %9s %7s %8s %7s %8s %5s\n' "$name" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$corp" "$crashes" "$slow"
done
if [ $status -ne 0 ]; then
  echo "fuzz: crashes kept in $build/crashes/ (logs in $build/logs/)"
fi
exit $status
