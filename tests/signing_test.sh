#!/usr/bin/env bash
# Signed setups through ovpack, signed and checked by osslsigncode with a
# throwaway self-signed certificate: PE32 and PE32+ stubs, once and nested;
# the payload covered by the signature; a signed stub refused; a damaged
# security directory read as unsigned.
#   tests/signing_test.sh OVPACK
set -uo pipefail
ovpack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=ovsetup-test -keyout key.pem -out cert.pem \
  -days 2 2>/dev/null || { echo "cannot make a test certificate"; exit 1; }
sign() { osslsigncode sign -certs cert.pem -key key.pem -h sha256 "$@" >sign.log 2>&1; }  # [-nest] -in A -out B
signature_ok() { osslsigncode verify -CAfile cert.pem -in "$1" >osv.log 2>&1; }

# Two small but complete images, the stubs: one section holding a "ret".
python3 - stub32.exe stub64.exe <<'PY'
import struct, sys
def stub(plus):
    optional = 240 if plus else 224
    f = bytearray(1024)
    f[0:2] = b"MZ"
    struct.pack_into("<I", f, 0x3C, 0x40)                                   # e_lfanew
    struct.pack_into("<4sHH12xHH", f, 0x40, b"PE\0\0", 0x8664 if plus else 0x14C, 1, optional, 0x102)
    o = 0x58                                                                # optional header
    struct.pack_into("<H", f, o, 0x20B if plus else 0x10B)                  # Magic
    struct.pack_into("<I", f, o + 16, 0x1000)                               # AddressOfEntryPoint
    struct.pack_into("<Q" if plus else "<I", f, o + (24 if plus else 28), 0x400000)  # ImageBase
    struct.pack_into("<IIH", f, o + 32, 0x1000, 0x200, 4)                   # alignments, OS version
    struct.pack_into("<H", f, o + 48, 4)                                    # subsystem version
    struct.pack_into("<IIIH", f, o + 56, 0x2000, 0x200, 0, 3)               # image/header sizes, console
    struct.pack_into("<I", f, o + (108 if plus else 92), 16)                # NumberOfRvaAndSizes
    struct.pack_into("<8sIIII12xI", f, o + optional, b".text", 0x200, 0x1000, 0x200, 0x200, 0x60000020)
    f[0x200] = 0xC3
    return f
open(sys.argv[1], "wb").write(stub(False))
open(sys.argv[2], "wb").write(stub(True))
PY

mkdir -p tree/QVTPrograms tree/QVTDriver/amd64 tree/MXDriver
printf 'main' >tree/QVTPrograms/Orvane.exe
head -c 600002 /dev/urandom >tree/QVTPrograms/big.dat  # unpadded, the setups would end 1 byte past a multiple of 8
printf 'inf' >tree/QVTDriver/usb.inf
printf '64' >tree/QVTDriver/amd64/co.dll
printf 'mx' >tree/MXDriver/mdmcpq.inf

# same_reading UNSIGNED SIGNED: SIGNED lists as UNSIGNED does, and both
# extractions give the tree's files byte for byte.
same_reading() {
  "$ovpack" list "$1" >list.want && "$ovpack" list "$2" >list.got || fail "$2: list fails"
  cmp -s list.want list.got || fail "$2: lists differently"
  rm -rf all drivers
  "$ovpack" extract "$2" all && diff -r --exclude=MXDriver tree all >/dev/null ||
    fail "$2: the full extraction differs from the tree"
  "$ovpack" extract --drivers "$2" drivers && diff -r --exclude=QVTPrograms tree drivers >/dev/null ||
    fail "$2: the driver extraction differs from the tree"
}

for stub in stub32 stub64; do
  "$ovpack" build --stub $stub.exe --from tree -o $stub-setup.exe || fail "$stub: build"
  "$ovpack" build --stub $stub.exe --from tree -o again.exe && cmp -s $stub-setup.exe again.exe ||
    fail "$stub: two builds differ"
  size=$(stat -c %s $stub-setup.exe)
  [ $((size % 8)) -eq 0 ] || fail "$stub: setup of $size bytes is no multiple of 8"
  "$ovpack" verify $stub-setup.exe | grep -qx "$stub-setup.exe: not signed" || fail "$stub: unsigned not reported"

  sign -in $stub-setup.exe -out $stub-signed.exe || fail "$stub: osslsigncode sign"
  signature_ok $stub-signed.exe || fail "$stub: signature does not verify: $(tail -3 osv.log)"
  table=$(($(stat -c %s $stub-signed.exe) - size))
  "$ovpack" verify $stub-signed.exe >out ||
    fail "$stub: verify of the signed setup fails"
  grep -qx "$stub-signed.exe: signed, certificate table of $table bytes at offset $size" out ||
    fail "$stub: verify says: $(cat out)"
  same_reading $stub-setup.exe $stub-signed.exe

  sign -nest -in $stub-signed.exe -out $stub-nested.exe || fail "$stub: osslsigncode sign -nest"
  signature_ok $stub-nested.exe && grep -q 'Number of verified signatures: 2' osv.log ||
    fail "$stub: nested signatures do not verify: $(tail -3 osv.log)"
  same_reading $stub-setup.exe $stub-nested.exe
done

# The signature covers the payload: one flipped body byte breaks it.
python3 - stub32-signed.exe flipped.exe <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
nt = struct.unpack_from("<I", data, 0x3C)[0]
table_at = struct.unpack_from("<I", data, nt + 24 + 96 + 32)[0]
n = struct.unpack_from("<I", data, table_at - 4)[0]
first_body = struct.unpack_from("<I", data, table_at - 4 - 4 * n)[0] + 400
data[first_body] ^= 1
open(sys.argv[2], "wb").write(data)
PY
signature_ok stub32-signed.exe || fail "the untouched signed setup no longer verifies"
! signature_ok flipped.exe || fail "a flipped payload byte still verifies"

