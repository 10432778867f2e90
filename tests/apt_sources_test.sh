#!/usr/bin/env bash
# Where scripts/deps takes the backports suite from: the machine's own
# Debian sources, deb822 and one-line, read from folders made here.
#   tests/apt_sources_test.sh SOURCE-DIR
set -uo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# case NAME WANT-ARCHIVE WANT-BACKPORTS FILE=TEXT...: archive_of bookworm
# prints WANT-ARCHIVE ("-": fails), has_suite bookworm-backports answers
# WANT-BACKPORTS (yes/no), with the FILEs below etc/apt.
case_() {
  local name=$1 want=$2 backports=$3 got has; shift 3
  rm -rf "$work/etc" && mkdir -p "$work/etc/sources.list.d"
  for f in "$@"; do printf '%b' "${f#*=}" >"$work/etc/${f%%=*}"; done
  got=$(OVSETUP_APT_ETC=$work/etc bash -c '. "$1/scripts/apt-sources"; archive_of bookworm || echo -' _ "$root")
  has=$(OVSETUP_APT_ETC=$work/etc bash -c '. "$1/scripts/apt-sources"; has_suite bookworm-backports && echo yes || echo no' _ "$root")
  if [ "$got" = "$want" ] && [ "$has" = "$backports" ]; then echo "PASS $name"
  else echo "FAIL $name: '$got' / $has, expected '$want' / $backports"; failures=$((failures + 1)); fi
}
deb822='Types: deb\nURIs: http://mirror.test/debian\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /k.gpg\n'
security='Types: deb\nURIs: http://mirror.test/debian-security\nSuites: bookworm-security\nComponents: main\n'
case_ "deb822 after another stanza" "http://mirror.test/debian /k.gpg" no \
  "sources.list.d/debian.sources=# comment\n$security\n$deb822"
case_ "deb822 stanza switched off" - no \
  "sources.list.d/debian.sources=${deb822}Enabled: no\n"
case_ "deb-src only" - no "sources.list.d/src.sources=${deb822/Types: deb/Types: deb-src}"
case_ "one-line form with options" "http://old.test/debian " no \
  "sources.list=# deb http://commented.test/debian bookworm main\ndeb [arch=amd64] http://old.test/debian bookworm main\n"
case_ "backports offered" "http://mirror.test/debian /k.gpg" yes \
  "sources.list.d/debian.sources=$deb822" \
  "sources.list.d/bp.sources=Types: deb\nURIs: http://mirror.test/debian\nSuites: bookworm-backports\n" 
case_ "backports in the one-line form" - yes "sources.list=deb http://old.test/debian bookworm-backports main\n"
case_ "no sources" - no
[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
