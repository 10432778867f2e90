#!/usr/bin/env bash
# The same source gives the same programs wherever it lies and whenever it is
# built: builds the given files again from a copy of the source in another
# folder, into another build folder, later and without the compiler cache,
# and compares them byte for byte with this build's.
#   tests/reproducible_build_test.sh SOURCE BUILD FILE... -- CMAKE-ARG...
# (FILE: a program of the build folder BUILD; CMAKE-ARG: how BUILD was
# configured; the source folder in them is replaced by the copy's.)
set -uo pipefail
source=$1 build=$2
shift 2
files=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do files+=("$1"); shift; done
[ $# -gt 0 ] && shift
work=$(mktemp -d /tmp/ovsetup-elsewhere.XXXXXX)
trap 'rm -rf "$work"' EXIT
copy="$work/source" again="$work/build"

mkdir -p "$copy"
tar -C "$source" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf - ||
  { echo "cannot copy the source"; exit 1; }
args=()
for arg in "$@"; do args+=("${arg//$source/$copy}"); done
targets=()
for file in "${files[@]}"; do targets+=("${file#"$build"/}"); done

unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
export CCACHE_DISABLE=1
cmake -S "$copy" -B "$again" -G Ninja "${args[@]}" -DOVSETUP_TESTS=OFF >"$work/configure.log" 2>&1 ||
  { tail -20 "$work/configure.log"; exit 1; }
ninja -C "$again" "${targets[@]}" >"$work/build.log" 2>&1 || { tail -20 "$work/build.log"; exit 1; }

failures=0
for target in "${targets[@]}"; do
  if ! cmp "$build/$target" "$again/$target"; then
    failures=$((failures + 1))
    echo "FAIL: $target differs between $build and $again" >&2
    command -v objdump >/dev/null &&
      diff <(objdump -p "$build/$target" 2>/dev/null | tail -n +3) \
        <(objdump -p "$again/$target" 2>/dev/null | tail -n +3) | head -10
  fi
done
if [ "$failures" -ne 0 ]; then echo "$failures of ${#targets[@]} programs differ"; exit 1; fi
echo "reproducible: ${targets[*]} built again elsewhere are byte-identical"
