#!/usr/bin/env bash
# Prints the lines of test code and of the product code they test (engine, stats, prefs, cli, ui, app,
# wording, with its install rules and shell completion), leaving out blank lines and comment-only lines,
# and the ratio of the two. Benchmarks, tools, scripts and build files (CMakeLists.txt) count on neither side,
# nor does the generated table of languages, which is data rather than code.
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
  # Lines that hold something besides white space and a comment.
  xargs -r cat | grep -c -v -E '^[[:space:]]*((//|#).*)?$' || true
}

tests=$(git ls-files -- 'tests/*.cpp' 'tests/*.h' 'tests/*.sh' | count)
code=$(git ls-files -- 'engine/*' 'stats/*' 'prefs/*' 'cli/*' 'ui/*' 'app/*' 'wording/*' |
  grep -E '\.(cpp|h)$' | grep -v '^engine/LinguistExtensions\.cpp$' | cat - <(git ls-files -- 'cmake/*.cmake' 'resources/completions/*') | count)
echo "test lines: $tests"
echo "product code lines: $code (engine, stats, prefs, cli, ui, app, wording, install rules, completion)"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio: %.3f (target: at most 0.333)\n", t / c }'
