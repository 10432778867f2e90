#!/usr/bin/env bash
# ovpack through its command line: build -> list -> verify -> extract round
# trip with GBK names, each refusal, and malformed payloads.
#   tests/ovpack_cli_test.sh OVPACK
set -uo pipefail
ovpack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# expect_exit CODE CMD... : run, keep stdout/stderr in $work/out, $work/err.
expect_exit() {
  local want=$1; shift
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "exit $got, expected $want: $* ($(head -3 "$work/err"))"
}
expect_err() { grep -qF -- "$1" "$work/err" || fail "stderr lacks '$1': $(cat "$work/err")"; }

head -c 3000 /dev/urandom >"$work/stub.exe"

# A tree like a release: GBK names, a driver kit with subfolders, Contour.
t="$work/tree"
mkdir -p "$t/QVTPrograms/语言" "$t/QVTDriver/amd64" "$t/QVTDriver/x86" "$t/MXDriver" "$t/Contour"
printf 'main' >"$t/QVTPrograms/Orvane.exe"
head -c 700000 /dev/urandom >"$t/QVTPrograms/big.dat"
printf '中文' >"$t/QVTPrograms/语言/简体中文.ini"
printf 'root' >"$t/readme.txt"
printf 'inf' >"$t/QVTDriver/usb.inf"
printf '64' >"$t/QVTDriver/amd64/co.dll"
printf '32' >"$t/QVTDriver/x86/co.dll"
printf 'mx' >"$t/MXDriver/mdmcpq.inf"
printf 'c' >"$t/Contour/contour.dat"

expect_exit 0 "$ovpack" build --stub "$work/stub.exe" --from "$t" -o "$work/setup.exe"
cmp -n 3000 "$work/stub.exe" "$work/setup.exe" || fail "stub not kept in front"

expect_exit 0 "$ovpack" list "$work/setup.exe"
cat >"$work/want-list" <<'LIST'
         4  readme.txt
         1  Contour\contour.dat
         2  MXDriver\mdmcpq.inf
         3  QVTDriver\usb.inf
         2  QVTDriver\amd64\co.dll
         2  QVTDriver\x86\co.dll
         4  QVTPrograms\Orvane.exe
    700000  QVTPrograms\big.dat
         6  QVTPrograms\语言\简体中文.ini
LIST
diff -u "$work/want-list" "$work/out" || fail "list output"

expect_exit 0 "$ovpack" verify "$work/setup.exe"
grep -qx "$work/setup.exe: no integrity record" "$work/out" || fail "a stub that is no PE image: $(cat "$work/out")"

mkdir -p "$work/windows"
OVSETUP_WINDIR="$work/windows" expect_exit 0 "$ovpack" extract "$work/setup.exe" "$work/all"
cmp "$t/QVTPrograms/big.dat" "$work/all/QVTPrograms/big.dat" || fail "big.dat differs"
gbk_dir=$(printf '语言' | iconv -f UTF-8 -t GBK)
gbk_file=$(printf '简体中文.ini' | iconv -f UTF-8 -t GBK)
[ "$(cat "$work/all/QVTPrograms/$gbk_dir/$gbk_file")" = 中文 ] || fail "GBK-named file"
[ -f "$work/windows/contour.dat" ] || fail "Contour entry not in the Windows folder"
[ ! -e "$work/all/MXDriver" ] || fail "MXDriver extracted by the full extraction"
[ ! -e "$work/all/Contour" ] || fail "Contour folder made under the target"

expect_exit 0 "$ovpack" extract --drivers "$work/setup.exe" "$work/drv"
(cd "$work/drv" && find . -type f | sort) >"$work/out"
printf '%s\n' ./MXDriver/mdmcpq.inf ./QVTDriver/amd64/co.dll ./QVTDriver/usb.inf \
  ./QVTDriver/x86/co.dll >"$work/want"
diff -u "$work/want" "$work/out" || fail "driver subset"

