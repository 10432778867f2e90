#!/usr/bin/env bash
# ovpack.exe, the release tool of those who build on Windows, under Wine: from
# a tree with Chinese names, given Windows paths, it builds the very bytes
# the native ovpack builds from the same tree and stub, and lists, verifies
# and extracts that setup as the native one does.
#   tests/ovpack_wine_test.sh WINE-RUN PREFIX ARCH OVPACK-EXE NATIVE-OVPACK STUB
# (WINE-RUN PREFIX ARCH is the build's emulator; STUB the build's setup.exe.)
set -uo pipefail
wine_run=$1 prefix=$2 arch=$3 ovpack_exe=$4 native=$5 stub=$6
work=$(mktemp -d)
contour=ovpack-wine-test.dat  # lands in the prefix's Windows folder
trap 'rm -rf "$work" "$prefix/drive_c/windows/$contour"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
if [ ! -x "$native" ]; then
  echo "no native ovpack at $native: build build/native first (or set OVSETUP_NATIVE_OVPACK)" >&2
  exit 1
fi

win() { local path=${1//\//\\}; printf 'Z:%s' "$path"; }  # a Linux path as Wine shows it
# exe ARGS... : ovpack.exe under Wine; stdout in $work/out (CRs dropped),
# stderr in $work/err, the exit status in $rc.
exe() {
  "$wine_run" "$prefix" "$arch" "$ovpack_exe" "$@" >"$work/out.crlf" 2>"$work/err.crlf"
  rc=$?
  tr -d '\r' <"$work/out.crlf" >"$work/out"
  tr -d '\r' <"$work/err.crlf" >"$work/err"
}
# The findings of the release checks, without the file name they start with.
findings() { sed -E 's/^ovpack: .*: (warning|error): /\1: /' "$1"; }

# A release tree: Chinese file and folder names, a body above the 512000-byte
# buffer, the driver kits, a Windows-folder file; the AutoCAD and Illustrator
# files are missing, so both tools warn the same way.
t="$work/tree"
mkdir -p "$t/QVTPrograms/语言" "$t/QVTCorel" "$t/QVTDriver/amd64" "$t/QVTDriver/x86" \
  "$t/MXDriver" "$t/Contour"
printf 'main' >"$t/QVTPrograms/Orvane.exe"
printf 'uninstall' >"$t/QVTPrograms/Uninstall.exe"
head -c 600000 /dev/urandom >"$t/QVTPrograms/big.dat"
printf '中文' >"$t/QVTPrograms/语言/简体中文.ini"
printf 'readme' >"$t/QVTPrograms/说明.txt"
printf 'gms' >"$t/QVTCorel/QVTCorelX5.gms"
printf 'exe' >"$t/QVTDriver/InstallDriver.exe"
printf '64' >"$t/QVTDriver/amd64/co.dll"
printf '32' >"$t/QVTDriver/x86/co.dll"
printf 'inf' >"$t/MXDriver/Qvtvcomdrv.inf"
printf 'c' >"$t/Contour/$contour"

"$native" build --stub "$stub" --from "$t" -o "$work/native.exe" 2>"$work/native-build.err" ||
  fail "native build: $(cat "$work/native-build.err")"
exe build --stub "$(win "$stub")" --from "$(win "$t")" -o "$(win "$work/windows.exe")"
[ "$rc" -eq 0 ] || fail "build: exit $rc: $(head -3 "$work/err")"
cmp "$work/native.exe" "$work/windows.exe" || fail "the setups of ovpack.exe and ovpack differ"
findings "$work/native-build.err" >"$work/want"
grep -q 'the AutoCAD add-in install lacks' "$work/want" || fail "no warning: $(cat "$work/want")"
findings "$work/err" | diff -u "$work/want" - || fail "build warnings differ"

"$native" list "$work/native.exe" >"$work/want"
exe list "$(win "$work/windows.exe")"
[ "$rc" -eq 0 ] || fail "list: exit $rc: $(head -3 "$work/err")"
grep -qF 'QVTPrograms\语言\简体中文.ini' "$work/out" || fail "list lacks the Chinese name"
diff -u "$work/want" "$work/out" || fail "list output differs"

"$native" verify "$work/native.exe" 2>"$work/native-verify.err" |
  sed "s|$work/native.exe|SETUP|" >"$work/want"
exe verify "$(win "$work/windows.exe")"
[ "$rc" -eq 0 ] || fail "verify: exit $rc: $(head -3 "$work/err")"
grep -qE 'SETUP: [0-9]+ entries, well formed' "$work/want" || fail "native verify: $(cat "$work/want")"
sed 's|^Z:.*windows\.exe|SETUP|' "$work/out" | diff -u "$work/want" - || fail "verify output differs"
findings "$work/native-verify.err" >"$work/want"
findings "$work/err" | diff -u "$work/want" - || fail "verify warnings differ"

# Extraction: names land in the prefix's code page, so the bodies are
# compared by checksum and the ASCII names by name.
sums() { (cd "$1" && find . -type f -exec md5sum {} + | cut -d' ' -f1 | sort); }
exe extract "$(win "$work/windows.exe")" "$(win "$work/all")"
[ "$rc" -eq 0 ] || fail "extract: exit $rc: $(head -3 "$work/err")"
diff <(rm -rf "$work/want-all" && cp -r "$t" "$work/want-all" &&
       rm -r "$work/want-all/MXDriver" "$work/want-all/Contour" && sums "$work/want-all") \
     <(sums "$work/all") >/dev/null || fail "extracted bodies differ"
cmp "$t/QVTPrograms/big.dat" "$work/all/QVTPrograms/big.dat" || fail "big.dat"
cmp "$t/Contour/$contour" "$prefix/drive_c/windows/$contour" || fail "Contour entry"
exe extract --drivers "$(win "$work/windows.exe")" "$(win "$work/drivers")"
[ "$rc" -eq 0 ] || fail "extract --drivers: exit $rc: $(head -3 "$work/err")"
(cd "$work/drivers" && find . -type f | sort) >"$work/got"
printf '%s\n' ./MXDriver/Qvtvcomdrv.inf ./QVTDriver/InstallDriver.exe ./QVTDriver/amd64/co.dll \
  ./QVTDriver/x86/co.dll | diff -u - "$work/got" || fail "driver subset"

# On a Chinese Windows (code page 936: the zh_CN.UTF-8 locale, where it is
# generated) the arguments arrive in GBK: a tree and a setup named in
# Chinese; the extraction writes the real Chinese names.
if locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; then
  mkdir -p "$work/发布" && cp -r "$t" "$work/发布/树"
  LC_ALL=zh_CN.UTF-8 exe build --stub "$(win "$stub")" --from "$(win "$work/发布/树")" \
    -o "$(win "$work/发布/安装.exe")"
  [ "$rc" -eq 0 ] || fail "code page 936: build: exit $rc: $(head -3 "$work/err")"
  cmp "$work/native.exe" "$work/发布/安装.exe" || fail "code page 936: the setups differ"
  LC_ALL=zh_CN.UTF-8 exe extract "$(win "$work/发布/安装.exe")" "$(win "$work/发布/展开")"
  [ "$rc" -eq 0 ] || fail "code page 936: extract: exit $rc: $(head -3 "$work/err")"
  cmp "$t/QVTPrograms/语言/简体中文.ini" "$work/发布/展开/QVTPrograms/语言/简体中文.ini" ||
    fail "code page 936: the Chinese names"
else
  echo "note: no zh_CN.UTF-8 locale here, so nothing ran in code page 936" >&2
fi

# --strict: the warnings are errors, and no setup is left behind.
exe build --strict --stub "$(win "$stub")" --from "$(win "$t")" -o "$(win "$work/strict.exe")"
[ "$rc" -eq 1 ] || fail "build --strict: exit $rc"
grep -q 'error: the AutoCAD add-in install lacks' "$work/err" || fail "build --strict: $(cat "$work/err")"
[ ! -e "$work/strict.exe" ] || fail "build --strict left its output"

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "ovpack.exe under Wine: builds the native ovpack's bytes; list, verify, extract agree"
