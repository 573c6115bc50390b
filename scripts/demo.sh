#!/usr/bin/env bash
# The README's main command: installs what is needed, builds, and shows the program on the bundled demo
# database. Where there is a display it opens the window (pick a year and entries, press
# "Сформировать график"). Without one (a server, ssh, CI) it runs the batch demo instead: every
# instrument type, state and subdivision for the current year, saved as a new workbook under
# demo-output/ and summarised, and says how to open the window.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "demo: opening the window on build/bin/demo.db"
  exec ./build/bin/ppr-schedule --demo
fi

year=$(date +%Y)
mkdir -p demo-output
out="$PWD/demo-output/ППР-$year-$(date +%Y%m%d-%H%M%S).xlsx"
echo "demo: no display here, so the batch demo: the schedule for $year from build/bin/demo.db"
./build/bin/ppr-schedule --demo --batch --output "$out" --types all --states all --subdivs all

/usr/bin/python3 - "$out" <<'PY'
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
numbered = [r for r in ws.iter_rows(min_col=1, max_col=1) if isinstance(r[0].value, int)]
headers = [rng for rng in ws.merged_cells.ranges if rng.min_col == 2 and rng.max_col == 21]
print(f"demo: sheet '{ws.title}', {ws.max_row} rows, {len(numbered)} instruments, {len(headers)} subdivision headers")
for row in ws.iter_rows(min_row=1, max_row=12, values_only=True):
    cells = [str(v) for v in row if v not in (None, "")]
    if cells:
        print("   ", " | ".join(cells)[:150])
PY
echo "demo: to open the window, run this where there is a display (a desktop, ssh -X):"
echo "    ./build/bin/ppr-schedule --demo"
echo "demo: more batch runs: ./build/bin/ppr-schedule --help"
