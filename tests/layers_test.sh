#!/usr/bin/env bash
# The layers as the compiler sees them: each target's include path shows its
# own and its lower layers' folders only, so an include from a higher folder
# fails to build. Usage: layers_test.sh SOURCE_ROOT VIEWS_DIR CXX
set -u
root=$1 views=$(cd "$2" && pwd) cxx=$3
failures=0 checked=0
# The source is read from stdin, whose includes are also looked up in the
# current folder: compile in an empty one.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1

# expect TARGET HEADER yes|no : whether "#include HEADER" compiles in TARGET.
expect() {
  local target=$1 header=$2 want=$3 log
  [ -d "$views/$target" ] || return 0  # the windows' layers exist in Win32 builds only
  if [ ! -f "$root/$header" ]; then
    echo "FAIL: $header is not in the source tree"; failures=$((failures + 1)); return
  fi
  checked=$((checked + 1))
  log=$(printf '#include "%s"\n' "$header" |
        "$cxx" -std=c++17 -fsyntax-only -I "$views/$target" -x c++ - 2>&1)
  local rc=$?
  if [ "$want" = yes ] && [ $rc -ne 0 ]; then
    echo "FAIL: $target cannot include $header:"; echo "$log" | head -5
    failures=$((failures + 1))
  elif [ "$want" = no ] && { [ $rc -eq 0 ] || ! grep -qE "No such file|file not found" <<<"$log"; }; then
    echo "FAIL: $target includes $header (exit $rc)"; echo "$log" | head -5
    failures=$((failures + 1))
  fi
}

expect ovplatform       platform/file_io.h            yes
expect ovplatform       ini/ini_file.h                no
expect ovplatform       payload/payload_walk.h        no
expect ovini            ini/ini_file.h                yes
expect ovini            payload/payload_format.h      no
expect ovpayload        payload/payload_walk.h        yes
expect ovpayload        ini/ini_file.h                no
expect ovpayload        install/install_job.h         no
expect ovengine         ini/ini_file.h                yes
expect ovengine         payload/payload_archive.h     yes
expect ovengine         config/setup_config.h         no
expect ovengine         app/welcome_dialog.h          no
expect ovengine         tools/shown_text.h            no
expect ovconfig         install/language_index.h      yes
expect ovconfig         app/welcome_dialog.h          no
expect ovpack           payload/payload_walk.h        yes
expect ovpack           install/program_install.h     yes
expect ovpack           config/setup_config.h         no
expect ovsetup-headless config/setup_config.h         yes
expect ovsetup-headless app/welcome_dialog.h          no
# The dialog layer, inside platform/, is seen by the windows alone.
expect ovui             platform/win32/ui/dialog.h    yes
expect ovui             app/welcome_dialog.h          no
expect ovplatform       platform/win32/ui/dialog.h    no
expect ovengine         platform/win32/ui/dialog.h    no
expect ovsetup-headless platform/win32/ui/dialog.h    no
expect ovwindows        app/welcome_dialog.h          yes
expect ovwindows        platform/win32/ui/dialog.h    yes

echo "$checked checks, $failures failed"
[ "$checked" -gt 0 ] && [ "$failures" -eq 0 ]
