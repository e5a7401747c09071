#!/usr/bin/env bash
# The real binary with data missing or its surroundings hostile: every picture,
# every sample, the font, the whole gfx/ or sfx/ folder removed in turn, no
# audio device, a depth of 32 bits in config.cfg. Each time the game must open
# its window, start a game on Return, take Down presses, end with status 0 on
# SIGTERM and say nothing on stderr but the sound-off line. At last, a working
# directory it cannot write: the game over ends it with "Cannot open config.cfg
# file." and status 1.
#   robustness_test.sh BINARY DATA_DIR     (under an X display, with xdotool)
set -u
. "$(dirname "$0")/xsession.sh"
BIN=$1
DATA=$2
command -v xdotool >/dev/null || { echo "SKIP: no xdotool"; exit 0; }
[ -n "${DISPLAY:-}" ] || { echo "no X display" >&2; exit 1; }
root=$(mktemp -d /tmp/brixel-robust.XXXXXX)
holder=
cleanup() { [ -n "$holder" ] && kill "$holder" 2>/dev/null; rm -rf "$root"; }
trap cleanup EXIT
# A second X client keeps Xvfb from regenerating when the game re-creates its window.
hold_x_server
CONFIG='800\n600\n16\n0\n1\n1\n0\n0\n0\n1\n000000\n'
fail=0

# A working directory with links to every data file but the ones named.
make_dir() {
  local dir=$1; shift
  mkdir -p "$dir"
  for d in gfx sfx music; do
    if printf '%s\n' "$@" | grep -qx "$d"; then continue; fi
    mkdir "$dir/$d"
    for f in "$DATA/$d"/*; do
      local rel="$d/$(basename "$f")"
      printf '%s\n' "$@" | grep -qx "$rel" || ln -s "$f" "$dir/$rel"
    done
  done
  printf "$CONFIG" > "$dir/config.cfg"
}


# play NAME DIR [env...]: start, Return, Down x3, SIGTERM; status 0, clean stderr.
play() {
  local name=$1 dir=$2; shift 2
  (cd "$dir" && exec env "$@" "$BIN" 2>"$dir/stderr.txt") & local pid=$!
  if ! window_of "$pid" >/dev/null; then
    echo "FAIL $name: no window"; cat "$dir/stderr.txt"; fail=1; kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; return
  fi
  sleep 1.0; tap Return; tap Down; tap Down; tap Down
  if ! kill -0 "$pid" 2>/dev/null; then echo "FAIL $name: the game ended by itself"; fail=1; fi
  kill -TERM "$pid" 2>/dev/null; wait "$pid"; local st=$?
  local noise
  noise=$(grep -v '^brixel: no audio device, sound is off$' "$dir/stderr.txt")
  if [ "$st" -ne 0 ] || [ -n "$noise" ]; then
    echo "FAIL $name: status $st, stderr: $noise"; fail=1
  fi
}

n=0
# BRIXEL_ROBUST_ONLY_UNWRITABLE=1 runs the last case alone.
if [ -z "${BRIXEL_ROBUST_ONLY_UNWRITABLE:-}" ]; then
for f in "$DATA"/gfx/*.png "$DATA"/sfx/*.wav "$DATA"/music/*.mp3; do
  rel=${f#"$DATA"/}
  n=$((n + 1)); make_dir "$root/case$n" "$rel"; play "without $rel" "$root/case$n"
done
for item in gfx sfx; do
  n=$((n + 1)); make_dir "$root/case$n" "$item"; play "without $item/" "$root/case$n"
done
n=$((n + 1)); make_dir "$root/case$n"; play "no audio device" "$root/case$n" ALSOFT_DRIVERS=nonexistent
n=$((n + 1)); make_dir "$root/case$n"
sed -i '3s/.*/32/' "$root/case$n/config.cfg"; play "depth 32 in config.cfg" "$root/case$n"
fi

# A directory the game cannot write, as an unprivileged user (root writes
# anywhere): reading config.cfg works, the game-over write does not.
# The build may sit in a folder only its owner enters (a private checkout), so
# that user plays a world-readable copy of the program and the data.
n=$((n + 1)); dir="$root/case$n"
mkdir -p "$root/open"
cp "$BIN" "$root/open/brixel" && cp -r "$DATA/gfx" "$DATA/sfx" "$DATA/music" "$root/open/"
DATA="$root/open" make_dir "$dir"
chmod -R a+rX "$root"; chmod 755 "$dir"; chmod 644 "$dir/config.cfg"
auth="$root/xauth"
if command -v setpriv >/dev/null && id nobody >/dev/null 2>&1 && command -v xauth >/dev/null &&
   xauth -f "${XAUTHORITY:-$HOME/.Xauthority}" nextract - "$DISPLAY" 2>/dev/null | xauth -f "$auth" nmerge - 2>/dev/null &&
   chmod 644 "$auth" && setpriv --reuid=nobody --regid=nogroup --clear-groups test -r "$root/open/brixel"; then
  (cd "$dir" && exec setpriv --reuid=nobody --regid=nogroup --clear-groups env XAUTHORITY="$auth" HOME="$dir" "$root/open/brixel" 2>"$root/unwritable.err") & pid=$!
  if window_of "$pid" >/dev/null; then
    sleep 1.0
    # Return again and again: one lost during start-up must not leave the game
    # in the menu (in a game Return does nothing).
    for _ in $(seq 1 60); do
      kill -0 "$pid" 2>/dev/null || break
      tap Return
      xdotool keydown Down; sleep 0.3; xdotool keyup Down; sleep 0.05
    done
    if kill -0 "$pid" 2>/dev/null; then echo "FAIL unwritable dir: still running after 60 drops"; kill -9 "$pid"; fail=1; fi
    wait "$pid"; st=$?
    if [ "$st" -ne 1 ] || ! grep -qx 'Cannot open config.cfg file.' "$root/unwritable.err"; then
      echo "FAIL unwritable dir: status $st, stderr: $(cat "$root/unwritable.err")"; fail=1
    fi
    if compgen -G "$dir/config.cfg.tmp*" >/dev/null; then echo "FAIL unwritable dir: a temporary config.cfg.tmp* appeared"; fail=1; fi
  else
    echo "FAIL unwritable dir: no window: $(cat "$root/unwritable.err")"; fail=1; kill -9 "$pid" 2>/dev/null
  fi
else
  echo "note: no unprivileged user or xauth here; the unwritable-directory case is skipped"
fi
echo "robustness: $n cases"
exit $fail
