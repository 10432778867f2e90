#!/usr/bin/env bash
# The program install under Wine from setups whose payload holds a path that
# Windows cannot hold as a file: it fails at that entry and writes nothing,
# not even the entry before it.
#   tests/stored_names_wine_test.sh WINE-RUN PREFIX ARCH HEADLESS
# (WINE-RUN PREFIX ARCH is the build's emulator.)
set -uo pipefail
wine_run=$1 prefix=$2 arch=$3 headless=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
wine() { "$wine_run" "$prefix" "$arch" "$@"; }
windows_path() { echo "Z:$(echo "$1" | tr / '\\')"; }

for bad in 'QVTPrograms\NUL' 'QVTPrograms\COM1.txt' 'QVTPrograms\Com3.log' 'QVTPrograms\CONIN$' \
           'Contour\con.dat' 'QVTPrograms\a.txt.' 'QVTPrograms\dir \a.txt' 'QVTPrograms\a|b' \
           "$(printf 'QVTPrograms\\tab\there')"; do
  "$(dirname "$0")/support/write_setup.py" "$work/Setup.exe" 'QVTPrograms\before.txt' "$bad" \
    'QVTPrograms\after.txt'
  rm -rf "$work/apps" && mkdir -p "$work/apps"
  out=$(wine "$headless" install --setup "$(windows_path "$work/Setup.exe")" --type 0 --language 2 \
          --path "$(windows_path "$work/apps")" 2>"$work/err" | tr -d '\r')
  [ "$out" = "Can't copy files, error!" ] || fail "$bad: the install said '$out' ($(cat "$work/err"))"
  files=$(cd "$work/apps" && find . -type f)
  [ -z "$files" ] || fail "$bad: installed '$files'"
done
[ ! -e "$prefix/drive_c/windows/con.dat" ] || fail "con.dat in the Windows folder"

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "stored names Windows cannot hold, under Wine: all checks passed"