# Refusals: each names the entry and the rule, and leaves no output behind.
refuse() {  # refuse NAME EXPECTED-TEXT : build $work/r/NAME must fail
  expect_exit 1 "$ovpack" build --stub "$work/stub.exe" --from "$work/r/$1" -o "$work/r.exe"
  expect_err "$2"
  [ ! -e "$work/r.exe" ] || fail "$1: output left behind"
}
mkdir -p "$work/r/empty" && : >"$work/r/empty/zero.bin"
refuse empty "zero.bin: a file of zero bytes"
mkdir -p "$work/r/long" && printf x >"$work/r/long/$(printf 'a%.0s' $(seq 200))"
mkdir -p "$work/r/long/$(printf 'b%.0s' $(seq 200))" && printf x >"$work/r/long/$(printf 'b%.0s' $(seq 200))/$(printf 'c%.0s' $(seq 200))"
refuse long "at most 399 fit"
mkdir -p "$work/r/many/QVTPrograms" && (cd "$work/r/many/QVTPrograms" && for i in $(seq 600); do printf x >"f$i"; done)
refuse many "more than 599 files"
mkdir -p "$work/r/emoji" && printf x >"$work/r/emoji/smile-😀.txt"
refuse emoji "cannot be encoded in code page 936"
mkdir -p "$work/r/fifo" && mkfifo "$work/r/fifo/pipe"
refuse fifo "pipe: not a regular file"
mkdir -p "$work/r/order/QVTDriver/amd64" && printf x >"$work/r/order/QVTDriver/amd64/a.sys"
refuse order "folder \"QVTDriver\" has no entry before it"
mkdir -p "$work/r/trail/QVTPrograms" && printf x >"$work/r/trail/QVTPrograms/乗.txt"
refuse trail "0x5C byte"
# Names Windows cannot hold as files, and paths that differ only in letter
# case (folders too); GBK characters whose trail byte is "|" or a letter's
# value are neither.
name_rule() {  # name_rule NAME RULE-TEXT : a tree with QVTPrograms/NAME is refused
  rm -rf "$work/r/name" && mkdir -p "$work/r/name/QVTPrograms"
  printf x >"$work/r/name/QVTPrograms/ok.txt"
  mkdir -p "$(dirname "$work/r/name/QVTPrograms/$1")" && printf x >"$work/r/name/QVTPrograms/$1"
  refuse name "QVTPrograms\\${1//\//\\}: $2"
}
device="a step of the path is a Windows device name"
dot_or_space="a step of the path ends in a dot or a space"
character="the path holds a control character or one of"
name_rule NUL "$device"
name_rule COM1.txt "$device"
name_rule Com3.log "$device"
name_rule 'conout$' "$device"
name_rule lpt1/x.txt "$device"
name_rule a.txt. "$dot_or_space"
name_rule "dir /x.txt" "$dot_or_space"
name_rule 'a|b' "$character"
name_rule 'why?' "$character"
name_rule "$(printf 'tab\there')" "$character"
mkdir -p "$work/r/twins/QVTPrograms" && printf 1 >"$work/r/twins/QVTPrograms/Readme.txt" &&
  printf 2 >"$work/r/twins/QVTPrograms/README.TXT"
refuse twins 'QVTPrograms\Readme.txt: differs only in letter case from "QVTPrograms\README.TXT"'
mkdir -p "$work/r/ftwins/QVTPrograms" "$work/r/ftwins/qvtprograms" &&
  printf 1 >"$work/r/ftwins/QVTPrograms/a.txt" && printf 2 >"$work/r/ftwins/qvtprograms/b.txt"
refuse ftwins 'its folder "qvtprograms" differs only in letter case from "QVTPrograms"'
mkdir -p "$work/r/trails/QVTPrograms" && printf 1 >"$work/r/trails/QVTPrograms/丄.txt" &&
  printf 2 >"$work/r/trails/QVTPrograms/乤.txt" && printf 3 >"$work/r/trails/QVTPrograms/亅.txt"
expect_exit 0 "$ovpack" build --stub "$work/stub.exe" --from "$work/r/trails" -o "$work/trails.exe"

