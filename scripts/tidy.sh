#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the product code (engine, stats, prefs, cli, ui, app, wording;
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

mapfile -t sources < <(git ls-files -- 'engine/*.cpp' 'stats/*.cpp' 'prefs/*.cpp' 'cli/*.cpp' 'ui/*.cpp' 'app/*.cpp' 'wording/*.cpp' |
  while read -r file; do grep -q "\"file\": \"$PWD/$file\"" "$build/compile_commands.json" && echo "$file"; done)

# One report per source file, so that reports of files checked at once never interleave.
reports=$(mktemp -d)
trap 'rm -rf "$reports"' EXIT
started=$(date +%s)
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$jobs" sh -c 'clang-tidy -p "$1" --quiet "$3" 2>/dev/null >"$2/$(echo "$3" | tr / _).txt" || true' \
    sh "$build" "$reports"
cat "$reports"/*.txt
findings=$(cat "$reports"/*.txt | grep -c ': warning: \|: error: ' || true)
echo "clang-tidy: ${#sources[@]} files, $findings findings, $(($(date +%s) - started)) s."
[ "$findings" -eq 0 ]
