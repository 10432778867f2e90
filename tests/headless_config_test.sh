#!/usr/bin/env bash
# ovsetup-headless config through its command line: the welcome dialog's
# start-up values for each kind of SetupCfg.ini beside the setup file.
#   tests/headless_config_test.sh OVSETUP_HEADLESS
set -uo pipefail
headless=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# check NAME INI-BYTES|- PRODUCT LANGUAGE : "-" means no SetupCfg.ini.
check() {
  local name=$1 ini=$2 product=$3 language=$4
  local dir="$work/$name"
  mkdir -p "$dir"
  [ "$ini" = - ] || printf '%b' "$ini" >"$dir/SetupCfg.ini"
  local out
  out=$("$headless" config --setup "$dir/setup.exe" 2>"$work/err")
  local code=$?
  [ "$code" -eq 0 ] || fail "$name: exit $code ($(cat "$work/err"))"
  [ "$out" = "$(printf 'product: %s\nlanguage: %s' "$product" "$language")" ] ||
    fail "$name: got '$out'"
}

check missing-file - Orvane 1
check missing-section '[Other]\r\nSoftVer=X\r\nLanguage=3\r\n' Orvane 1
check both-keys '[SetupCfg]\r\nSoftVer=Orvane Pro\r\nLanguage=3\r\n' 'Orvane Pro' 3
check language-0 '[SetupCfg]\r\nLanguage=0\r\n' Orvane 1
check language-minus-5 '[SetupCfg]\r\nLanguage=-5\r\n' Orvane 1
check language-3abc '[SetupCfg]\r\nLanguage=3abc\r\n' Orvane 3
check language-7 '[SetupCfg]\r\nLanguage=7\r\n' Orvane 4
check lower-case-key '[SetupCfg]\r\nlanguage=3\r\n' Orvane 1
check padded-softver '[SetupCfg]\r\n  \tSoftVer \t=\tOrvane Pro\r\nLanguage=2\r\n' 'Orvane Pro' 2
check empty-softver '[SetupCfg]\r\nSoftVer=\r\n' '' 1
# GBK on disk, UTF-8 on stdout.
check gbk-name '[SetupCfg]\r\nSoftVer=\xb6\xfe\xce\xac\r\n' '二维' 1
check invalid-gbk '[SetupCfg]\r\nSoftVer=A\xff\r\n' 'A\xFF' 1

# A relative setup path is taken from the current folder.
mkdir -p "$work/rel" && printf '[SetupCfg]\r\nLanguage=2\r\n' >"$work/rel/SetupCfg.ini"
out=$(cd "$work/rel" && "$headless" config --setup setup.exe)
[ "$out" = "$(printf 'product: Orvane\nlanguage: 2')" ] || fail "relative path: got '$out'"

# Usage errors.
expect_usage() {
  "$headless" "$@" >/dev/null 2>"$work/err"
  local code=$?
  [ "$code" -eq 2 ] || fail "exit $code, expected 2: $*"
  grep -q usage "$work/err" || fail "no usage text: $*"
}
expect_usage
expect_usage frobnicate
expect_usage config
expect_usage config --setup
expect_usage config --setup "$work/x/setup.exe" extra
expect_usage config --bogus
"$headless" --help >/dev/null || fail "--help"

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "ovsetup-headless config: all checks passed"
