#!/usr/bin/env bash
# The same source gives the same programs wherever it lies and whenever it is
# built: builds FILEs again from a copy of the source in another folder, into
# another build folder, later and without the compiler cache, and compares.
#   tests/reproducible_build_test.sh SOURCE BUILD FILE... -- CMAKE-ARG...
# (FILEs lie in BUILD, configured with CMAKE-ARGs; SOURCE in them is replaced.)
set -uo pipefail
source=$1 build=$2
shift 2
targets=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do targets+=("${1#"$build"/}"); shift; done
[ $# -gt 0 ] && shift
work=$(mktemp -d /tmp/ovsetup-elsewhere.XXXXXX)
trap 'rm -rf "$work"' EXIT
args=()
for arg in "$@"; do args+=("${arg//$source/$work/source}"); done

mkdir "$work/source" && tar -C "$source" --exclude=./build --exclude=./.git -cf - . |
  tar -C "$work/source" -xf - || { echo "cannot copy the source"; exit 1; }
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
export CCACHE_DISABLE=1
{ cmake -S "$work/source" -B "$work/build" -G Ninja "${args[@]}" -DOVSETUP_TESTS=OFF &&
  ninja -C "$work/build" "${targets[@]}"; } >"$work/build.log" 2>&1 || { tail -20 "$work/build.log"; exit 1; }

failures=0
for target in "${targets[@]}"; do
  cmp "$build/$target" "$work/build/$target" || failures=$((failures + 1))
done
[ "$failures" -eq 0 ] || { echo "FAIL: $failures of ${#targets[@]} programs differ"; exit 1; }
echo "reproducible: ${targets[*]} built again elsewhere are byte-identical"
