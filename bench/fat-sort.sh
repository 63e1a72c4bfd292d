#!/usr/bin/env bash
# `foldwise sort --by extension` of a flat tree onto a FAT32 image mounted through FUSE (fusefat), against
# the plain way to move the same files there: `cp` into one folder, then `rm` of the sources.
#   bench/fat-sort.sh [--files 10000] [--repeat 3] [--dir /tmp] [--build build-bench]
# Needs `foldwise` and `foldwise-gentree` built in --build (scripts/bench.sh fat builds them).
set -euo pipefail
cd "$(dirname "$0")/.."

files=10000 repeat=3 dir=/tmp build=build-bench
while [ $# -gt 0 ]; do
  case "$1" in
  --files) files="$2" && shift 2 ;;
  --repeat) repeat="$2" && shift 2 ;;
  --dir) dir="$2" && shift 2 ;;
  --build) build="$2" && shift 2 ;;
  *) sed -n '2,6p' "$0" >&2 && exit 2 ;;
  esac
done
foldwise="$PWD/$build/app/foldwise"
gentree="$PWD/$build/bench/foldwise-gentree"

scratch="$(mktemp -d "$dir/foldwise-bench-fat.XXXXXX")"
mount="$scratch/mnt" fuse_pid=""
cleanup() {
  if mountpoint -q "$mount"; then fusermount -u "$mount" || { sleep 2 && fusermount -u "$mount"; } || true; fi
  [ -z "$fuse_pid" ] || wait "$fuse_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# Preferences and history of its own, and no window.
export XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config"
unset DISPLAY WAYLAND_DISPLAY

# The files: the generator's flat tree, kept to its regular files with names fusefat can store (no links,
# no hidden entries, printable ASCII without the characters FAT forbids: it refuses any other name with
# EPERM), and cut to exactly --files of them.
"$gentree" "$scratch/pristine" "$((files * 100 / 99 + 100))" --flat --bytes 16384 --seed 1 >/dev/null
find "$scratch/pristine" -mindepth 1 -maxdepth 1 \( -name '.*' -o ! -type f \) -exec rm -rf {} +
find "$scratch/pristine" -maxdepth 1 -type f -print0 | perl -0ne 'chomp; m{/([\x20-\x7e]+)$} && $1 !~ m{["*:<>?\\|]} or print "$_\0"' |
  xargs -0 -r rm -f
find "$scratch/pristine" -maxdepth 1 -type f -print0 | sort -z | tail -z -n "+$((files + 1))" | xargs -0 -r rm -f
count=$(find "$scratch/pristine" -maxdepth 1 -type f | wc -l)
bytes=$(du -s -B1 --apparent-size "$scratch/pristine" | cut -f1)

# The drive: FAT32, twice the files' size plus 64 MiB (file-system overhead and cluster slack).
truncate -s "$((bytes * 2 + 64 * 1024 * 1024))" "$scratch/fat.img"
mkfs.fat -F 32 "$scratch/fat.img" >/dev/null
mkdir "$mount"
fusefat -f -o rw+ "$scratch/fat.img" "$mount" >"$scratch/fusefat.log" 2>&1 &
fuse_pid=$!
for _ in $(seq 50); do mountpoint -q "$mount" && break || sleep 0.1; done
mountpoint -q "$mount" || { echo "fusefat did not mount the image" >&2 && exit 1; }
echo "$count files of 0 to 16 KiB ($bytes bytes) onto $(stat -f -c %T "$mount") (fusefat, FAT32), $repeat rounds"

driver_ticks() { awk '{ print $14 + $15 }' "/proc/$fuse_pid/stat"; }
# timed STEP COMMAND…: one run after a sync; appends its wall-clock, CPU (user + system, with children) and
# the FUSE driver's own CPU time, in seconds, to $scratch/STEP.
timed() {
  local step="$1" before after wall user sys status=0
  shift
  sync
  before=$(driver_ticks)
  TIMEFORMAT='%R %U %S'
  { time "$@" >>"$scratch/$step.log" 2>&1 || status=$?; } 2>"$scratch/time"
  after=$(driver_ticks)
  read -r wall user sys <"$scratch/time"
  awk -v w="$wall" -v u="$user" -v s="$sys" -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { print w, u + s, t / hz }' >>"$scratch/$step"
  return "$status"
}
fresh_input() { rm -rf "$scratch/in" && cp -a "$scratch/pristine" "$scratch/in"; }
landed() { find "$mount/$1" -type f | wc -l; }
# The peer puts the files into the same folders a sort by extension makes (fusefat slows down as one folder
# fills up, so one folder for all would be no fair comparison): one cp per folder, then one rm.
extensions() {
  find "$scratch/in" -maxdepth 1 -type f -name '?*.?*' -printf '%f\0' | sed -z 's/.*\.//' | tr '[:upper:]' '[:lower:]' |
    sort -zu
}
copy_and_remove() {
  local extension
  while IFS= read -r -d '' extension; do
    mkdir -p "$mount/Plain/$extension" &&
      find "$scratch/in" -maxdepth 1 -type f -iname "?*.$extension" -exec cp --preserve=timestamps -t "$mount/Plain/$extension" {} + ||
      return 1
  done < <(extensions)
  mkdir -p "$mount/Plain/other" &&
    find "$scratch/in" -maxdepth 1 -type f ! -name '?*.?*' -exec cp --preserve=timestamps -t "$mount/Plain/other" {} + &&
    find "$scratch/in" -maxdepth 1 -type f -delete
}

for round in $(seq "$repeat"); do
  fresh_input
  timed sort "$foldwise" sort "$scratch/in" "$mount/Sorted" --by extension || echo "round $round: foldwise sort failed"
  echo "round $round: sort put $(landed Sorted) files on the drive, left $(find "$scratch/in" -maxdepth 1 -type f | wc -l)"
  rm -rf "$mount/Sorted"

  fresh_input
  mkdir "$mount/Plain"
  timed copy copy_and_remove || echo "round $round: cp + rm failed"
  echo "round $round: cp + rm put $(landed Plain) files on the drive"
  rm -rf "$mount/Plain"
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
column_of() { cut -d' ' -f"$2" "$scratch/$1" | median; }
echo
printf '%-30s %10s %10s %12s %10s\n' step "wall (s)" "CPU (s)" "fusefat CPU" "files/s"
for step in sort copy; do
  label=$([ "$step" = sort ] && echo "foldwise sort --by extension" || echo "cp + rm, same folders")
  wall=$(column_of "$step" 1)
  printf '%-30s %10.2f %10.2f %12.2f %10.0f\n' "$label" "$wall" "$(column_of "$step" 2)" "$(column_of "$step" 3)" \
    "$(awk -v n="$count" -v w="$wall" 'BEGIN { print (w > 0) ? n / w : 0 }')"
done
awk -v a="$(column_of sort 1)" -v b="$(column_of copy 1)" 'BEGIN { printf "sort / (cp + rm), wall-clock: %.2f x\n", a / b }'
if [ -s "$scratch/sort.log" ]; then
  echo && echo "foldwise sort said (last lines):" && tail -n 5 "$scratch/sort.log"
fi
