#!/usr/bin/env bash
# ovsetup-headless install and drivers end to end: a setup packed by ovpack
# with SetupCfg.ini and the settings folders beside it, the Linux stand-in's
# folders from OVSETUP_* variables, shortcuts read back by lnkinfo.
#   tests/headless_install_test.sh OVSETUP_HEADLESS OVPACK
set -uo pipefail
headless=$1 ovpack=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# run WANT-EXIT WANT-STDOUT ARGS... : run the headless tool and compare.
run() {
  local want_exit=$1 want_out=$2; shift 2
  local out code
  out=$("$headless" "$@" 2>"$work/err")
  code=$?
  [ "$code" -eq "$want_exit" ] || fail "$*: exit $code, expected $want_exit ($(cat "$work/err"))"
  [ "$out" = "$want_out" ] || fail "$*: printed '$out', expected '$want_out'"
}

t="$work/tree"
mkdir -p "$t/QVTPrograms" "$t/QVTFonts" "$t/QVTCad" "$t/QVTCorel" "$t/QVTAi" \
         "$t/QVTDriver/amd64" "$t/MXDriver"
echo program >"$t/QVTPrograms/Orvane.exe"
echo uninstall >"$t/QVTPrograms/Uninstall.exe"
echo font >"$t/QVTFonts/txt.shx"
echo cad >"$t/QVTCad/acad.dvb"
echo macro >"$t/QVTCorel/QVTCorel12.gms"
echo plugin >"$t/QVTAi/QVTPlugin.aip"
echo usb >"$t/QVTDriver/usb.inf"
echo co >"$t/QVTDriver/amd64/co.dll"
echo 'exit 0' >"$t/QVTDriver/InstallDriver.exe"
for f in QvtWdf0.d QvtWdf1.d QvtWin0.d QvtWin1.d Qvtvcomdrv.inf Qvtvcomdrv.cat UsbDriver.exe \
         ftd2xx.dll qvt512m.005 qvt512u.005 qvt512m.006 qvt512u.006 qvt512m2.006 qvt512u2.006; do
  echo "$f" >"$t/MXDriver/$f"
done
m="$work/media"
mkdir -p "$m/QVTDoc" "$m/QVTLanguage" "$m/QVTRes" "$m/QVTCfg"
head -c 2000 /dev/urandom >"$work/stub.exe"
"$ovpack" build --stub "$work/stub.exe" --from "$t" -o "$m/Setup.exe" || fail "ovpack build"
printf '[SetupCfg]\r\nSoftVer=Orvane Pro\r\nLanguage=1\r\n' >"$m/SetupCfg.ini"
printf '[BaseCfg]\r\nLanguage=1\r\n' >"$m/QVTCfg/SoftCfg.ini"
echo ico >"$m/QVTRes/title.ico"

export OVSETUP_DESKTOP="$work/desktop" OVSETUP_PROGRAMS="$work/programs" OVSETUP_WINDIR="$work/windows"
mkdir -p "$OVSETUP_DESKTOP" "$OVSETUP_PROGRAMS" "$OVSETUP_WINDIR" "$work/apps"

# The program install, in Chinese: the success text, the tree, the shortcuts.
run 0 '安装成功!' install --setup "$m/Setup.exe" --type 0 --language 0 --path "$work/apps"
[ -f "$work/apps/Orvane/QVTPrograms/Orvane.exe" ] || fail "program not installed"
[ ! -e "$work/apps/Orvane/QVTCad" ] || fail "QVTCad left in the program folder"
grep -q 'Language=1' "$work/apps/Orvane/QVTCfg/SoftCfg.ini" || fail "language not written"
lnkinfo "$work/desktop/Orvane Pro.lnk" >"$work/lnk" 2>&1 || fail "desktop shortcut unreadable"
grep -qF 'apps\Orvane\QVTPrograms\Orvane.exe' "$work/lnk" || fail "desktop shortcut target: $(cat "$work/lnk")"
[ -f "$work/programs/Orvane/Uninstall.lnk" ] || fail "uninstall shortcut"

