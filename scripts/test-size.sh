#!/usr/bin/env bash
# Prints the lines of test code and of the code they test (product code with its install rules and
# shell completion, benchmarks, tools and scripts), leaving out blank lines and comment-only lines, and
# the ratio of the two. Build files (CMakeLists.txt) count on neither side.
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
  # Lines that hold something besides white space and a comment.
  xargs -r cat | grep -c -v -E '^[[:space:]]*((//|#).*)?$' || true
}

tests=$(git ls-files -- 'tests/*.cpp' 'tests/*.h' 'tests/*.sh' | count)
code=$(git ls-files -- '*.cpp' '*.h' '*.sh' 'cmake/*.cmake' 'resources/completions/*' 'scripts/*' '.ci/run' |
  grep -v '^tests/' | sort -u | count)
echo "test lines: $tests"
echo "code lines: $code (product code, install rules, completion, benchmarks, tools and scripts)"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio: %.3f (target: at most 0.333)\n", t / c }'
