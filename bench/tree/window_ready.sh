#!/usr/bin/env bash
# Window ready: from starting `ppr-schedule --demo` to the first paint of its window, on Qt's
# offscreen platform. PPR_PRINT_FIRST_PAINT makes the program print the wall clock at its first
# paint and end; the start is taken here, just before the program is started, so the figure
# includes loading the program and its libraries.
#   bash bench/tree/window_ready.sh [RUNS] [BUILD_DIR]     (defaults: 7 runs, build)
set -euo pipefail
runs=${1:-7}
bin=${2:-build}/bin/ppr-schedule
[[ -x $bin ]] || { echo "no $bin: build the target ppr-schedule first" >&2; exit 1; }
[[ -f $(dirname "$bin")/demo.db ]] || { echo "no demo.db beside $bin: build the target ppr_demo_db" >&2; exit 1; }

figures=()
for ((i = 1; i <= runs; i++)); do
  start=$(date +%s.%N)
  line=$(PPR_PRINT_FIRST_PAINT=1 QT_QPA_PLATFORM=offscreen PPR_MESSAGES=stderr PPR_OPEN_COMMAND=true \
         "$bin" --demo 2>/dev/null | grep '^first paint' || true)
  [[ -n $line ]] || { echo "run $i: no first paint reported" >&2; exit 1; }
  painted=${line##* }
  in_process=$(sed 's/^first paint \([0-9.]*\) ms.*/\1/' <<<"$line")
  total=$(awk -v a="$start" -v b="$painted" 'BEGIN { printf "%.1f", (b - a) * 1000 }')
  figures+=("$total")
  echo "run $i: start to first paint ${total} ms (${in_process} ms of it after main)"
done
median=$(printf '%s\n' "${figures[@]}" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
echo "median start to first paint: ${median} ms over $runs runs"
