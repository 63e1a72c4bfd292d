#!/usr/bin/env bash
# The command line's numbers, from a Release build of its own (default build-bench-cli/):
#   1. `foldwise stats` on the nested tree of 1,000,000 files that `scripts/bench.sh analyzer` uses, against
#      the analyzer alone (`foldwise-bench-analyzer --child analyzer`): medians of --repeat runs each,
#      alternated, warm cache; the target is within 1.1 x;
#   2. `foldwise sort --dry-run` of a flat tree of 100,000 files, human and JSON output; the target is under 1 s;
#   3. the CPU time `foldwise watch` uses over --idle seconds on a quiet folder, from /proc/PID/stat; the
#      target is none.
#   bench/cli-numbers.sh [--repeat 5] [--idle 60] [--build DIR] [--data /tmp/foldwise-bench-analyzer]
set -euo pipefail
cd "$(dirname "$0")/.."

repeat=5 idle=60 build=build-bench-cli data=/tmp/foldwise-bench-analyzer
while [ $# -gt 0 ]; do
  case "$1" in
  --repeat) repeat="$2" && shift 2 ;;
  --idle) idle="$2" && shift 2 ;;
  --build) build="$2" && shift 2 ;;
  --data) data="$2" && shift 2 ;;
  *) sed -n '2,10p' "$0" >&2 && exit 2 ;;
  esac
done

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DFOLDWISE_BUILD_GUI=ON \
  -DFOLDWISE_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" --target foldwise foldwise-gentree foldwise-bench-analyzer -j2 >/dev/null
foldwise="$PWD/$build/app/foldwise"
gentree="$PWD/$build/bench/foldwise-gentree"
analyzer="$PWD/$build/bench/foldwise-bench-analyzer"

scratch="$(mktemp -d /tmp/foldwise-bench-cli.XXXXXX)"
watch_pid=""
cleanup() {
  [ -z "$watch_pid" ] || kill "$watch_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
# Preferences and history of its own: nothing of the user's is read or written.
export XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config"

seconds_of() { # seconds_of COMMAND…: wall-clock seconds of one run, output discarded
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v start="$start" -v end="$end" 'BEGIN { print end - start }' 
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# 1. stats against the analyzer benchmark's own measurement, on the same tree.
tree="$data/tree-1000000-seed-1"
if [ ! -f "$tree.complete" ]; then
  echo "Making a tree of 1,000,000 files in $tree …"
  rm -rf "$tree" && "$gentree" "$tree" 1000000 --tree --seed 1 && echo complete >"$tree.complete"
fi
"$analyzer" --child analyzer "$tree" >/dev/null 2>&1 # warms the cache
: >"$scratch/stats" && : >"$scratch/analyzer"
for _ in $(seq "$repeat"); do
  seconds_of "$analyzer" --child analyzer "$tree" >>"$scratch/analyzer"
  seconds_of "$foldwise" stats "$tree" >>"$scratch/stats"
done
analyzer_s=$(median <"$scratch/analyzer")
stats_s=$(median <"$scratch/stats")
printf '%-44s %8.3f s\n' "analyzer alone, 1,000,000 files (median)" "$analyzer_s"
printf '%-44s %8.3f s   %.3f x the analyzer (target <= 1.1)\n' "foldwise stats, 1,000,000 files (median)" \
  "$stats_s" "$(awk -v a="$stats_s" -v b="$analyzer_s" 'BEGIN { print a / b }')"

# 2. A dry run of a sort of 100,000 files.
"$gentree" "$scratch/flat" 100000 --flat >/dev/null
: >"$scratch/dry" && : >"$scratch/dry-json"
for _ in $(seq "$repeat"); do
  seconds_of "$foldwise" sort "$scratch/flat" "$scratch/sorted" --dry-run >>"$scratch/dry"
  seconds_of "$foldwise" sort "$scratch/flat" "$scratch/sorted" --dry-run --json >>"$scratch/dry-json"
done
printf '%-44s %8.3f s   (target < 1)\n' "sort --dry-run, 100,000 files (median)" "$(median <"$scratch/dry")"
printf '%-44s %8.3f s   (target < 1)\n' "sort --dry-run --json, 100,000 files" "$(median <"$scratch/dry-json")"

# 3. watch on a quiet folder: CPU ticks (user + system) over the idle time, after it has started.
mkdir -p "$scratch/quiet"
"$foldwise" watch "$scratch/quiet" "$scratch/quiet-sorted" >/dev/null 2>&1 &
watch_pid=$!
sleep 2
ticks() { awk '{ print $14 + $15 }' "/proc/$watch_pid/stat"; }
before=$(ticks)
sleep "$idle"
after=$(ticks)
printf '%-44s %8d ticks of %s per second over %s s (target 0)\n' "foldwise watch, idle" "$((after - before))" \
  "$(getconf CLK_TCK)" "$idle"
