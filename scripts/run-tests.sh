#!/usr/bin/env bash
# Runs the whole test suite twice: on the classic SDL 1.2 library, then on
# sdl12-compat (the SDL 1.2 interface over SDL 2, which most distributions now
# ship as their SDL 1.2), the windowed tests under Xvfb. Fails when either run
# fails. Where the system's own SDL 1.2 is sdl12-compat (Debian 13 and later),
# the first run is on it and there is no second library to run on.
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
# clients try first: the tests would then talk to that server instead. The
# search starts at a number of its own, away from the 99, 100, ... that
# xvfb-run -a of other systems takes without seeing this one's servers.
free_display() {
  local n first=$((200 + $$ % 300))
  for ((n = first; n < first + 400; n++)); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null && continue
    echo "$n"
    return 0
  done
  return 1
}

# The SDL 1.2 library the game loads with library path $1.
sdl_of() { LD_LIBRARY_PATH=$1 ldd ./brixel | awk '/libSDL-1\.2\.so/ {print $3}'; }

# Whether an SDL 1.2 library file is sdl12-compat: it numbers itself 1.2.50 and up.
is_compat() {
  local real
  real=$(readlink -f "$1")
  [[ ${real##*.so.} =~ ^1\.2\.([0-9]+)$ ]] && ((BASH_REMATCH[1] >= 50))
}

run() {  # name, label, library path, ctest arguments
  local name=$1 label=$2 path=$3 lib
  shift 3
  lib=$(sdl_of "$path")
  echo
  echo "==== The test suite on $label ($lib) ===="
  case "$name" in
    compat) is_compat "$lib" || { echo "FAIL: the game does not load sdl12-compat"; return 1; } ;;
    classic) ! is_compat "$lib" || { echo "FAIL: the game loads sdl12-compat as the classic library"; return 1; } ;;
  esac
  local junit=$PWD/tests-$name.xml rc display
  rm -f "$junit"
  display=$(free_display) || { echo "FAIL: no free X display number"; return 1; }
  # The tests run as in a desktop session, which always has a private runtime
  # folder: SDL 3 looks there for a Wayland compositor, and complains without one.
  local runtime
  runtime=$(mktemp -d /tmp/brixel-tests-runtime.XXXXXX) && chmod 700 "$runtime"
  XDG_RUNTIME_DIR=$runtime LD_LIBRARY_PATH=$path xvfb-run -n "$display" -s "-screen 0 1024x768x24 -noreset" \
    ctest --output-on-failure --output-junit "$junit" "$@"
  rc=$?
  rm -rf "$runtime"
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

status=0
system_lib=$(sdl_of "")
if is_compat "$system_lib"; then
  # One SDL 1.2 on this system, and it is sdl12-compat: one run, on it.
  version=$(readlink -f "$system_lib")
  version=${version##*.so.}
  if run system "this system's SDL 1.2, which is sdl12-compat $version" "" "$@"; then result=passed; else result=FAILED; status=1; fi
  echo
  echo "==== No second run: this system's SDL 1.2 is sdl12-compat itself, and there is no classic one ===="
  echo "==== This system's SDL 1.2 (sdl12-compat $version): $result ===="
  exit $status
fi
classic=skipped compat=skipped
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
