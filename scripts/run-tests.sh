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

# A display number no X server holds. xvfb-run -a goes by lock files alone, but
# a server of another system on this machine (a chroot or container sharing its
# network) leaves no lock file here and still holds the abstract socket that X
# clients try first: the tests would then talk to that server instead.
free_display() {
  local n
  for ((n = 99; n < 500; n++)); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null && continue
    echo "$n"
    return 0
  done
  return 1
}

# The SDL 1.2 library the game loads with library path $1.
sdl_of() { LD_LIBRARY_PATH=$1 ldd ./brixel | awk '/libSDL-1\.2\.so/ {print $3}'; }

run() {  # name, label, library path, ctest arguments
  local name=$1 label=$2 path=$3 lib
  shift 3
  lib=$(sdl_of "$path")
  # Debian 13 and later ship sdl12-compat as their only SDL 1.2: the first run
  # is then on it too, and says so.
  local real
  real=$(readlink -f "$lib")
  if [ "$name" = classic ] && [[ ${real##*.so.} =~ ^1\.2\.([0-9]+)$ ]] && ((BASH_REMATCH[1] >= 50)); then
    label="this system's SDL 1.2, which is sdl12-compat ${real##*.so.}"
  fi
  echo
  echo "==== The test suite on $label ($lib) ===="
  case "$name" in
    compat) [[ $lib == */sdl12-compat/* ]] || { echo "FAIL: the game does not load sdl12-compat"; return 1; } ;;
    *) [[ $lib != */sdl12-compat/* ]] || { echo "FAIL: the game loads sdl12-compat as the classic library"; return 1; } ;;
  esac
  local junit=$PWD/tests-$name.xml rc display
  rm -f "$junit"
  display=$(free_display) || { echo "FAIL: no free X display number"; return 1; }
  LD_LIBRARY_PATH=$path xvfb-run -n "$display" -s "-screen 0 1024x768x24 -noreset" \
    ctest --output-on-failure --output-junit "$junit" "$@"
  rc=$?
  notes "$junit"
  return $rc
}

# What the tests left out or did otherwise on this library: their "note:" lines.
notes() {
  [ -f "$1" ] || return 0
  awk '
    /<testcase / { if (match($0, /name="[^"]*"/)) test = substr($0, RSTART + 6, RLENGTH - 7) }
    /note: / { line = substr($0, index($0, "note: ") + 6)
               gsub(/&apos;/, "\047", line); gsub(/&quot;/, "\"", line); gsub(/&lt;/, "<", line)
               gsub(/&gt;/, ">", line); gsub(/&amp;/, "\\&", line)
               if (!seen[test ": " line]++) printf "note: %s: %s\n", test, line }
  ' "$1"
}

classic=skipped compat=skipped status=0
if [ "$which" != compat ]; then
  if run classic "the classic SDL 1.2 library" "" "$@"; then classic=passed; else classic=FAILED; status=1; fi
fi
if [ "$which" != classic ]; then
  if [ -z "$compat_dir" ]; then
    echo "FAIL: sdl12-compat is not installed (package libsdl1.2-compat)"
    compat=FAILED; status=1
  elif run compat "sdl12-compat (SDL 1.2 over SDL 2)" "$compat_dir" "$@"; then
    compat=passed
  else
    compat=FAILED; status=1
  fi
fi
echo
echo "==== Classic SDL 1.2: $classic; sdl12-compat: $compat ===="
exit $status