# The same names in an existing setup: list and verify name the entry and the
# rule, extract stops there and writes nothing, not even the entry before
# it; case twins extract, and verify reports them.
payload() { "$(dirname "$0")/support/write_setup.py" "$@"; }  # payload FILE PATH...
for row in "NUL:$device" "COM1.txt:$device" "a.txt.:$dot_or_space" "a|b:$character"; do
  name=${row%%:*} rule=${row#*:}
  payload "$work/named.exe" 'QVTPrograms\before.txt' "QVTPrograms\\$name" 'QVTPrograms\after.txt'
  expect_exit 1 "$ovpack" list "$work/named.exe"
  expect_err "entry 1 \"QVTPrograms\\$name\": $rule"
  [ "$(cat "$work/out")" = "         4  QVTPrograms\\before.txt" ] || fail "$name: list: $(cat "$work/out")"
  expect_exit 1 "$ovpack" verify "$work/named.exe"
  expect_err "entry 1 \"QVTPrograms\\$name\": $rule"
  rm -rf "$work/named"
  expect_exit 1 "$ovpack" extract "$work/named.exe" "$work/named"
  expect_err "entry 1 \"QVTPrograms\\$name\": $rule"
  [ -z "$(cd "$work/named" && find . -type f)" ] ||
    fail "$name: extracted $(cd "$work/named" && find . -type f)"
done
payload "$work/twins.exe" 'QVTPrograms\Readme.txt' 'QVTPrograms\README.TXT'
expect_exit 1 "$ovpack" verify "$work/twins.exe"
expect_err 'entry 1 "QVTPrograms\README.TXT": differs only in letter case from "QVTPrograms\Readme.txt"'
expect_exit 0 "$ovpack" extract "$work/twins.exe" "$work/twins"

mkdir -p "$work/r/cp/QVTPrograms" && printf x >"$work/r/cp/QVTPrograms/é.txt"
expect_exit 0 "$ovpack" build --codepage 1252 --stub "$work/stub.exe" --from "$work/r/cp" -o "$work/cp.exe"
expect_exit 0 "$ovpack" list --codepage 1252 "$work/cp.exe"
grep -qF 'QVTPrograms\é.txt' "$work/out" || fail "code page 1252 names"

# Malformed payloads: list shows the entries up to the fault, then names it.
python3 - "$work/setup.exe" "$work/bad.exe" <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
n = struct.unpack_from('<I', data, len(data) - 4)[0]
table = len(data) - 4 - 4 * n
offs = list(struct.unpack_from('<%dI' % n, data, table))
offs[3] = offs[2] + 100          # entry 2 spans 100 bytes
struct.pack_into('<%dI' % n, data, table, *offs)
open(sys.argv[2], 'wb').write(data)
PY
expect_exit 1 "$ovpack" list "$work/bad.exe"
[ "$(wc -l <"$work/out")" -eq 2 ] || fail "list before the fault: $(cat "$work/out")"
expect_err "entry 2: the entry spans 400 bytes or less"
expect_exit 1 "$ovpack" verify "$work/bad.exe"
expect_err "entry 2"
expect_exit 1 "$ovpack" extract "$work/bad.exe" "$work/bad"

head -c 100 /dev/urandom >"$work/junk.exe"
printf '\x00\x00\x00\x00' >>"$work/junk.exe"
expect_exit 1 "$ovpack" list "$work/junk.exe"
expect_err "the offset count is 0 or above 600"

# Release checks. The files the warnings of a bare tree name are exactly what
# silences them; then each file taken out is named with its install (and
# variant), a warning unless --strict, which leaves no setup behind.
rel="$work/release"
mkdir -p "$rel/QVTPrograms" && printf x >"$rel/QVTPrograms/other.dat"
expect_exit 0 "$ovpack" build --stub "$work/stub.exe" --from "$rel" -o "$work/rel.exe"
grep -oE '[A-Za-z]+\\[A-Za-z0-9_.]+' "$work/err" | sort -u >"$work/needed"
[ "$(wc -l <"$work/needed")" -ge 30 ] || fail "needed files: $(cat "$work/err")"
while read -r needed; do
  mkdir -p "$rel/$(dirname "${needed//\\//}")" && printf x >"$rel/${needed//\\//}"
done <"$work/needed"
expect_exit 0 "$ovpack" build --strict --stub "$work/stub.exe" --from "$rel" -o "$work/rel.exe"
[ ! -s "$work/err" ] || fail "complete release warns: $(cat "$work/err")"
expect_exit 0 "$ovpack" verify --strict "$work/rel.exe"
for row in 'QVTPrograms/Orvane.exe|the program install lacks QVTPrograms\Orvane.exe' \
    'QVTPrograms/Uninstall.exe|the program install lacks QVTPrograms\Uninstall.exe' \
    'QVTDriver/InstallDriver.exe|the USB driver install lacks QVTDriver\InstallDriver.exe' \
    'MXDriver/qvt512u2.006|the USB driver install lacks MXDriver\qvt512u2.006' \
    'QVTCad/acad_EN.lsp|the AutoCAD add-in install lacks QVTCad\acad_EN.lsp (English)' \
    'QVTFonts/HT.SHX|the AutoCAD add-in install lacks QVTFonts\HT.SHX' \
    'QVTCorel/QVTCorelX34.gms|the CorelDRAW macro install lacks QVTCorel\QVTCorelX34.gms (CorelDraw X3 and CorelDraw X4)' \
    'QVTAi/QVTPlugin64En.aip|the Illustrator plug-in install lacks QVTAi\QVTPlugin64En.aip (64-bit, English)'; do
  file=${row%%|*} text=${row#*|}
  mv "$rel/$file" "$work/aside"
  expect_exit 0 "$ovpack" build --stub "$work/stub.exe" --from "$rel" -o "$work/rel.exe"
  expect_err "rel.exe: warning: $text"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$file: $(cat "$work/err")"
  expect_exit 0 "$ovpack" verify "$work/rel.exe"
  expect_err "rel.exe: warning: $text"
  expect_exit 1 "$ovpack" verify --strict "$work/rel.exe"
  expect_err "rel.exe: error: $text"
  expect_exit 1 "$ovpack" build --strict --stub "$work/stub.exe" --from "$rel" -o "$work/strict.exe"
  [ ! -e "$work/strict.exe" ] || fail "$file: build --strict left its output"
  mv "$work/aside" "$rel/$file"
done
# Stored paths against 259 characters under the longest folder of an install
# that writes them (the Illustrator plug-in's is 85 characters, the driver
# install's system folder 20); Chinese characters count one each.
ai_folder="C:\\Program Files\\Adobe\\Adobe Illustrator CS6 (64 Bit)\\Support Files\\Contents\\Windows\\"
fill() { printf "$1%.0s" $(seq "$2"); }  # fill TEXT COUNT
# long_path FOLDER CHARACTERS FILL : a stored path of CHARACTERS in all, FOLDER\NAME.txt for
# ASCII, FOLDER\STEP\NAME.txt otherwise (a Linux name holds 255 bytes).
long_path() {
  local rest=$(($2 - ${#1} - 5)) path=$1
  if [ "$3" != a ]; then
    path+=/$(fill "$3" $((rest / 2 - 1))) rest=$((rest - rest / 2))
    mkdir -p "$work/p/$path" && printf x >"$work/p/$1/a.txt"
  fi
  mkdir -p "$work/p/$path" && printf x >"$work/p/$path/$(fill "$3" "$rest").txt"
}
for row in "QVTPrograms 174 a 0" "QVTPrograms 175 a 1" "QVTPrograms 174 中 0" "QVTPrograms 175 中 1" \
    "MXDriver 239 a 0" "MXDriver 240 a 1" "QVTDriver 174 a 0" "QVTDriver 175 a 1"; do
  read -r folder chars with warned <<<"$row"
  rm -rf "$work/p" && long_path "$folder" "$chars" "$with"
  expect_exit 0 "$ovpack" build --stub "$work/stub.exe" --from "$work/p" -o "$work/p.exe"
  got=$(grep -c ': the path has ' "$work/err")
  [ "$got" -eq "$warned" ] || fail "$row: $got long-path warnings: $(grep 'path has' "$work/err")"
done
expect_exit 0 "$ovpack" build --stub "$work/stub.exe" --from "$work/p" -o "$work/p.exe"
expect_err "QVTDriver\\$(fill a 161).txt: the path has 260 characters under the Illustrator plug-in install (its folder \"$ai_folder\"), more than the 259 Windows takes"
expect_exit 1 "$ovpack" verify --strict "$work/p.exe"
expect_err "error: QVTDriver\\"

# Usage errors.
expect_exit 2 "$ovpack"
expect_exit 2 "$ovpack" build --from "$t"
expect_exit 2 "$ovpack" frobnicate
expect_exit 0 "$ovpack" --help

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "ovpack command line: all checks passed"
