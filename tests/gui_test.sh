#!/usr/bin/env bash
# The setup's windows under Wine on an X display of its own (Xvfb), driven by
# gui_driver against setups packed here, at 96 and at 144 DPI; screenshots of
# the welcome dialog in Chinese and in English (at both) and of the path
# dialog, and of the install runner. No DLL planted beside setup.exe or
# ovsetup-headless.exe runs in it. Long jobs keep the windows answering.
#   tests/gui_test.sh WINE-RUN PREFIX ARCH GUI-DRIVER SETUP INSTALLER SHOTS HEADLESS PLANTED-DLL LOAD-DLL
#                     LONG-INSTALLER
# (WINE-RUN PREFIX ARCH is the build's emulator; SETUP the built setup.exe, the
# stub each test payload is appended to; INSTALLER a stand-in driver
# installer, LONG-INSTALLER one that outlasts the driver run's step count;
# SHOTS the folder for the PNGs.)
# Where the setup runs under the emulator, waits sized for native speed here
# and in gui_driver (OVSETUP_WAIT_FACTOR) are wine_slowdown times longer.
# With OVSETUP_UPDATE_DOCS=1 the screenshots are also copied into docs/.
set -uo pipefail
wine_run=$1 prefix=$2 arch=$3 driver=$4 stub=$5 installer=$6 shots=$7 headless=$8 planted=$9 load_dll=${10}
long_installer=${11}
root=$(cd "$(dirname "$0")/.." && pwd)
docs=$root/docs
work=$(mktemp -d)
. "$root/scripts/gui-env"
. "$root/scripts/wine-programs"
slowdown=$(wine_slowdown "$(pe_machine "$stub")")
export OVSETUP_WAIT_FACTOR=$slowdown
[ "$slowdown" -eq 1 ] || echo "the setup runs under the emulator: waits x$slowdown"
# set_dpi N: the prefix's screen resolution (LogPixels) for programs started
# from now on.
set_dpi() {
  "$wine_run" "$prefix" "$arch" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || fail "cannot set $1 DPI"
}
# wine_session start|--stop: the prefix's Wine processes, ended or started
# afresh under this test's display. The tests before this one ran with no
# display: while any process of theirs lives, the desktop they made (and its
# explorer) has no display driver, and a program started on it cannot
# create a single window. At the end the session goes again, so that no
# later test joins a desktop whose display has gone.
wine_session() {
  "$root/scripts/wine-prefix" "$prefix" "$arch" --stop
  [ "$1" = --stop ] || "$root/scripts/wine-prefix" "$prefix" "$arch"
}
fuse_pid=
cleanup() {
  set_dpi 96
  wine_session --stop
  stop_xvfb
  if [ -n "$fuse_pid" ]; then
    fusermount -u "$work/slow" 2>/dev/null || fusermount -uz "$work/slow"
    kill "$fuse_pid" 2>/dev/null; wait "$fuse_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

start_xvfb || exit 1
wine_session start || exit 1
set_dpi 96

# The payload: the program, the plug-in folders the program install removes,
# both driver kits with the stand-in as the driver installer.
tree="$work/tree"
mkdir -p "$tree/QVTPrograms" "$tree/QVTFonts" "$tree/QVTCad" "$tree/QVTCorel" "$tree/QVTAi" \
         "$tree/QVTDriver/amd64" "$tree/MXDriver"
echo program >"$tree/QVTPrograms/Orvane.exe"
echo uninstall >"$tree/QVTPrograms/Uninstall.exe"
echo font >"$tree/QVTFonts/txt.shx"
for f in acad.dvb QVTSrtCad.dll acad_CH.lsp acad_EN.lsp; do echo "$f" >"$tree/QVTCad/$f"; done
echo macro >"$tree/QVTCorel/QVTCorel12.gms"
echo macro >"$tree/QVTCorel/QVTCorelX5.gms"
echo plugin >"$tree/QVTAi/QVTPlugin.aip"
echo co >"$tree/QVTDriver/amd64/co.dll"
cp "$installer" "$tree/QVTDriver/InstallDriver.exe"
for f in QvtWdf0.d QvtWdf1.d QvtWin0.d QvtWin1.d Qvtvcomdrv.inf Qvtvcomdrv.cat UsbDriver.exe \
         ftd2xx.dll qvt512m.005 qvt512u.005 qvt512m.006 qvt512u.006 qvt512m2.006 qvt512u2.006; do
  echo "$f" >"$tree/MXDriver/$f"
done

# media NAME [SETUPCFG-TEXT]: a setup medium: Setup.exe (the stub with the
# payload appended), the settings folders, and SetupCfg.ini when given.
media() {
  local m="$work/$1"
  mkdir -p "$m/QVTDoc" "$m/QVTLanguage" "$m/QVTRes" "$m/QVTCfg"
  echo manual >"$m/QVTDoc/manual.txt"
  echo texts >"$m/QVTLanguage/en.lng"
  echo ico >"$m/QVTRes/title.ico"
  printf '[BaseCfg]\r\nLanguage=1\r\n' >"$m/QVTCfg/SoftCfg.ini"
  [ $# -gt 1 ] && printf '%s' "$2" >"$m/SetupCfg.ini"
  "$root/tests/support/write_setup.py" "$m/Setup.exe" --stub "$stub" --tree "$tree" ||
    fail "packing $1"
}
media plain
media pro $'[SetupCfg]\r\nSoftVer=Orvane Pro\r\nLanguage=3\r\n'
media other $'[SetupCfg]\r\nSoftVer=\r\nLanguage=7\r\n'
# A Chinese product name in GBK, as SetupCfg.ini holds it; 淺 (9C 5C) has
# "\" as its trail byte. It names the shortcuts, which the prefix's code
# page 936 (scripts/wine-env) must turn into the real Chinese names.
chinese_product=淺藍激光
media chinese "$(printf '[SetupCfg]\r\nSoftVer=%s\r\nLanguage=1\r\n' "$chinese_product" | iconv -f UTF-8 -t GBK)"
mkdir -p "$work/apps-zh" "$work/apps-en" "$work/安装" "$work/untouched"

# scenario NAME MEDIUM ARGS...: one gui_driver scenario against MEDIUM's setup.
scenario() {
  local name=$1 medium=$2; shift 2
  echo "== $name $medium $*"
  "$wine_run" "$prefix" "$arch" "$driver" "$name" "$(winpath "$work/$medium/Setup.exe")" "$@" 2>&1 |
    tr -d '\r'
  [ "${PIPESTATUS[0]}" -eq 0 ] || { fail "scenario $name $medium $*"; return 1; }
}

scenario startup plain Orvane 0
scenario startup pro "Orvane Pro" 2
scenario startup other "" 3
scenario startup chinese "$chinese_product" 0
# A setup in a folder whose name code page 1252 cannot hold exactly (a
# fullwidth "\", "\" by best fit: another folder), run in that code page:
# it says so at start-up and ends, writing nothing.
media 'best＼fit' && listing=$(ls -AR "$work/best＼fit")
OVSETUP_WINE_LOCALE=C.UTF-8 scenario unnameable 'best＼fit'
[ "$(ls -AR "$work/best＼fit")" = "$listing" ] || fail "the setup in an unnameable folder wrote there"
scenario languages plain
scenario path-dialog plain 0
scenario path-dialog plain 2
scenario cancel plain "$(winpath "$work/untouched")"
scenario install plain "$(winpath "$work/apps-zh")" 0 Orvane
scenario install pro "$(winpath "$work/apps-en")" 2 "Orvane Pro"
scenario install chinese "$(winpath "$work/安装")" 0 "$chinese_product"
# Installs that fail in the extraction, and after it.
mkdir -p "$work/ai/Support Files/Contents/Windows" "$work/ai/Support Files/Required/Plug-ins"
install_fails() {
  scenario install-fails "$1" "$(winpath "$work/absent")" 0 "Can't copy files, error!" short
  scenario install-fails "$1" "$(winpath "$work/ai")" 3 "The setup file is damaged, please get a new copy!" short
}
install_fails plain
scenario about plain
scenario usb-driver plain 0
scenario usb-driver pro 2
scenario layout plain 0
scenario layout plain 2
scenario browse plain 'C:\ovsetup-browse' 'C:\windows'
# The plug-ins' hosts: CorelDRAW X5 (row 4) found through the registry, an
# AutoCAD folder typed; both removed afterwards.
mkdir -p "$work/corel-x5/Draw" "$work/corel-x5/Programs" "$work/acad" && echo acad >"$work/acad/acad.exe"
scenario path-ok plain corel 4 "$(winpath "$work/corel-x5")"
scenario path-ok plain acad "$(winpath "$work/acad")"
rm -rf "$work/corel-x5" "$work/acad"

# A DLL that leaves NAME.ran when loaded (stand_ins/planted_dll.c) lies beside
# setup.exe and ovsetup-headless.exe under each name they load after start
# (WINEDEBUG=+loaddll lists these; static imports load before any code of
# theirs runs), and Wine prefers such a copy to its own, as Windows does for a
# DLL that is not a known DLL. load_dll, which leaves the DLL search as it is,
# shows that a planted DLL runs in this prefix.
late_dlls="uxtheme msimg32"
planted_run() (
  . "$root/scripts/wine-env" "$prefix" "$arch"
  WINEDLLOVERRIDES+=";${late_dlls// /,}=n,b" "$WINE_LOADER" "$@" | tr -d '\r'
)
traces() { (cd "$work/$1" && ls -- *.ran 2>/dev/null | tr '\n' ' '); }
media planted && cp "$headless" "$work/planted/ovsetup-headless.exe"
mkdir -p "$work/control" "$work/apps-planted" "$work/apps-planted2" && cp "$load_dll" "$work/control/"
for name in $late_dlls; do cp "$planted" "$work/planted/$name.dll" && cp "$planted" "$work/control/$name.dll"; done
planted_run "$work/control/$(basename "$load_dll")" uxtheme.dll >/dev/null 2>&1
[ "$(traces control)" = "uxtheme.dll.ran " ] || fail "a planted DLL does not run in a program that leaves the search as it is"
planted_run "$driver" install "$(winpath "$work/planted/Setup.exe")" "$(winpath "$work/apps-planted")" 2 Orvane 2>&1 |
  grep -v '^PASS '
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "the program install through the windows, DLLs planted"
out=$(planted_run "$work/planted/ovsetup-headless.exe" install --setup "$(winpath "$work/planted/Setup.exe")" \
        --type 0 --language 2 --path "$(winpath "$work/apps-planted2")" 2>/dev/null)
[ "$out" = 'Install OK!' ] || fail "the headless program install, DLLs planted, printed '$out'"
[ -z "$(traces planted)" ] || fail "planted DLLs ran in the setup: $(traces planted)"

# Long jobs: program installs from a slow medium (read at 5 MB/s, past the
# page cache), one with a payload of 40 MB (the bar near its end once it has
# been read), one with 40 MB of manuals in QVTDoc (the bar moving while they
# copy); and the driver run with an installer that takes 14 s, longer than
# its 22 steps.
cp -r "$tree" "$work/tree-big" && head -c 40000000 /dev/zero >"$work/tree-big/QVTPrograms/Orvane.dat"
cp -r "$tree" "$work/tree-long" && cp "$long_installer" "$work/tree-long/QVTDriver/InstallDriver.exe"
tree=$work/tree-big media slowsrc/big
media slowsrc/docs && head -c 40000000 /dev/zero >"$work/slowsrc/docs/QVTDoc/video.mp4"
tree=$work/tree-long media longdrv
mkdir -p "$work/slow" "$work/apps-slow" "$work/apps-docs" "$work/signal-driver" "$work/marks"
/usr/bin/python3 "$root/tests/support/slow_medium.py" "$work/slowsrc" "$work/slow" 5000000 "$work/marks" &
fuse_pid=$!
for _ in $(seq 100); do [ -e "$work/slow/big/Setup.exe" ] && break; sleep 0.05; done
if [ -e "$work/slow/big/Setup.exe" ]; then
  scenario busy slow/big install "$(winpath "$work/apps-slow")" "$(winpath "$work/marks/big.read")" 950 0
  scenario busy slow/docs install "$(winpath "$work/apps-docs")" "$(winpath "$work/marks/docs.read")" 0 4
else
  fail "the slow medium cannot be mounted (fuse3, python3-fusepy and /dev/fuse)"
fi

# The driver run must leave the processor alone: the setup's processor time
# (read from /proc: Wine's GetProcessTimes on another process reports far too
# little) stays under a tenth of the run, times the slowdown under the
# emulator (4: under 40 %; a pause that spins takes a whole core).
wait_for() { for _ in $(seq $((600 * slowdown))); do [ -e "$1" ] && return 0; sleep 0.05; done; return 1; }
cpu_ms() { awk -v tick="$(getconf CLK_TCK)" '{ print int(($14 + $15) * 1000 / tick) }' "/proc/$1/stat"; }
# unix_pid MEDIUM: the Linux process running MEDIUM's Setup.exe. Wine shows
# a program's path as the process's first argument; under the emulator the
# emulator and the Wine loader come before it.
unix_pid() {
  for f in $(grep -lsa "$1.Setup\\.exe" /proc/[0-9]*/cmdline); do
    case "$(tr '\0' '\n' <"$f" | grep -v -m1 -e '/qemu-i386$' -e '/wine$')" in
      *Setup.exe) cut -d/ -f3 <<<"$f"; return;;
    esac
  done
}
signal=$work/signal-driver
scenario busy longdrv driver "$(winpath "$signal")" &
busy=$!
if wait_for "$signal/started" && setup_pid=$(unix_pid longdrv) && [ -n "$setup_pid" ]; then
  start=$(date +%s%N) cpu_start=$(cpu_ms "$setup_pid")
  wait_for "$signal/ended"
  run_ms=$((($(date +%s%N) - start) / 1000000)) cpu=$(($(cpu_ms "$setup_pid") - cpu_start))
  echo "driver run: $run_ms ms, the setup's processor time $cpu ms"
  [ $((cpu * 10)) -lt $((run_ms * slowdown)) ] || fail "the driver run used $cpu ms of processor time in $run_ms ms"
else
  fail "the driver run's setup process not found"
fi
touch "$signal/measured"
wait "$busy" || failures=$((failures + 1))  # reported by scenario

# shots MEDIUM NAME-WHAT-LANGUAGE...: screenshots while gui_driver holds each
# window up, from MEDIUM's setup.
shots() {
  local medium=$1; shift
  for shot in "$@"; do
    set -- $shot
    if ! shoot "$shots/$1.png" "$2" "$3" "$work/$medium/Setup.exe"; then
      fail "screenshot $1"
    elif [ "${OVSETUP_UPDATE_DOCS:-0}" = 1 ]; then
      mkdir -p "$docs" && cp "$shots/$1.png" "$docs/" && echo "copied $1.png into $docs"
    fi
  done
}
shots plain "welcome-zh welcome 0" "welcome-en welcome 2" "path-dialog path 0"
shots slow/big "runner-zh runner 0" "runner-en runner 2"

# At 150 % scaling every window again, laid out from its template font.
set_dpi 144
scenario layout plain 0
scenario layout plain 2
scenario usb-driver plain 0
install_fails plain
shots plain "welcome-zh-144dpi welcome 0" "welcome-en-144dpi welcome 2"
set_dpi 96

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "setup windows under Wine: all scenarios passed; screenshots in $shots"
