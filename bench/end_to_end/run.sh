#!/usr/bin/env bash
# The whole program against the fastest writer, as a user runs it: one ppr-schedule process from an SQLite
# report database to the saved workbook (--batch), beside a C program that writes the same schedule shape
# with libxlsxwriter (normal and constant_memory modes). Each is timed as a whole process with
# /usr/bin/time; the runs alternate (A B C A B C ...) and the medians and ratios are printed.
#
#   bash bench/end_to_end/run.sh [RUNS] [INSTRUMENTS]      default 5 runs, 100000 instruments (and 10000)
#
# It builds an optimised tree in build-rel (no tests) and works in a scratch folder it removes.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
big=${2:-100000}
small=$((big / 10))

cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DPPR_BUILD_TESTS=OFF -DPPR_BUILD_BENCH=OFF >/dev/null
cmake --build build-rel --target ppr-schedule ppr_template >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cc -O2 -I. -o "$scratch/lxw_schedule" bench/end_to_end/lxw_schedule.c -lxlsxwriter

# The report database: N instruments, two repair kinds each (2N result rows), one subdivision per 50
# instruments with the subdivisions scrambled so that the sort has work; one entry in each lookup.
make_db() { python3 db/make_report_db.py "$1" "$2" flat; }
make_db "$scratch/big.db" "$big"
make_db "$scratch/small.db" "$small"

# The batch command line for a database and an output file (/usr/bin/time runs programs, not functions).
ppr() {
  ppr_args=(build-rel/bin/ppr-schedule --batch --output "$2" --year 2024 --types all --states all --subdivs all
            /RepSqlServer sqlite /RepDBSource "$1" /RepUserLogin bench /RepUserPass "" /RepExtraData "")
}
# Appends "seconds kib" of one whole process to the file named first.
measure() {
  local into=$1; shift
  /usr/bin/time -f '%e %M' -o "$scratch/t" "$@" >/dev/null
  cat "$scratch/t" >>"$into"
  rm -f "$scratch"/*.xlsx
}

for ((i = 1; i <= runs; i++)); do
  ppr "$scratch/big.db" "$scratch/ppr.xlsx"
  measure "$scratch/ppr" "${ppr_args[@]}"
  measure "$scratch/const" "$scratch/lxw_schedule" "$scratch/c.xlsx" "$big" constant
  measure "$scratch/normal" "$scratch/lxw_schedule" "$scratch/n.xlsx" "$big"
  ppr "$scratch/small.db" "$scratch/ppr.xlsx"
  measure "$scratch/ppr-small" "${ppr_args[@]}"
done

python3 - "$scratch" "$big" "$small" "$runs" <<'PY'
import statistics, sys
folder, big, small, runs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
def med(name):
    rows = [tuple(map(float, line.split())) for line in open(f"{folder}/{name}") if line.strip()]
    return statistics.median(r[0] for r in rows), statistics.median(r[1] for r in rows) / 1024
ppr, const, normal, small_ppr = med("ppr"), med("const"), med("normal"), med("ppr-small")
print(f"whole processes, median of {runs}, runs alternating")
print(f"{'':46} {'wall s':>8} {'peak MiB':>9}")
print(f"{f'ppr-schedule --batch, {big:,} instruments':46} {ppr[0]:8.2f} {ppr[1]:9.1f}")
print(f"{'libxlsxwriter constant_memory, writing only':46} {const[0]:8.2f} {const[1]:9.1f}")
print(f"{'libxlsxwriter normal, writing only':46} {normal[0]:8.2f} {normal[1]:9.1f}")
print(f"{f'ppr-schedule --batch, {small:,} instruments':46} {small_ppr[0]:8.2f} {small_ppr[1]:9.1f}")
print(f"ratios: wall vs constant_memory {ppr[0] / const[0]:.2f}x, vs normal {ppr[0] / normal[0]:.2f}x;"
      f" t({big:,})/t({small:,}) = {ppr[0] / small_ppr[0]:.1f}")
PY
