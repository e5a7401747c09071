#!/usr/bin/env bash
# Runs the whole test suite twice: on the classic SDL 1.2 library, then on
# sdl12-compat (the SDL 1.2 interface over SDL 2, which most distributions now
# ship as their SDL 1.2), the windowed tests under Xvfb. Fails when either run fails.
#   run-tests.sh BUILD_DIR [classic|compat|both] [ctest arguments...]
set -uo pipefail
build=${1:?usage: run-tests.sh BUILD_DIR [classic|compat|both] [ctest arguments...]}
shift
which=both
case "${1:-}" in classic|compat|both) which=$1; shift ;; esac
cd "$build" || exit 1

# sdl12-compat's libSDL-1.2.so.0 stays out of the library path; the same build
# runs on it with LD_LIBRARY_PATH pointing at its folder.
compat_dir=
for d in /usr/lib/*/sdl12-compat /usr/lib/sdl12-compat; do
  [ -e "$d/libSDL-1.2.so.0" ] && { compat_dir=$d; break; }
done

# The SDL 1.2 library the game loads with library path $1.
sdl_of() { LD_LIBRARY_PATH=$1 ldd ./brixel | awk '/libSDL-1\.2\.so/ {print $3}'; }

run() {  # label, library path, ctest arguments
  local label=$1 path=$2 lib
  shift 2
  lib=$(sdl_of "$path")
  echo
  echo "==== The test suite on $label ($lib) ===="
  case "$label" in
    sdl12-compat*) [[ $lib == */sdl12-compat/* ]] || { echo "FAIL: the game does not load sdl12-compat"; return 1; } ;;
    *) [[ $lib != */sdl12-compat/* ]] || { echo "FAIL: the game loads sdl12-compat as the classic library"; return 1; } ;;
  esac
  LD_LIBRARY_PATH=$path xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    ctest --output-on-failure --repeat until-pass:2 "$@"
}

classic=skipped compat=skipped status=0
if [ "$which" != compat ]; then
  if run "the classic SDL 1.2 library" "" "$@"; then classic=passed; else classic=FAILED; status=1; fi
fi
if [ "$which" != classic ]; then
  if [ -z "$compat_dir" ]; then
    echo "FAIL: sdl12-compat is not installed (package libsdl1.2-compat)"
    compat=FAILED; status=1
  elif run "sdl12-compat (SDL 1.2 over SDL 2)" "$compat_dir" "$@"; then
    compat=passed
  else
    compat=FAILED; status=1
  fi
fi
echo
echo "==== Classic SDL 1.2: $classic; sdl12-compat: $compat ===="
exit $status
