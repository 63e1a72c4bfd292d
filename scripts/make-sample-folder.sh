#!/usr/bin/env bash
# Creates a realistic messy folder to try Foldwise on: a few hundred files of every kind (photos,
# screenshots, videos, music, invoices, archives, code, odd downloads), names with spaces, accents and
# upper-case extensions, a hidden file and a sub-folder.
#
#   scripts/make-sample-folder.sh [FOLDER]      (default: ~/Foldwise-Sample)
#
# It never overwrites or removes anything. It writes only into a new or empty folder, or into a folder it
# made before, where it puts back the files that are missing (for example after a Sort moved them away).
set -euo pipefail

target="${1:-${HOME:?HOME is not set; name the folder to create}/Foldwise-Sample}"
marker=".foldwise-sample"

fail() {
  echo "make-sample-folder: $*" >&2
  exit 1
}

if [ -e "$target" ] || [ -L "$target" ]; then
  if [ ! -d "$target" ] || [ -L "$target" ]; then
    fail "'$target' exists and is not a folder."
  fi
  if [ -n "$(ls -A -- "$target")" ] && [ ! -f "$target/$marker" ]; then
    fail "'$target' is not empty and was not made by this script; name a new folder instead."
  fi
fi
mkdir -p -- "$target/Old stuff"
[ -f "$target/$marker" ] || echo "Sample folder made by scripts/make-sample-folder.sh for trying Foldwise." \
  >"$target/$marker"

names=()
add() { names+=("$@"); }
addf() {
  local name
  # shellcheck disable=SC2059 # the format is the caller's
  printf -v name "$@"
  names+=("$name")
}

# Images: camera files with upper-case extensions, screenshots, and names people type.
for i in $(seq 4101 4180); do add "IMG_$i.JPG"; done
for day in $(seq 1 28); do addf 'Screenshot 2024-05-%02d at 10.%02d.31.png' "$day" "$((day * 2))"; done
for i in $(seq 1 12); do addf 'DSC%05d.jpeg' "$((i + 230))"; done
add "Café de Flore.jpg" "Zoë's birthday.HEIC" "Été à Montréal.jpeg" "São Paulo trip.jpg" "Łódź old town.png" \
  "東京 2023.jpg" "🎉 party.jpg" "logo.svg" "logo final FINAL.svg" "cat.gif" "banner.webp" "IMG_RAW_0042.CR2" \
  "Profile Picture.PNG" "wallpaper 4k.png"

# Video and audio.
for i in $(seq 1 14); do addf 'VID_202406%02d_1830%02d.mp4' "$i" "$((i * 3))"; done
add "Holiday in Köln.MOV" "screen recording.webm" "concert.mkv" "drone clip 02.MOV" "birthday cake.mov"
tracks=("Intro" "Morning Light" "Señorita" "Blue Hour" "Über den Wolken" "Night Drive" "Rain" "Outro")
for i in "${!tracks[@]}"; do addf 'Track %02d - %s.mp3' "$((i + 1))" "${tracks[$i]}"; done
for i in $(seq 1 10); do addf 'Voice memo 2024-03-%02d.m4a' "$((i * 3))"; done
add "Für Elise.flac" "podcast episode 42.ogg" "doorbell.WAV" "ringtone.MP3"

# Documents.
for year in 2023 2024; do
  for month in $(seq 1 12); do addf 'Invoice %s-%02d.pdf' "$year" "$month"; done
done
for month in $(seq 1 12); do addf 'Payslip 2024-%02d.pdf' "$month"; done
for i in $(seq 1 10); do addf 'Scan 2024-02-%02d.PDF' "$((i * 2))"; done
for i in $(seq 10 21); do add "meeting notes 2024-04-$i.txt"; done
add "Rechnung März 2024.pdf" "Résumé – Zoë Müller.docx" "Ñandú field guide.pdf" "bank statement.PDF" \
  "notes.txt" "todo.md" "README.md" "budget 2024.xlsx" "contacts.csv" "presentation final v3.pptx" \
  "letter to landlord.odt" "The Little Prince.epub" "install.log" "report.doc" "Kündigung Fitnessstudio.DOCX" \
  "recipe – crème brûlée.txt" "packing list.md" "tax return 2023.pdf" "warranty card.pdf" "timesheet.ods"

# Archives.
add "photos backup.zip" "project-1.2.0.tar.gz" "fonts.7z" "old website.rar" "debian-12.iso" \
  "hello_2.10-3_amd64.deb" "logs.tgz" "Backup 2022.ZIP" "wallpapers.tar.xz" "drivers.zip"

# Code.
add "main.py" "cleanup.sh" "index.html" "style.css" "app.js" "types.ts" "config.yaml" "Cargo.toml" \
  "settings.ini" "data.json" "main.cpp" "util.h" "Main.java" "lib.rs" "server.go" "schema.sql" "feed.xml" \
  "Hello.swift" "query.PY" "build.gradle.kts"

# Other: no extension, unknown extensions, half-finished downloads.
add "README" "LICENSE" "Makefile" "untitled" "video.crdownload" "report.pdf.part" "thing.xyz" "data.bin" \
  "backup.bak" "draft.tmp" "invite.ics.download" "core"

# A hidden file (Sort leaves it where it is) and a sub-folder (Sort leaves it, Statistics counts inside it).
add ".directory"
add "Old stuff/letter 2019.doc" "Old stuff/IMG_0001.jpg" "Old stuff/song.mp3" "Old stuff/taxes 2019.zip"

# Gives text files a few lines worth opening; other kinds get a one-line stand-in.
content_for() {
  case "${1,,}" in
  *.txt | *.md) printf 'Notes\n\n- call the landlord\n- back up the photos\n- sort this folder\n' ;;
  *.csv) printf 'name,email\nZoë Müller,zoe@example.org\nJosé Núñez,jose@example.org\n' ;;
  *.py) printf 'print("Hello from a sample file")\n' ;;
  *.sh) printf '#!/bin/sh\necho "Hello from a sample file"\n' ;;
  *.json) printf '{ "sample": true, "items": [1, 2, 3] }\n' ;;
  *.svg) printf '<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><circle cx="8" cy="8" r="7"/></svg>\n' ;;
  *.directory) printf '[Desktop Entry]\nIcon=folder-documents\n' ;;
  *) printf 'Sample file “%s”, made for trying Foldwise.\n' "${1##*/}" ;;
  esac
}

# noclobber: a file that appears meanwhile is an error, never overwritten.
set -o noclobber
created=0
for name in "${names[@]}"; do
  path="$target/$name"
  if [ -e "$path" ] || [ -L "$path" ]; then
    continue
  fi
  content_for "$name" >"$path"
  created=$((created + 1))
done

echo "Sample folder: $target"
kept=$((${#names[@]} - created))
if [ "$kept" -eq 0 ]; then
  echo "Created $created file(s)."
else
  echo "Created $created file(s); $kept were already there and are left as they are."
fi
echo "Next: open Foldwise, choose this folder as the input folder and a new empty folder as the output, then Sort."