# The product name names the shortcuts only where it is one file name;
# otherwise they are named Orvane. No shortcut lands anywhere else.
while IFS='|' read -r softver want; do
  printf '[SetupCfg]\r\nSoftVer=%s\r\nLanguage=3\r\n' "$softver" >"$m/SetupCfg.ini"
  rm -rf "$work/user" && mkdir -p "$work/user/desktop" "$work/user/programs"
  OVSETUP_DESKTOP="$work/user/desktop" OVSETUP_PROGRAMS="$work/user/programs" \
    run 0 'Install OK!' install --setup "$m/Setup.exe" --type 0 --language 2 --path "$work/apps"
  got=$(cd "$work/user" && find . -name '*.lnk' | sort | tr '\n' ' ')
  [ "$got" = "./desktop/$want ./programs/Orvane/$want ./programs/Orvane/Uninstall.lnk " ] ||
    fail "SoftVer '$softver': shortcuts $got"
done <<NAMES
Orvane Pro|Orvane Pro.lnk
..\..\evil|Orvane.lnk
a/b|Orvane.lnk
a*b?|Orvane.lnk
CON|Orvane.lnk
nul.txt|Orvane.lnk
x:y|Orvane.lnk
a$(printf '\t')b|Orvane.lnk
|Orvane.lnk
NAMES
[ -z "$(find "$work" -name '*.lnk' -not -path "$work/desktop/*" -not -path "$work/programs/*" -not -path "$work/user/*")" ] ||
  fail "a shortcut outside the shell folders"
printf '[SetupCfg]\r\nSoftVer=Orvane Pro\r\nLanguage=1\r\n' >"$m/SetupCfg.ini"

# A plug-in folder that is a link to someone's documents (a junction laid in
# C:\ beforehand): the install removes the link and leaves the documents.
mkdir -p "$work/documents"
for d in a b c; do echo "$d" >"$work/documents/$d.doc"; done
rm -rf "$work/apps/Orvane/QVTCad" && ln -s "$work/documents" "$work/apps/Orvane/QVTCad"
run 0 'Install OK!' install --setup "$m/Setup.exe" --type 0 --language 2 --path "$work/apps"
[ ! -e "$work/apps/Orvane/QVTCad" ] && [ ! -L "$work/apps/Orvane/QVTCad" ] || fail "QVTCad link left"
for d in a b c; do
  [ "$(cat "$work/documents/$d.doc" 2>/dev/null)" = "$d" ] || fail "document $d.doc emptied through the link"
done

# Failures print their one text and exit 1.
run 1 "Can't copy files, error!" install --setup "$m/Setup.exe" --type 0 --language 2 --path "$work/absent"
run 1 'error! please Close the Orvane!' install --setup "$m/Setup.exe" --type 0 --language 1 --path "$work/absent"
run 1 'The path is error!' install --setup "$m/Setup.exe" --type 3 --language -1 --path "$work/apps"
run 1 "Can't find Coreldraw!" install --setup "$m/Setup.exe" --type 1 --language 2 --auto --corel-version 1
run 0 'Install OK!' install --setup "$m/Setup.exe" --type 9 --language 3
run 2 '' install --setup "$m/Setup.exe" --type x --language 0
run 2 '' install --type 0 --language 0

# The driver run: caption by language, the bar, the English outcome.
mkdir -p "$work/Windows/system32"
export OVSETUP_SYSDIR="$work/Windows/system32" OVSETUP_WINVER=6.1 OVSETUP_WOW64=1
run 0 "$(printf 'Installing the driver...\nprogress 100\nInstall OK!')" drivers --setup "$m/Setup.exe" --language 2
run 0 "$(printf '安装驱动...\nprogress 100\nInstall OK!')" drivers --setup "$m/Setup.exe" --language 0
[ "$(ls "$work/Windows/system32/MXDriver" | sort | tr '\n' ' ')" = "QvtWdf0.d QvtWdf1.d QvtWin0.d QvtWin1.d " ] ||
  fail "kit files left: $(ls "$work/Windows/system32/MXDriver")"
[ -f "$work/Windows/system32/WdfCoInstaller01011.dll" ] || fail "co-installer not placed"
rm "$work/Windows/system32/QVTDriver/InstallDriver.exe"
"$ovpack" build --stub "$work/stub.exe" --from "$t" -o "$m/Setup.exe" >/dev/null
mv "$t/QVTDriver/InstallDriver.exe" "$work/installer.keep"
"$ovpack" build --stub "$work/stub.exe" --from "$t" -o "$m/NoInstaller.exe" || fail "ovpack build"
run 1 "$(printf 'Installing the driver...\nerror!')" drivers --setup "$m/NoInstaller.exe" --language 3
unset OVSETUP_SYSDIR
run 1 "$(printf 'Installing the driver...\nerror!')" drivers --setup "$m/Setup.exe" --language 1

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "headless install and drivers: all checks passed"
