#!/usr/bin/env bash
# ovpack.exe, the release tool of those who build on Windows, under Wine: from
# a tree with Chinese names, given Windows paths, it builds the very bytes the
# native ovpack builds from the same tree and stub, and lists, verifies and
# extracts that setup as the native one does.
#   tests/ovpack_wine_test.sh WINE-RUN PREFIX ARCH OVPACK-EXE NATIVE-OVPACK STUB
# (WINE-RUN PREFIX ARCH is the build's emulator; STUB the build's setup.exe.)
set -uo pipefail
wine_run=$(realpath "$1") prefix=$(realpath "$2") arch=$3
ovpack_exe=$(realpath "$4") native=$(realpath "$5") stub=$(realpath "$6")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
[ -x "$native" ] || { echo "no native ovpack at $native: build build/native first" >&2; exit 1; }
cd "$work" || exit 1
win() { local path=${1//\//\\}; printf 'Z:%s' "$path"; }  # a Linux path as Wine shows it
# exe ARGS... : ovpack.exe; stdout and stderr in out and err (CRs dropped), status in $rc.
exe() {
  "$wine_run" "$prefix" "$arch" "$ovpack_exe" "$@" >out.crlf 2>err.crlf
  rc=$?
  tr -d '\r' <out.crlf >out && tr -d '\r' <err.crlf >err
}
# The bodies of the files a full extraction writes below DIR.
sums() { (cd "$1" && find . -path ./MXDriver -prune -o -type f -exec md5sum {} + | cut -c1-32 | sort); }

# Chinese names, a body above the 512000-byte buffer, the driver kits; the
# plug-in files are missing, so both tools warn.
for f in QVTPrograms/Orvane.exe=main QVTPrograms/语言/简体中文.ini=中文 QVTPrograms/说明.txt=readme \
    QVTDriver/usb.inf=inf QVTDriver/amd64/co.dll=64 MXDriver/Qvtvcomdrv.inf=mx; do
  mkdir -p "tree/$(dirname "${f%%=*}")" && printf '%s' "${f#*=}" >"tree/${f%%=*}"
done
head -c 600000 /dev/urandom >tree/QVTPrograms/big.dat
cp "$ovpack_exe" tree/QVTPrograms/tool.dll  # x86 code, for a compressed build
"$native" build --stub "$stub" --from tree -o native.exe 2>/dev/null || fail "native build"
exe build --stub "$(win "$stub")" --from "$(win "$work/tree")" -o "$(win "$work/windows.exe")"
[ "$rc" -eq 0 ] || fail "build: exit $rc: $(head -3 err)"
cmp native.exe windows.exe || fail "the setups of ovpack.exe and ovpack differ"
# ... and so do compressed builds, which extract whole.
"$native" build --compress --stub "$stub" --from tree -o native-c.exe 2>/dev/null || fail "native --compress"
exe build --compress --stub "$(win "$stub")" --from "$(win "$work/tree")" -o "$(win "$work/windows-c.exe")"
cmp native-c.exe windows-c.exe || fail "the compressed setups of ovpack.exe and ovpack differ"
exe extract "$(win "$work/windows-c.exe")" "$(win "$work/all-c")"
diff <(sums tree) <(sums all-c) >/dev/null || fail "compressed: extracted bodies differ"
# list and verify (its release warnings too): the texts of the native tool.
for command in list verify; do
  "$native" $command windows.exe >want.out 2>want.err
  exe $command windows.exe
  diff -u want.out out && diff -u want.err err || fail "$command: the texts differ"
  cat out err >>seen
done
grep -qF 'QVTPrograms\语言\简体中文.ini' seen || fail "list: no Chinese name"
grep -q 'warning: the AutoCAD add-in install lacks' seen || fail "verify: no release warning"
# The names land in the prefix's code page: the bodies are compared.
exe extract "$(win "$work/windows.exe")" "$(win "$work/all")"
[ "$rc" -eq 0 ] || fail "extract: exit $rc: $(head -3 err)"
diff <(sums tree) <(sums all) >/dev/null || fail "extracted bodies differ"

# A Chinese Windows (code page 936, where the zh_CN.UTF-8 locale exists)
# hands the arguments over in GBK: a tree and a setup named in Chinese.
if locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; then
  mkdir 发布 && mv tree 发布/树
  LC_ALL=zh_CN.UTF-8 exe build --stub "$(win "$stub")" --from "$(win "$work/发布/树")" \
    -o "$(win "$work/发布/安装.exe")"
  [ "$rc" -eq 0 ] || fail "code page 936: build: exit $rc: $(head -3 err)"
  cmp native.exe 发布/安装.exe || fail "code page 936: the setups differ"
  LC_ALL=zh_CN.UTF-8 exe extract "$(win "$work/发布/安装.exe")" "$(win "$work/发布/展开")"
  cmp 发布/树/QVTPrograms/语言/简体中文.ini 发布/展开/QVTPrograms/语言/简体中文.ini ||
    fail "code page 936: build and extract through Chinese paths"
else
  echo "note: no zh_CN.UTF-8 locale here, so nothing ran in code page 936" >&2
fi

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "ovpack.exe under Wine: builds the native ovpack's bytes; list, verify, extract agree"
