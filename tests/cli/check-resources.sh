#!/usr/bin/env bash
# Checks what is installed beside the executable for the command line: the man page renders without a
# warning and names every command and option, the bash completion completes the commands, the options each
# command's --help lists, and folders. (The systemd user unit is checked as installed, in tests/packaging.)
#   check-resources.sh RESOURCES FOLDWISE
set -uo pipefail

resources="$1" foldwise="$(realpath "$2")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
failure() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The options a command's --help lists.
options_of() {
  "$foldwise" "$1" --help | grep -oE -- '--[a-z-]+' | sort -u | tr '\n' ' '
}

# --- The man page ---
man="$resources/foldwise.1"
warnings="$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$man" 2>&1 || echo "groff cannot render it")"
[ -z "$warnings" ] || failure "the man page does not render cleanly: $warnings"
text="$(LC_ALL=C.UTF-8 groff -man -Tutf8 -P-cbou "$man" 2>/dev/null | tr -d '\n' | tr -s ' ')"
for command in sort undo stats history watch categories settings; do
  grep -qF "foldwise $command" <<<"$text" || failure "the man page lacks the command $command"
  for option in $(options_of "$command"); do
    grep -qF -- "$option" <<<"$text" || failure "the man page lacks $option of $command"
  done
done

# --- The bash completion ---
# shellcheck source=/dev/null
source "$resources/completions/foldwise"
expect_completion() { # expect_completion "EXPECTED" WORD… : completing the last word gives EXPECTED, sorted
  local expected="$1" got=""
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  _foldwise
  [ "${#COMPREPLY[@]}" -eq 0 ] || got="$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')"
  [ "$got" = "$expected" ] || failure "completing '$*' gives '$got', not '$expected'"
}
expect_completion "settings sort stats " foldwise s
expect_completion "category extension " foldwise sort --by ""
expect_completion "--dry-run " foldwise undo --d
expect_completion "" foldwise watch --settle ""
for command in sort undo stats history watch categories settings; do
  expect_completion "$(options_of "$command")" foldwise "$command" --
done
mkdir -p "$scratch/My Downloads" "$scratch/Music"
touch "$scratch/Mine.txt"
cd "$scratch" || exit 1
expect_completion "Music My Downloads " foldwise sort M

exit $((failures > 0))
