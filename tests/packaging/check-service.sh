#!/usr/bin/env bash
# Installs the build into a home prefix (~/.local of a scratch home folder) and a system prefix (/usr under a
# scratch DESTDIR) and checks the systemd user unit each gets: it lies in a folder the user manager searches,
# its ExecStart names the installed executable by its absolute path, and systemd-analyze verify accepts it.
# Needs no running systemd.
#   check-service.sh CMAKE BUILD-DIR SCRATCH
set -euo pipefail

cmake="$1" build="$2" scratch="$3"
rm -rf "$scratch"
mkdir -p "$scratch/home" "$scratch/run" "$scratch/root" "$scratch/verify"
chmod 700 "$scratch/run"
failures=0
failure() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The user manager of a fresh login to the scratch home: the caller's XDG folders play no part.
as_user() {
  env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CONFIG_DIRS -u XDG_DATA_DIRS \
    HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/run" "$@"
}

# check_unit ROOT PREFIX: the unit of an install with PREFIX into ROOT (empty: the real root).
check_unit() {
  local root="$1" prefix="$2" unit="" folder
  while read -r folder; do
    if [ -f "$root$folder/foldwise-watch.service" ]; then
      unit="$root$folder/foldwise-watch.service"
      break
    fi
  done < <(as_user systemd-analyze --user unit-paths)
  if [ -z "$unit" ]; then
    failure "prefix $prefix: the unit is in no folder the user manager searches:" \
      "$(find "$root$prefix" -name foldwise-watch.service)"
    return
  fi

  local command executable
  command="$(sed -n 's/^ExecStart=//p' "$unit")"
  executable="${command%% *}"
  [ "$executable" = "$prefix/bin/foldwise" ] || failure "prefix $prefix: ExecStart=$command"
  [ -x "$root$executable" ] || failure "prefix $prefix: ExecStart names $executable, which is not installed"

  # Verified as it runs: where the install went into a scratch root, the executable is named within it.
  if [ -n "$root" ]; then
    sed "s|^ExecStart=$executable |ExecStart=$root$executable |" "$unit" >"$scratch/verify/foldwise-watch.service"
    unit="$scratch/verify/foldwise-watch.service"
  fi
  local verdict
  verdict="$(as_user systemd-analyze --user verify --man=no "$unit" 2>&1 || echo "(rejected)")"
  [ -z "$verdict" ] || failure "prefix $prefix: systemd-analyze rejects or warns about the unit: $verdict"
}

"$cmake" --install "$build" --prefix "$scratch/home/.local" >"$scratch/home-install.log"
check_unit "" "$scratch/home/.local"
DESTDIR="$scratch/root" "$cmake" --install "$build" --prefix /usr >"$scratch/system-install.log"
check_unit "$scratch/root" /usr
exit $((failures > 0))
