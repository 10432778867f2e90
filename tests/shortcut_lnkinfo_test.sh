#!/usr/bin/env bash
# Reads the shortcuts of shortcut_samples back with lnkinfo (liblnk-utils), a
# parser independent of both writers. ShowCommand is read at offset 0x3C
# directly: this lnkinfo always prints it as 0.
#   shortcut_lnkinfo_test.sh [EMULATOR...] SAMPLES_PROGRAM
set -euo pipefail
command -v lnkinfo >/dev/null || { echo "lnkinfo missing (liblnk-utils)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
LC_ALL=zh_CN.UTF-8 "$@"

failed=0
# field FILE LABEL EXPECTED: the line "LABEL : value" of lnkinfo's report.
field() {
  local actual
  actual=$(lnkinfo -c windows-936 "$1" | sed -n "s/^\t$2\t*: //p")
  if [ "$actual" != "$3" ]; then
    echo "$1: $2 is '$actual', expected '$3'"
    failed=1
  fi
}
show_command() {
  local actual
  actual=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  if [ "$actual" != 5 ]; then
    echo "$1: ShowCommand is $actual, expected 5"
    failed=1
  fi
}
no_icon() {
  if lnkinfo "$1" | grep -q 'Icon location'; then
    echo "$1: has an icon location"
    failed=1
  fi
}

program='C:\Program Files\Orvane\Orvane.exe'
field plain.lnk 'Local path' "$program"
field plain.lnk 'Description' "$program"
no_icon plain.lnk
show_command plain.lnk

field icon.lnk 'Local path' "$program"
field icon.lnk 'Description' 'Uninstall Orvane'
field icon.lnk 'Icon location' 'C:\Program Files\Orvane\Orvane.ico'
field icon.lnk 'Icon index' 0
show_command icon.lnk

field gbk.lnk 'Local path' 'C:\激光\Orvane.exe'
field gbk.lnk 'Description' '激光切割'
show_command gbk.lnk

[ "$failed" = 0 ] && echo "shortcuts read back right"
exit "$failed"
