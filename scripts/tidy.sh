#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the product code (engine, stats, prefs, cli, ui, app;
# not tests, benchmarks or generated files), using the compile commands of a configured build. Fails on any
# finding. Usage: scripts/tidy.sh [BUILD_DIR] (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
jobs=${TIDY_JOBS:-2}

if [ ! -f "$build/compile_commands.json" ]; then
  echo "tidy: no $build/compile_commands.json; configure the build first" >&2
  exit 2
fi

mapfile -t sources < <(git ls-files -- 'engine/*.cpp' 'stats/*.cpp' 'prefs/*.cpp' 'cli/*.cpp' 'ui/*.cpp' 'app/*.cpp' |
  while read -r file; do grep -q "\"file\": \"$PWD/$file\"" "$build/compile_commands.json" && echo "$file"; done)

log=$(mktemp)
trap 'rm -f "$log"' EXIT
started=$(date +%s)
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 4 -P "$jobs" clang-tidy -p "$build" --quiet 2>/dev/null >>"$log" || true
findings=$(grep -c ': warning: \|: error: ' "$log" || true)
cat "$log"
echo "clang-tidy: ${#sources[@]} files, $findings findings, $(($(date +%s) - started)) s."
[ "$findings" -eq 0 ]
