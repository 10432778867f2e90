#!/usr/bin/env bash
# Installs under Wine as on a Chinese Windows (code page 936, scripts/wine-env):
# a program install whose payload, settings folders, install folder and
# product name are Chinese lands under those names, read on the Linux side;
# and a CorelDRAW install finds CorelDRAW in the registry's 32-bit view only
# (on 64-bit Windows, under Wow6432Node), as a 32-bit setup does.
# With the shipped i686 build in a 64-bit prefix this is WoW64, as most
# customers run the setup; it is skipped where 32-bit programs cannot start.
#   tests/install_wine_test.sh WINE-RUN PREFIX ARCH HEADLESS
# (WINE-RUN PREFIX ARCH is the build's emulator.)
set -uo pipefail
wine_run=$1 prefix=$2 arch=$3 headless=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../scripts/wine-programs"
if ! can_start "$headless" "$arch"; then
  echo "skipped: $(program_kind "$headless" "$arch"), and this kernel cannot start 32-bit programs"
  exit 77
fi
work=$(mktemp -d)
installs="$prefix/drive_c/ovsetup-install"
# 淺 is GBK 9C 5C: its trail byte is "\". Stored paths may not hold such a
# name (ovpack refuses it); the product name and the settings folders may.
product="淺藍激光"
corel_key='HKLM\SOFTWARE\Corel\Setup\CorelDRAW Graphics Suite 14'
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
wine() { "$wine_run" "$prefix" "$arch" "$@"; }
gbk() { printf '%s' "$1" | iconv -f UTF-8 -t GBK; }
# The test's CorelDRAW keys: in a 64-bit prefix both views, the 32-bit one
# (SOFTWARE\Wow6432Node in the 64-bit view) last.
keys=("$corel_key") view=
[ "$arch" = win64 ] && keys+=("${corel_key/SOFTWARE/SOFTWARE\\Wow6432Node}") view=/reg:64
remove_keys() { for key in "${keys[@]}"; do wine reg delete "$key" /f $view >/dev/null 2>&1; done; }
cleanup() {
  remove_keys
  find "$prefix/drive_c/users" -name "$product.lnk" -delete 2>/dev/null
  rm -rf "$work" "$installs"
}
trap cleanup EXIT
remove_keys

[ "$(gbk 淺 | od -An -tx1 | tr -d ' ')" = 9c5c ] || fail "淺 is not 9C 5C in GBK"

# put DIR PATH=TEXT...: files holding those texts.
put() { local d=$1 f; shift; for f; do mkdir -p "$d/$(dirname "${f%%=*}")" && printf "${f#*=}" >"$d/${f%%=*}"; done; }
t="$work/tree" m="$work/media"
put "$t" QVTPrograms/Orvane.exe=program QVTPrograms/Uninstall.exe=uninstall QVTPrograms/语言/简体中文.ini=zh \
  QVTCorel/QVTCorelX34.gms=x4 QVTCorel/QVTCorelX5.gms=x5 QVTCad/acad.dvb=cad
put "$m" QVTDoc/说明书.txt=manual QVTLanguage/简体中文.lng=texts QVTRes/淺色主題.ini=light \
  'QVTCfg/SoftCfg.ini=[BaseCfg]\r\nLanguage=1\r\n'
{ printf '[SetupCfg]\r\nSoftVer='; gbk "$product"; printf '\r\nLanguage=1\r\n'; } >"$m/SetupCfg.ini"
"$here/support/write_setup.py" "$m/Setup.exe" --tree "$t" || fail "packing"
setup="Z:$(echo "$m/Setup.exe" | tr / '\\')"

# install WANT ARGS...: the headless install prints WANT.
install() {
  local want=$1 out
  shift
  out=$(wine "$headless" install --setup "$setup" "$@" 2>&1 | tr -d '\r')
  [ "$out" = "$want" ] || fail "install $*: printed '$out', expected '$want'"
}
# same FILE TEXT: FILE exists and holds TEXT.
same() { [ "$(cat "$1" 2>/dev/null)" = "$2" ] || fail "${1#"$prefix/"}: missing or not '$2'"; }

# The program install into a Chinese folder; what the setup writes, read
# back under the real Chinese names.
mkdir -p "$installs/安装"
install '安装成功!' --type 0 --language 0 --path 'C:\ovsetup-install\安装'
o="$installs/安装/Orvane"
for d in "$t/QVTPrograms" "$m/QVTDoc" "$m/QVTLanguage" "$m/QVTRes"; do
  diff -r "$d" "$o/${d##*/}" >/dev/null || fail "${d##*/} not installed as packed"
done
grep -q 'Language=1' "$o/QVTCfg/SoftCfg.ini" || fail "language not written into SoftCfg.ini"
users="$prefix/drive_c/users/$(ls "$prefix/drive_c/users" | grep -vx Public | head -1)"
for link in "$users/Desktop/$product.lnk" \
            "$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Orvane/$product.lnk"; do
  target=$(lnkinfo -c windows-936 "$link" 2>/dev/null | sed -n 's/^\tLocal path\t*: //p')
  [ "$target" = 'C:\ovsetup-install\安装\Orvane\QVTPrograms\Orvane.exe' ] ||
    fail "${link#"$users/"}: target '$target'"
done

# CorelDRAW X4 (row 3) found through its Destination, a Chinese folder.
corel='C:\ovsetup-install\科雷尔'
mkdir -p "$installs/科雷尔/Programs" "$installs/科雷尔/Draw"
if [ "$arch" = win64 ]; then
  # 64-bit Windows: a 32-bit setup reads the 32-bit view; a key in the 64-bit
  # view alone is not its CorelDRAW.
  wine reg add "$corel_key" /v Destination /d "$corel" /f $view >/dev/null 2>&1 || fail "cannot write the 64-bit view"
  install "Can't find Coreldraw!" --type 1 --language 2 --auto --corel-version 3
fi
wine reg add "${keys[-1]}" /v Destination /d "$corel" /f $view >/dev/null 2>&1 || fail "cannot write the registry"
install 'Install OK!' --type 1 --language 2 --auto --corel-version 3
same "$installs/科雷尔/Draw/GMS/QVTCorel.gms" x4
same "$installs/科雷尔/Programs/QVTRes/淺色主題.ini" light
[ ! -e "$installs/科雷尔/Programs/QVTCorel" ] || fail "QVTCorel left in CorelDRAW's Programs folder"

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "installs under Wine in code page 936 ($(program_kind "$headless" "$arch")): all checks passed"
