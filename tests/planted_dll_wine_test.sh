#!/usr/bin/env bash
# No DLL lying beside the setup runs in it. A DLL that leaves a trace when it
# is loaded (stand_ins/planted_dll.c) lies beside setup.exe and
# ovsetup-headless.exe under each name the setup loads by name after start
# (WINEDEBUG=+loaddll lists uxtheme.dll and msimg32.dll, loaded once its
# first window appears; its static imports are loaded before any code of its
# own runs), and Wine is told to prefer such a copy to its own, as Windows
# does for a DLL that is not a known DLL. gui_driver then drives the welcome
# dialog and a program install through the windows, and the headless runner
# makes a program install: no planted DLL may have run. First a program that
# leaves the DLL search as it is (load_dll) shows that a planted DLL does run
# in this prefix.
#   tests/planted_dll_wine_test.sh WINE-RUN PREFIX ARCH GUI-DRIVER SETUP HEADLESS PLANTED-DLL LOAD-DLL
# (WINE-RUN PREFIX ARCH is the build's emulator; SETUP the built setup.exe,
# the stub the test payload is appended to.)
set -uo pipefail
prefix=$2 arch=$3 driver=$4 stub=$5 headless=$6 planted=$7 load_dll=$8
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
. "$root/scripts/gui-env"
trap 'stop_xvfb; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

late_dlls="uxtheme msimg32"
"$root/scripts/wine-prefix" "$prefix" "$arch"
. "$root/scripts/wine-env" "$prefix" "$arch"
# planted_wine PROGRAM ARGS...: Wine looks for the late DLLs beside a
# program first, and takes its own copy only when none lies there.
planted_wine() { WINEDLLOVERRIDES="$WINEDLLOVERRIDES;${late_dlls// /,}=n,b" "$WINE_LOADER" "$@"; }

# plant FOLDER: the trace DLL under every late name in FOLDER.
plant() {
  for name in $late_dlls; do cp "$planted" "$1/$name.dll"; done
}
# traces FOLDER: the planted DLLs that ran in FOLDER.
traces() { (cd "$1" && ls -- *.ran 2>/dev/null | tr '\n' ' '); }

mkdir -p "$work/control"
cp "$load_dll" "$work/control/load_dll.exe"
plant "$work/control"
planted_wine "$work/control/load_dll.exe" uxtheme.dll >/dev/null 2>&1
[ "$(traces "$work/control")" = "uxtheme.dll.ran " ] ||
  fail "a planted DLL does not run even in a program that leaves the search as it is"

# The medium: the setup (the stub with a small payload) and its settings
# folders, the headless runner beside it, and the planted DLLs.
tree="$work/tree" m="$work/media"
mkdir -p "$tree/QVTPrograms" "$tree/QVTCad" "$tree/QVTDriver" \
         "$m/QVTDoc" "$m/QVTLanguage" "$m/QVTRes" "$m/QVTCfg" "$work/apps" "$work/apps2"
echo program >"$tree/QVTPrograms/Orvane.exe"
echo uninstall >"$tree/QVTPrograms/Uninstall.exe"
echo cad >"$tree/QVTCad/acad.dvb"
echo usb >"$tree/QVTDriver/usb.inf"
echo manual >"$m/QVTDoc/manual.txt"
echo ico >"$m/QVTRes/title.ico"
printf '[BaseCfg]\r\nLanguage=1\r\n' >"$m/QVTCfg/SoftCfg.ini"
"$root/tests/support/write_setup.py" "$m/Setup.exe" --stub "$stub" --tree "$tree" || fail "packing"
cp "$headless" "$m/ovsetup-headless.exe"
plant "$m"

start_xvfb || exit 1
if ! planted_wine "$driver" install "$(winpath "$m/Setup.exe")" "$(winpath "$work/apps")" 2 Orvane \
     >"$work/driver.log" 2>&1; then
  tr -d '\r' <"$work/driver.log" | grep -v '^PASS ' >&2
  fail "the program install through the windows"
fi
out=$(planted_wine "$m/ovsetup-headless.exe" install --setup "$(winpath "$m/Setup.exe")" \
        --type 0 --language 2 --path "$(winpath "$work/apps2")" 2>/dev/null | tr -d '\r')
[ "$out" = 'Install OK!' ] || fail "the headless program install printed '$out'"
[ -z "$(traces "$m")" ] || fail "planted DLLs ran in the setup: $(traces "$m")"

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "planted DLLs ($late_dlls) beside setup.exe and ovsetup-headless.exe: none ran"
