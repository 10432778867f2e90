#!/usr/bin/env bash
# What Windows checks before one of the shipped programs runs, read off the
# built files (Wine checks none of it): every import is a function Windows
# XP SP3 exports, the PE header asks for no later Windows than XP (5.1), and
# the embedded manifest declares Common Controls 6, the supported Windows
# versions Vista to 11 and system DPI awareness, and requests the execution
# level given after "=" (requireAdministrator or asInvoker, in the trustInfo
# form Windows XP reads) or, with none given, no execution level; the version
# resource names the program and carries VERSION (as OVSETUP_VERSION gives
# it) in a Simplified Chinese and an English block.
#   tests/windows_readiness_test.sh XP-EXPORTS VERSION EXE[=LEVEL]...
set -uo pipefail
exports=$1 version=$2; shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

objdump=i686-w64-mingw32-objdump
grep -v '^#' "$exports" | awk 'NF { print toupper($1) "!" $2 }' | sort -u >"$work/allowed"

supported_os="{1f676c76-80e1-4239-95bb-83d0f6d0da78}
{35138b9a-5d96-4fbd-8e2d-a2440225f93a}
{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}
{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}
{e2011457-1546-43c5-a5fe-008deee3d3f0}"

# The version resource as the toolchain's windres reads it back: the version
# as four numbers, and what each program (NAME) ships as.
numbers=$(echo "$version.0.0.0" | cut -d. -f1-4 | awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3, $4 }')
declare -A shipped_as=([setup.exe]=Setup.exe [ovsetup-headless.exe]=ovsetup-headless.exe)
expected_version_info() {
  local block file=${shipped_as[$1]}
  printf '%s\n' "1 VERSIONINFO" "FILEVERSION ${numbers//./, }" "PRODUCTVERSION ${numbers//./, }" \
    'BLOCK "StringFileInfo"'
  for block in 080404B0 040904B0; do
    printf 'BLOCK "%s"\n' $block
    printf 'VALUE "%s", "%s"\n' FileDescription "Orvane Setup" FileVersion "$numbers" \
      InternalName "${file%.exe}" OriginalFilename "$file" ProductName Orvane ProductVersion "$version"
  done
  printf '%s\n' 'BLOCK "VarFileInfo"' 'VALUE "Translation", 0x804, 1200, 0x409, 1200'
}

# xpath FILE EXPR: the string value of EXPR in the manifest FILE.
xpath() { xmllint --xpath "$2" "$1" 2>/dev/null; }

total=0
for program in "$@"; do
  exe=${program%%=*} level=
  [ "$exe" = "$program" ] || level=${program#*=}
  name=$(basename "$exe")
  "$objdump" -p "$exe" >"$work/headers" || { fail "$name: objdump cannot read it"; continue; }

  # Imports by name, as "DLL!function"; an import by ordinal shows as a
  # number and fails the lookup as well.
  awk '/^\tDLL Name: / { dll = toupper($3); next }
       dll && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll "!" $3 }
       dll && /^$/ { dll = "" }' "$work/headers" | sort -u >"$work/imports"
  count=$(wc -l <"$work/imports")
  [ "$count" -gt 0 ] || fail "$name: no imports found"
  total=$((total + count))
  comm -23 "$work/imports" "$work/allowed" | while read -r missing; do
    echo "FAIL: $name imports $missing, which is not in $(basename "$exports")" >&2
  done
  [ -z "$(comm -23 "$work/imports" "$work/allowed")" ] || failures=$((failures + 1))

  for field in OSystem Subsystem; do
    major=$(awk -v f="Major${field}Version" '$1 == f { print $2 }' "$work/headers")
    minor=$(awk -v f="Minor${field}Version" '$1 == f { print $2 }' "$work/headers")
    [ -n "$major" ] && [ $((major * 100 + minor)) -le 501 ] ||
      fail "$name: ${field} version $major.$minor is above 5.1"
  done

  # The version resource: name 1, its structure, no flags or types.
  if [ -z "${shipped_as[$name]:-}" ]; then
    fail "$name: no expected version resource for this program"
  elif ! i686-w64-mingw32-windres -J coff -i "$exe" -O rc >"$work/rc" 2>&1; then
    fail "$name: windres cannot read its resources: $(head -3 "$work/rc")"
  elif ! sed -n '/^1 VERSIONINFO$/,/^END$/p' "$work/rc" | sed 's/^ *//' |
      grep -E '^(1 VERSIONINFO$|FILEVERSION |PRODUCTVERSION |BLOCK |VALUE )' |
      diff <(expected_version_info "$name") - >"$work/version.diff"; then
    fail "$name: version resource differs (< expected, > built):
$(grep '^[<>]' "$work/version.diff")"
  fi

  # The manifest: resource type 24, name 1.
  if ! wrestool -x --raw --type=24 --name=1 "$exe" >"$work/manifest" 2>/dev/null || [ ! -s "$work/manifest" ]; then
    fail "$name: no manifest"
    continue
  fi
  xmllint --noout "$work/manifest" 2>"$work/xml-errors" || fail "$name: manifest is not well-formed: $(cat "$work/xml-errors")"
  got_os=$(xpath "$work/manifest" '//*[local-name()="compatibility"]//*[local-name()="supportedOS"]/@Id' |
           grep -oE '\{[0-9a-fA-F-]+\}' | tr 'A-F' 'a-f' | sort)
  [ "$got_os" = "$supported_os" ] || fail "$name: supportedOS IDs are: $(echo $got_os)"
  [ "$(xpath "$work/manifest" 'normalize-space(//*[local-name()="windowsSettings"]/*[local-name()="dpiAware"])')" = true ] ||
    fail "$name: not declared DPI aware"
  [ "$(xpath "$work/manifest" 'string(//*[local-name()="dependentAssembly"]/*[local-name()="assemblyIdentity"][@name="Microsoft.Windows.Common-Controls"]/@version)')" = 6.0.0.0 ] ||
    fail "$name: no Common Controls 6 dependency"
  levels=$(xpath "$work/manifest" 'count(//*[local-name()="requestedExecutionLevel"])')
  if [ -z "$level" ]; then
    [ "$levels" = 0 ] || fail "$name: requests an execution level"
  else
    # One trustInfo in the asm.v2 namespace: Windows XP rejects the element
    # in any other.
    trust='//*[local-name()="trustInfo" and namespace-uri()="urn:schemas-microsoft-com:asm.v2"]'
    [ "$levels" = 1 ] &&
      [ "$(xpath "$work/manifest" "count($trust)")" = 1 ] &&
      [ "$(xpath "$work/manifest" "string($trust//*[local-name()=\"requestedExecutionLevel\"]/@level)")" = "$level" ] &&
      [ "$(xpath "$work/manifest" "string($trust//*[local-name()=\"requestedExecutionLevel\"]/@uiAccess)")" = false ] ||
      fail "$name: does not request the execution level $level in an asm.v2 trustInfo"
  fi
done

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "windows readiness: $# programs, $total imports, all exported by Windows XP SP3; PE versions at most 5.1; manifests declare Vista to 11, DPI awareness and the execution levels; version $version in Chinese and English"
