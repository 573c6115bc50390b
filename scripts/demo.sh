#!/usr/bin/env bash
# The README's demo command: installs what is needed, builds, and runs the program's main job on the
# bundled demo database: every instrument type, state and subdivision, the current year (or
# PPR_BATCH_YEAR), the schedule saved as a new workbook under demo-output/ and summarised.
# With a display (DISPLAY set) it then opens the window on the same database.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

year=${PPR_BATCH_YEAR:-$(date +%Y)}
mkdir -p demo-output
out="$PWD/demo-output/ППР-$year-$(date +%Y%m%d-%H%M%S).xlsx"
args=(/RepSqlServer sqlite /RepDBSource "$PWD/build/bin/demo.db" /RepUserLogin demo /RepUserPass "" /RepExtraData "")

echo "demo: schedule for $year from build/bin/demo.db"
PPR_BATCH=1 PPR_BATCH_YEAR="$year" PPR_OUTPUT="$out" PPR_OPEN_COMMAND=true PPR_MESSAGES=stderr \
  ./build/bin/ppr-schedule "${args[@]}"

if [[ ! -f "$out" ]]; then
  echo "demo: no workbook was made" >&2
  exit 1
fi
/usr/bin/python3 - "$out" <<'PY'
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
numbered = [r for r in ws.iter_rows(min_col=1, max_col=1) if isinstance(r[0].value, int)]
headers = [rng for rng in ws.merged_cells.ranges if rng.min_col == 2 and rng.max_col == 21]
print(f"demo: {sys.argv[1]}")
print(f"demo: sheet '{ws.title}', {ws.max_row} rows, {len(numbered)} instruments, {len(headers)} subdivision headers")
for row in ws.iter_rows(min_row=1, max_row=12, values_only=True):
    cells = [str(v) for v in row if v not in (None, "")]
    if cells:
        print("   ", " | ".join(cells)[:150])
PY

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "demo: opening the window"
  ./build/bin/ppr-schedule "${args[@]}"
fi
