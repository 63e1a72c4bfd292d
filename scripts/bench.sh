#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench) and runs them; each run's output is also kept in
# bench/results/. `scripts/bench.sh` runs them all; `scripts/bench.sh organizer|analyzer|gui|plan-sheet|fat [options]` runs
# one, with its own options.
set -euo pipefail
cd "$(dirname "$0")/.."

which=${1:-all}
[ $# -gt 0 ] && shift

bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DFOLDWISE_BUILD_GUI=ON -DFOLDWISE_BUILD_BENCHMARKS=ON >/dev/null
mkdir -p bench/results
stamp=$(date +%Y%m%d-%H%M%S)

# Sort and undo against the reference mover, the shell loop, and a sort across file systems.
if [ "$which" = all ] || [ "$which" = organizer ]; then
  cmake --build build-bench --target foldwise-bench-organizer foldwise-gentree -j2
  build-bench/bench/foldwise-bench-organizer "$@" | tee "bench/results/organizer-$stamp.txt"
fi

# Further benchmarks: one block each, below this line.

# The folder analyzer against find and fd pipelines and a single-thread reference walker, on nested trees
# of 100,000 and 1,000,000 files kept in --data (default /tmp/foldwise-bench-analyzer) for later runs.
if [ "$which" = all ] || [ "$which" = analyzer ]; then
  cmake --build build-bench --target foldwise-bench-analyzer -j2
  build-bench/bench/foldwise-bench-analyzer "$@" | tee "bench/results/analyzer-$stamp.txt"
fi

# The longest gap between GUI-thread timer ticks while the statistics screen analyses a large tree,
# offscreen unless a display is given.
if [ "$which" = all ] || [ "$which" = gui ]; then
  cmake --build build-bench --target foldwise-bench-gui -j2
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} build-bench/bench/foldwise-bench-gui "$@" | tee "bench/results/gui-$stamp.txt"
fi

# The window while a sort and an undo of 100,000 files and a sort of two 1 GB files to /dev/shm run, and
# the time from closing it to every thread ended while a 1,000,000-file folder is counted (the analyzer
# benchmark's tree, when it has made one).
if [ "$which" = all ] || [ "$which" = gui ] || [ "$which" = gui-runs ]; then
  cmake --build build-bench --target foldwise-bench-gui-runs -j2
  tree=/tmp/foldwise-bench-analyzer/tree-1000000-seed-1
  args=()
  [ -d "$tree" ] && args=(--analysis-tree "$tree")
  [ "$which" = gui-runs ] && args+=("$@")
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} build-bench/bench/foldwise-bench-gui-runs "${args[@]}" | tee "bench/results/gui-runs-$stamp.txt"
fi

# The plan sheet opened on a plan of 100,000 files, and scrolled page by page (target: open in under 1 s).
if [ "$which" = all ] || [ "$which" = gui ] || [ "$which" = plan-sheet ]; then
  cmake --build build-bench --target foldwise-bench-plan-sheet -j2
  args=()
  [ "$which" = plan-sheet ] && args+=("$@")
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} build-bench/bench/foldwise-bench-plan-sheet "${args[@]}" | tee "bench/results/plan-sheet-$stamp.txt"
fi

# `foldwise sort` onto a FAT32 image mounted through fusefat, against cp + rm of the same files.
if [ "$which" = fat ]; then
  cmake --build build-bench --target foldwise foldwise-gentree -j2
  bench/fat-sort.sh --build build-bench "$@" | tee "bench/results/fat-$stamp.txt"
fi