# ... and so does the integrity record ovpack writes after a PE stub, which
# the setup checks itself: a damaged, cut-short or grown setup is refused by
# verify, list and extract in the same words, and extract writes nothing.
"$ovpack" verify stub32-signed.exe | grep -qx "stub32-signed.exe: integrity: ok" || fail "record not reported"
python3 - stub32-setup.exe <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
tag = bytearray(data)
tag[1025] ^= 1                  # the record follows the 1024-byte stub
for name, damaged in (("tag", tag), ("cut", data[:-1]), ("grown", data + b"x")):
    open(name + ".exe", "wb").write(damaged)
PY
# refused_as_damaged NAME:WHY... : verify, list and extract refuse NAME.exe
# as damaged for WHY, and extract nothing.
refused_as_damaged() {
  local row setup why command
  for row in "$@"; do
    setup=${row%%:*}.exe why=${row#*:}
    for command in verify list extract; do
      rm -rf extracted
      "$ovpack" $command $setup $([ $command = extract ] && echo extracted) >/dev/null 2>err && fail "$setup: $command passes"
      grep -qF "ovpack: $setup: integrity: damaged — $why" err || fail "$setup: $command says $(cat err)"
    done
    [ -z "$(ls -A extracted)" ] || fail "$setup: extracted $(ls -A extracted)"
  done
}
refused_as_damaged "flipped:its payload does not match the hash" "tag:its integrity record is damaged" \
  "cut:it is cut short or has grown" "grown:it is cut short or has grown"

# A signed stub is refused, and no setup is left behind.
sign -in stub32.exe -out signed-stub.exe || fail "sign the stub"
"$ovpack" build --stub signed-stub.exe --from tree -o refused.exe 2>err && fail "a signed stub was taken"
grep -qF "already has a certificate table; sign the setup after building it" err ||
  fail "signed stub refusal says: $(cat err)"
[ ! -e refused.exe ] || fail "output left behind for a signed stub"

# A security directory that no longer ends at the end of the file reads as
# unsigned: the payload is then looked for at the end of the table, in vain.
python3 - stub64-signed.exe damaged.exe <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
entry = struct.unpack_from("<I", data, 0x3C)[0] + 24 + 112 + 36   # PE32+ entry 4, Size
struct.pack_into("<I", data, entry, struct.unpack_from("<I", data, entry)[0] - 8)
open(sys.argv[2], "wb").write(data)
PY
"$ovpack" verify damaged.exe >out 2>/dev/null && fail "a damaged directory verifies"
grep -qx "damaged.exe: not signed" out || fail "damaged directory: verify says $(cat out)"

# A compressed setup (--compress): the same bytes on every build, both sizes
# listed, both extractions whole, signed as well; damage to a body, its
# length or its compression record refused like any damage.
cp -r tree ctree && seq 1 100000 >ctree/QVTPrograms/counts.txt
head -c 1200000 /dev/urandom | base64 >ctree/QVTPrograms/text.b64  # stored in 3 pieces, read ahead
for out in c.exe c2.exe; do
  "$ovpack" build --compress --stub stub32.exe --from ctree -o $out 2>/dev/null || fail "build --compress"
done
cmp -s c.exe c2.exe || fail "two compressed builds differ"
"$ovpack" list c.exe >list 2>&1 || fail "list of a compressed setup: $(cat list)"
grep -Eq '^ +[0-9]{5} +588895  QVTPrograms\\counts.txt$' list || fail "counts.txt not listed compressed: $(cat list)"
grep -Eq '^ +600002 +600002  QVTPrograms\\big.dat$' list || fail "big.dat not listed stored: $(cat list)"
"$ovpack" verify c.exe 2>/dev/null | grep -qx "c.exe: integrity: ok" || fail "compressed setup does not verify"
sign -in c.exe -out c-signed.exe || fail "sign the compressed setup"
for setup in c.exe c-signed.exe; do
  rm -rf all drivers
  "$ovpack" extract $setup all && diff -r --exclude=MXDriver ctree all >/dev/null ||
    fail "$setup: the full extraction differs from the tree"
  "$ovpack" extract --drivers $setup drivers && diff -r --exclude=QVTPrograms ctree drivers >/dev/null ||
    fail "$setup: the driver extraction differs from the tree"
done
python3 - c.exe <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
n = struct.unpack_from("<I", data, len(data) - 4)[0]
offsets = struct.unpack_from("<%dI" % n, data, len(data) - 4 - 4 * n)
body = bytearray(data); body[offsets[-2] + 400 + 100] ^= 1   # text.b64, the last entry
record = bytearray(data); record[1024 + 28 + 2] ^= 1           # after the integrity record
for name, damaged in (("cbody", body), ("ccut", data[:-1]), ("crecord", record)):
    open(name + ".exe", "wb").write(damaged)
PY
refused_as_damaged "cbody:its payload does not match the hash" "ccut:it is cut short or has grown" \
  "crecord:its integrity record is damaged"
head -c 3000 /dev/urandom >noimage.exe
"$ovpack" build --compress --stub noimage.exe --from ctree -o refused.exe 2>err && fail "--compress with a stub that is no image"
grep -qF "noimage.exe: the stub's image does not end the file, so a setup built from it has no place for the records of a compressed payload; build without --compress" err ||
  fail "--compress refusal says: $(cat err)"
[ ! -e refused.exe ] || fail "output left behind for --compress without a record"

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "signed setups: all checks passed"
