#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz and runs each for SECONDS (default
# 600) over a fresh copy of its seed corpus (fuzz/corpus/<name>) in build-fuzz/fuzz-corpus/<name>, so
# that the repository's corpus is not flooded; what the run added stays there to look at. Prints per target the inputs run, the coverage (cov: edges, ft: features) and any
# finding with the path of its reproducer; exits 1 when a target found something.
#   bash scripts/fuzz.sh            # 600 s each
#   bash scripts/fuzz.sh 30         # what CI runs
#   bash scripts/fuzz.sh 60 template filter
# Environment: PPR_FUZZ_BUILD (build folder, default build-fuzz), PPR_FUZZ_NICE (niceness, default 0),
# PPR_FUZZ_RUNS (stop a target earlier, after that many inputs).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
build=${PPR_FUZZ_BUILD:-build-fuzz}
all=(command_line integer filter exec_statement idarray lookup_tree template)
targets=("${@:-${all[@]}}")

# The longest input worth trying per target: a command line, a number, a filter, a statement, an ID
# array of a thousand keys, a lookup of some hundreds of rows, a template several times ours.
declare -A max_len=([command_line]=4096 [integer]=64 [filter]=2048 [exec_statement]=2048 [idarray]=4105
                    [lookup_tree]=4096 [template]=65536)

CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPPR_FUZZ=ON -DPPR_BUILD_TESTS=OFF -DPPR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}")

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp}
export QT_QPA_PLATFORM=offscreen

failed=0
summary=()
for t in "${targets[@]}"; do
  [[ -n ${max_len[$t]:-} ]] || { echo "fuzz: no target '$t' (targets: ${all[*]})" >&2; exit 2; }
  corpus=$PWD/$build/fuzz-corpus/$t
  artifacts=$PWD/$build/fuzz-findings/$t/
  rm -rf "$corpus"
  mkdir -p "$corpus" "$artifacts"
  cp fuzz/corpus/"$t"/* "$corpus"/
  log=$PWD/$build/fuzz-$t.log
  echo "fuzz: $t for ${seconds}s (log $log)"
  status=0
  nice -n "${PPR_FUZZ_NICE:-0}" "$build/bin/fuzz_$t" "$corpus" -max_total_time="$seconds" \
    -max_len="${max_len[$t]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts" ${PPR_FUZZ_RUNS:+-runs="$PPR_FUZZ_RUNS"} >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
  line="$t: runs ${runs:-?}, ${cov:-no coverage line}"
  if ((status != 0)); then
    failed=1
    reproducer=$(sed -n 's/.*Test unit written to //p' "$log" | tail -1)
    line+=", FINDING (exit $status): ${reproducer:-see $log}"
    tail -n 40 "$log"
  fi
  echo "fuzz: $line"
  summary+=("$line")
done
echo "fuzz: summary"
printf '  %s\n' "${summary[@]}"
exit "$failed"
