# Timing helpers of the whole-process benchmarks (sourced): medians of
# wall-clock seconds of shell functions run in turn. Needs $runs.

# Wall-clock seconds of one run of a function (its output dropped).
seconds() {
  local from to
  from=$(date +%s.%N); "$@" >/dev/null; to=$(date +%s.%N)
  echo "$to - $from" | bc -l
}
median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Runs the functions in turn, $runs times after one warm-up; one line of
# medians per function, in order.
side_by_side() {
  local f run
  for f in "$@"; do "$f" >/dev/null; done
  declare -A times
  for run in $(seq "$runs"); do
    for f in "$@"; do times[$f]+="$(seconds "$f") "; done
  done
  for f in "$@"; do tr ' ' '\n' <<<"${times[$f]}" | grep . | median; echo; done
}

ratio() { printf "%.1f" "$(echo "($1) / ($2)" | bc -l)"; }
