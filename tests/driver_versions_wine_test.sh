#!/usr/bin/env bash
# The driver run under Wine for each Windows version the prefix can report:
# which serial-port kit files land in the prefix's Windows folder. A 64-bit
# prefix is 64-bit Windows; the shipped i686 build there runs under WoW64,
# and its writes to system32 land in syswow64. Skipped where 32-bit programs
# cannot start.
#   tests/driver_versions_wine_test.sh WINE-RUN PREFIX ARCH HEADLESS INSTALLER
# (WINE-RUN PREFIX ARCH is the build's emulator; INSTALLER a stand-in exe.)
set -uo pipefail
wine_run=$1 prefix=$2 arch=$3 headless=$4 installer=$5
. "$(dirname "$0")/../scripts/wine-programs"
if ! can_start "$headless" "$arch"; then
  echo "skipped: $(program_kind "$headless" "$arch"), and this kernel cannot start 32-bit programs"
  exit 77
fi
sys=$(system_folder "$headless" "$arch")
work=$(mktemp -d)
windows="$prefix/drive_c/windows"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
wine() { "$wine_run" "$prefix" "$arch" "$@"; }
cleanup() {
  wine reg delete 'HKCU\Software\Wine\AppDefaults\ovsetup-headless.exe' /f >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

# A setup whose payload holds the two driver kits (written in the payload
# format directly: the Windows build has no native packer).
kit=()
for name in QvtWdf0.d QvtWdf1.d QvtWin0.d QvtWin1.d Qvtvcomdrv.inf Qvtvcomdrv.cat UsbDriver.exe \
            ftd2xx.dll qvt512m.005 qvt512u.005 qvt512m.006 qvt512u.006 qvt512m2.006 qvt512u2.006; do
  kit+=("MXDriver\\$name=$name")
done
"$(dirname "$0")/support/write_setup.py" "$work/Setup.exe" "${kit[@]}" \
  "QVTDriver\\InstallDriver.exe=@$installer"
setup="Z:$(echo "$work/Setup.exe" | tr / '\\')"

# Files a run may place (relative to the Windows folder), and what the
# prefix already holds: rows that never overwrite leave those alone.
# Under WoW64 Wine redirects system32\DriverStore as well, which Windows
# exempts (Wine's exemption list spells it "driversstore").
store="$sys/DriverStore/FileRepository/mdmcpq.inf_amd64_neutral_0123456789"
system_pair=(inf/mdmcpq.inf inf/usbser.sys "$sys/drivers/usbser.sys" "$store/mdmcpq.inf" "$store/usbser.sys")
declare -A preexisting
for f in "${system_pair[@]}"; do [ -e "$windows/$f" ] && preexisting[$f]=1; done

bits=64; [ "$arch" = win32 ] && bits=32

# run_as NAME REPORTED: run the driver install with the prefix set to NAME;
# the setup must see version REPORTED (its manifest names Windows up to 11,
# so 8.1 and 10 report their true numbers).
run_as() {
  wine reg add 'HKCU\Software\Wine\AppDefaults\ovsetup-headless.exe' /v Version /d "$1" /f >/dev/null 2>&1 ||
    fail "$1: cannot set the version"
  local seen
  seen=$(wine "$headless" windows 2>&1 | tr -d '\r')
  [ "$seen" = "version $2, $bits-bit" ] || fail "$1: the setup sees '$seen', expected version $2, $bits-bit"
  for f in "${system_pair[@]}" inf/Qvtvcomdrv.inf; do
    [ -n "${preexisting[$f]:-}" ] || rm -f "$windows/$f"
  done
  # As on Windows (a new 64-bit prefix may lack syswow64\drivers; the store
  # folder is the system's, which the placement only fills).
  mkdir -p "$windows/$store" "$windows/$sys/drivers"
  printf 'sto: C:\\Windows\\System32\\DriverStore\\FileRepository\\mdmcpq.inf_amd64_neutral_0123456789\\mdmcpq.inf\r\n' \
    >"$windows/inf/setupapi.dev.log"
  local out
  out=$(wine "$headless" drivers --setup "$setup" --language 2 2>&1 | tr -d '\r')
  [ "$(tail -1 <<<"$out")" = "Install OK!" ] || fail "$1: run ended with '$out'"
  [ "$(cat "$windows/inf/Qvtvcomdrv.inf" 2>/dev/null)" = Qvtvcomdrv.inf ] || fail "$1: inf\\Qvtvcomdrv.inf not placed"
}

# expect_pair NAME CONTENT-OR-EMPTY: each missing system file got CONTENT
# (or, when empty, stayed missing).
expect_pair() {
  local name=$1 m=$2 u=$3
  local want
  for f in "${system_pair[@]}"; do
    [ -n "${preexisting[$f]:-}" ] && continue
    case "$f" in *mdmcpq.inf) want=$m ;; *) want=$u ;; esac
    if [ -z "$want" ]; then
      [ ! -e "$windows/$f" ] || fail "$name: $f placed"
    else
      [ "$(cat "$windows/$f" 2>/dev/null)" = "$want" ] || fail "$name: $f is not $want"
    fi
  done
}

m7=qvt512m2.006 u7=qvt512u2.006
[ "$bits" = 32 ] && m7=qvt512m.006 u7=qvt512u.006
run_as win7 6.1;   expect_pair win7 "$m7" "$u7"
run_as vista 6.0;  expect_pair vista "" ""
run_as win8 6.2;   expect_pair win8 "" ""
run_as win81 6.3;  expect_pair win81 "" ""
run_as win10 10.0; expect_pair win10 "" ""
if [ "$arch" = win32 ]; then
  run_as winxp 5.1
  for f in inf/mdmcpq.inf inf/usbser.sys "$sys/drivers/usbser.sys"; do
    [ -n "${preexisting[$f]:-}" ] && continue
    case "$f" in *mdmcpq.inf) w=qvt512m.005 ;; *) w=qvt512u.005 ;; esac
    [ "$(cat "$windows/$f" 2>/dev/null)" = "$w" ] || fail "winxp: $f is not $w"
  done
fi
[ "$(cat "$windows/$sys/WdfCoInstaller01011.dll" 2>/dev/null)" = "QvtWdf$([ "$bits" = 64 ] && echo 1 || echo 0).d" ] ||
  fail "$sys\\WdfCoInstaller01011.dll missing or of the wrong bitness"
if runs_under_wow64 "$headless" "$arch"; then
  [ ! -e "$windows/system32/WdfCoInstaller01011.dll" ] || fail "system32 written past the redirection"
fi

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "driver placement by Windows version under Wine ($(program_kind "$headless" "$arch")): all checks passed"
