#!/usr/bin/env bash
# Signed setups under Wine: the real setup.exe as stub, signed by osslsigncode
# once and nested, installs the program exactly as the unsigned setup does;
# one built by ovpack carries an integrity record, and damaged or cut short
# it installs nothing and says so.
#   tests/signing_wine_test.sh WINE-RUN PREFIX ARCH HEADLESS STUB OVPACK
# (WINE-RUN PREFIX ARCH is the build's emulator; STUB the build's setup.exe,
# OVPACK the build's ovpack.exe.)
set -uo pipefail
wine_run=$1 prefix=$2 arch=$3 headless=$4 stub=$5 ovpack=$6
work=$(mktemp -d)
installs="$prefix/drive_c/ovsetup-signing"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
wine() { "$wine_run" "$prefix" "$arch" "$@"; }
cleanup() {
  rm -rf "$work" "$installs"
  find "$prefix/drive_c/users" -name 'Orvane Signing Test.lnk' -delete 2>/dev/null
}
trap cleanup EXIT
write_setup=$(cd "$(dirname "$0")" && pwd)/support/write_setup.py
cd "$work" || exit 1

openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=ovsetup-test -keyout key.pem -out cert.pem \
  -days 2 2>/dev/null || { echo "cannot make a test certificate"; exit 1; }
sign() { osslsigncode sign -certs cert.pem -key key.pem -h sha256 "$@" >sign.log 2>&1; }

mkdir -p tree/QVTPrograms/Language tree/QVTDriver/amd64 media/QVTCfg
printf 'main' >tree/QVTPrograms/Orvane.exe
printf 'uninstall' >tree/QVTPrograms/Uninstall.exe
head -c 600000 /dev/urandom >tree/QVTPrograms/big.dat
printf 'en' >tree/QVTPrograms/Language/en.ini
printf 'inf' >tree/QVTDriver/usb.inf
printf '64' >tree/QVTDriver/amd64/co.dll
printf '[SetupCfg]\r\nSoftVer=Orvane Signing Test\r\nLanguage=1\r\n' >media/SetupCfg.ini
printf '[BaseCfg]\r\nLanguage=1\r\n' >media/QVTCfg/SoftCfg.ini

# The setup as ovpack builds it (the Windows build has no native packer):
# files of a folder before its subfolders, zero padding to a length that is
# a multiple of 8 between the stub and the first entry.
"$write_setup" media/Unsigned.exe --stub "$stub" --pad8 --tree tree
sign -in media/Unsigned.exe -out media/Signed.exe || fail "osslsigncode sign: $(tail -3 sign.log)"
sign -nest -in media/Signed.exe -out media/Nested.exe || fail "osslsigncode sign -nest: $(tail -3 sign.log)"
osslsigncode verify -CAfile cert.pem -in media/Nested.exe >verify.log 2>&1 &&
  grep -q 'Number of verified signatures: 2' verify.log || fail "nested signatures: $(tail -3 verify.log)"

for setup in Unsigned Signed Nested; do
  mkdir -p "$installs/$setup"
  out=$(wine "$headless" install --setup "Z:$(echo "$work/media/$setup.exe" | tr / '\\')" --type 0 \
          --language 2 --path "C:\\ovsetup-signing\\$setup" 2>&1 | tr -d '\r')
  [ "$out" = "Install OK!" ] || fail "$setup: install printed '$out'"
done
for folder in QVTPrograms QVTDriver; do
  diff -r "tree/$folder" "$installs/Unsigned/Orvane/$folder" >/dev/null || fail "Unsigned: $folder differs from the tree"
done
for setup in Signed Nested; do
  diff -r "$installs/Unsigned" "$installs/$setup" >/dev/null || fail "$setup: installs differently from Unsigned"
done

# ovpack under Wine on the real stub: signed, its setup installs; with a
# flipped payload byte or cut short, it installs nothing and says so.
win() { echo "Z:$(echo "$work/$1" | tr / '\\')"; }
wine "$ovpack" build --stub "Z:$(echo "$stub" | tr / '\\')" --from "$(win tree)" -o "$(win media/Recorded.exe)" \
  >pack.log 2>&1 || fail "ovpack build under Wine: $(cat pack.log)"
sign -in media/Recorded.exe -out media/RecordedSigned.exe || fail "osslsigncode sign: $(tail -3 sign.log)"
python3 -c 'd = bytearray(open("media/RecordedSigned.exe", "rb").read()); d[len(d) // 2] ^= 1
open("media/Flipped.exe", "wb").write(d); open("media/Cut.exe", "wb").write(d[:-1000])'
# stderr tells support why: the cause and the Windows error.
for row in "RecordedSigned:2:Install OK!:" "Flipped:0:安装文件已损坏,请重新获取安装程序!:does not match the hash" \
           "Cut:2:The setup file is damaged, please get a new copy!:cut short"; do
  setup=${row%%:*} rest=${row#*:}
  language=${rest%%:*} rest=${rest#*:}
  want=${rest%:*} cause=${rest##*:}
  mkdir -p "$installs/$setup"
  out=$(wine "$headless" install --setup "$(win "media/$setup.exe")" --type 0 --language "$language" \
          --path "C:\\ovsetup-signing\\$setup" 2>err.log | tr -d '\r')
  [ "$out" = "$want" ] || fail "$setup: install printed '$out'"
  grep -q "extraction stopped: .*$cause.*; Windows error 0" err.log || [ -z "$cause" ] ||
    fail "$setup: stderr: $(cat err.log)"
done
diff -r "$installs/Unsigned" "$installs/RecordedSigned" >/dev/null || fail "RecordedSigned installs differently"
for setup in Flipped Cut; do
  [ -z "$(find "$installs/$setup" -type f)" ] || fail "$setup: installed $(find "$installs/$setup" -type f)"
done

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "signed setups install under Wine: all checks passed"
