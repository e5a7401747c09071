#!/usr/bin/env bash
# wayland_test.sh GAME DATA_DIR [SHOTS_DIR]
# The game on a Wayland compositor, driven by keys as a player drives it: sway
# runs headless (as an ordinary user: as root the test runs as nobody), the
# game opens on SDL's Wayland driver (named with SDL_VIDEODRIVER on SDL 2;
# SDL 3 chooses it by itself), wtype types and grim takes the screen. Checked:
# the menu full screen, a game started and played with Down, the pause when
# another workspace takes the focus, P resuming, F11 to a window and back
# (sway's tree and preferences.cfg), game over (its lines on screen, the game
# in best.txt, config.cfg written) and N ending the program with status 0 and
# nothing on its standard error.
#
# One wtype run carries every key: its virtual keyboard is the seat's only
# keyboard, and the focus goes when it goes. The checks run beside it on a
# timetable taken from the same list of steps. Skipped (status 77) on the
# classic SDL 1.2, which has no Wayland driver, and where sway, wtype or grim
# is missing.
set -uo pipefail
game=${1:?usage: wayland_test.sh GAME DATA_DIR [SHOTS_DIR]}
data=${2:?usage: wayland_test.sh GAME DATA_DIR [SHOTS_DIR]}
keep=${3:-}   # the screenshots are kept there

# Without a compositor and its key and screenshot tools there is nothing to
# drive the game on: a note, and the test is skipped.
for tool in sway swaymsg wtype grim; do
  command -v "$tool" >/dev/null || { echo "note: wayland_test skipped: $tool is not installed (scripts/install-deps.sh installs it)"; exit 77; }
done
for tool in convert setpriv; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh)"; exit 1; }
done

# The SDL 1.2 under the game, and the SDL 2 under sdl12-compat: its file is
# libSDL2-2.0.so.0.MMmm.P, and sdl2-compat, the SDL 2 interface over SDL 3,
# counts P from 50.
sdl12=$(readlink -f "$(ldd "$game" | awk '/libSDL-1\.2\.so/ {print $3}')")
if ! [[ ${sdl12##*.so.} =~ ^1\.2\.([0-9]+)$ ]] || ((BASH_REMATCH[1] < 50)); then
  echo "note: the classic SDL 1.2 has no Wayland driver; the run on sdl12-compat drives the game on Wayland"
  exit 77
fi
sdl2=$(readlink -f "$(LD_LIBRARY_PATH=${LD_LIBRARY_PATH:-} ldconfig -p | awk '/libSDL2-2\.0\.so\.0 / {print $NF; exit}')")
stack="sdl12-compat ${sdl12##*.so.} over SDL 2 ${sdl2##*.so.0.}"
sdl3=
if [[ ${sdl2##*.so.0.} =~ ^[0-9]+\.([0-9]+)$ ]] && ((BASH_REMATCH[1] >= 50)); then
  sdl3=1
  stack="sdl12-compat ${sdl12##*.so.} over sdl2-compat over SDL 3"
fi

# sway runs only as an ordinary user: as root, the game, its data and this
# script are copied where nobody can read them, and the test goes on as nobody.
if [ "$(id -u)" -eq 0 ] && [ -z "${WAYLAND_TEST_USER:-}" ]; then
  top=$(mktemp -d /tmp/brixel-wayland.XXXXXX)
  trap 'rm -rf "$top"' EXIT
  mkdir -p "$top/data"
  cp "$game" "$top/brixel"
  cp -r "$data/gfx" "$data/sfx" "$data/music" "$top/data/"
  cp "$0" "$top/wayland_test.sh"
  chmod -R a+rX "$top"
  chown -R nobody "$top"
  mkdir -p "$top/shots"
  chown nobody "$top/shots"
  setpriv --reuid=nobody --regid=nogroup --clear-groups env WAYLAND_TEST_USER=1 \
    bash "$top/wayland_test.sh" "$top/brixel" "$top/data" "${keep:+$top/shots}"
  st=$?
  if [ -n "$keep" ]; then mkdir -p "$keep" && cp "$top"/shots/*.png "$keep/" 2>/dev/null; fi
  exit $st
fi

tmp=$(mktemp -d /tmp/brixel-wayland-run.XXXXXX)
sway_pid= game_pid= keys_pid=
finish() {
  [ -n "$keys_pid" ] && kill "$keys_pid" 2>/dev/null
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null && wait "$sway_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap finish EXIT
fail=0
bad() { echo "FAIL: $*"; fail=1; }

# A session of its own: the runtime folder, a compositor with one 1280x720 output.
export XDG_RUNTIME_DIR=$tmp/runtime HOME=$tmp
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf 'output HEADLESS-1 resolution 1280x720\nxwayland disable\n' >"$tmp/sway.cfg"
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$tmp/sway.cfg" >"$tmp/sway.log" 2>&1 &
sway_pid=$!
for _ in $(seq 100); do
  compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*" >/dev/null && compgen -G "$XDG_RUNTIME_DIR/wayland-?" >/dev/null && break
  sleep 0.1
done
WAYLAND_DISPLAY=$(basename "$(compgen -G "$XDG_RUNTIME_DIR/wayland-?" | head -1)")
SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*" | head -1)
export WAYLAND_DISPLAY SWAYSOCK
swaymsg -t get_version >/dev/null 2>&1 || { echo "FAIL: sway did not start: $(tail -3 "$tmp/sway.log")"; exit 1; }
echo "on $stack, sway $(swaymsg -t get_version | sed -n 's/.*"human_readable": "\([^"]*\)".*/\1/p')"

# The game's window in sway's tree: "fullscreen" or "window", "" when none.
window_state() {
  swaymsg -t get_tree 2>/dev/null | tr -d ' \n' | grep -o '"name":"BRIXEL"[^}]*' | head -1 |
    sed -n 's/.*"fullscreen_mode":\([0-9]\).*/\1/p' | sed 's/^0$/window/; s/^[12]$/fullscreen/'
}

# A working directory of the game's own, as a player's would be.
dir=$tmp/play
mkdir "$dir"
for d in gfx sfx music; do ln -s "$data/$d" "$dir/$d"; done
printf '800\n600\n16\n1\n1\n1\n0\n0\n0\n0\n000000\n' >"$dir/config.cfg"
# The compositor is the only display, as in a Wayland session without XWayland
# (GNOME 49 has no X11 session): SDL 3 chooses it by itself; SDL 2 is told to.
if [ -n "$sdl3" ]; then
  driver=(-u DISPLAY)
else
  driver=(-u DISPLAY SDL_VIDEODRIVER=wayland)
fi
# This machine has no GPU: Mesa is told to draw in software at once, rather
# than look for a GPU through the compositor (which draws in software too)
# and report on standard error each device it could not use.
(cd "$dir" && exec env "${driver[@]}" LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null "$game" >"$tmp/game.out" 2>"$tmp/game.err") &
game_pid=$!
for _ in $(seq 100); do
  [ -n "$(window_state)" ] && break
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
[ "$(window_state)" = fullscreen ] || { bad "no full-screen window on Wayland (sway sees \"$(window_state)\"); stderr: $(cat "$tmp/game.err")"; exit 1; }

# The steps: keys for wtype and checks at the moment they come to.
keys=() checks=() at=0
wait_ms() { keys+=(-s "$1"); at=$((at + $1)); }
press() {  # key, ms held
  keys+=(-P "$1" -s "$2" -p "$1"); at=$((at + $2))
}
check() { checks+=("$at $*"); }   # ms from the start of the keys, then a command

shot() { grim "$tmp/$1.png"; }
# The game's window in the state wanted, waited for up to ms; the state seen
# and preferences.cfg as it then stands are kept under the name given.
window_is() {  # state, ms, name
  local until=$(($(date +%s%N) / 1000000 + $2)) now
  while :; do
    window_state >"$tmp/state-$3"
    [ "$(cat "$tmp/state-$3")" = "$1" ] && break
    now=$(($(date +%s%N) / 1000000))
    ((now < until)) || break
    sleep 0.2
  done
  cp "$dir/preferences.cfg" "$tmp/prefs-$3" 2>/dev/null
}
# Keys are held 300 ms, so that a slow pass still sees them; a check comes
# well after the keys before it and well before the next ones.
wait_ms 1500; check shot menu; wait_ms 500
press Return 300; wait_ms 1500; check shot game; wait_ms 500
for _ in 1 2 3; do press Down 400; wait_ms 200; done
# Another workspace takes the focus and gives it back: the game pauses.
wait_ms 300; check swaymsg -q workspace 2
wait_ms 1000; check swaymsg -q workspace 1
wait_ms 1500; check shot paused; wait_ms 500
press p 300; wait_ms 1500; check shot resumed; wait_ms 500
# F11 to a window and back; the window is made anew each time, which a loaded
# machine may take seconds over.
press F11 300; wait_ms 500; check window_is window 6000 window; wait_ms 7000
press F11 300; wait_ms 500; check window_is fullscreen 6000 full; wait_ms 7000
# Drops in the middle until the well is full, with room for a slow machine
# (Down does nothing once the game is over).
for _ in $(seq 40); do press Down 400; wait_ms 150; done
wait_ms 3000; check shot over; check window_is fullscreen 0 over; wait_ms 1000
press n 300; wait_ms 2500

start=$(date +%s%N)
wtype "${keys[@]}" &
keys_pid=$!
for c in "${checks[@]}"; do
  ms=${c%% *}
  now=$((($(date +%s%N) - start) / 1000000))
  ((ms > now)) && sleep "$(printf '%d.%03d' $(((ms - now) / 1000)) $(((ms - now) % 1000)))"
  eval "${c#* }"
done
wait "$keys_pid"; keys_pid=
for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$game_pid" 2>/dev/null; then
  bad "N after game over did not end the game"
else
  wait "$game_pid"; st=$?
  [ "$st" -eq 0 ] || bad "the game ended with status $st"
fi
game_pid=

# ImageMagick 7 (Debian 13 and later) is "magick"; its "convert" prints a
# stray word before the figure of -fx.
if command -v magick >/dev/null; then im=(magick); else im=(convert); fi
# The share of a box of the picture in a colour. The picture is 4:3, in the
# middle of the shot; the box is in the picture's 800x600 pixels, from the top.
share() {  # shot, colour, x, y, w, h
  local f=$tmp/$1.png W H pw ph ox
  W=$("${im[@]}" "$f" -format %w info:) H=$("${im[@]}" "$f" -format %h info:)
  ph=$H pw=$((H * 4 / 3)) ox=$(((W - H * 4 / 3) / 2))
  local x=$((ox + $3 * pw / 800)) y=$(($4 * ph / 600)) w=$(($5 * pw / 800)) h=$(($6 * ph / 600))
  local fx
  case $2 in
    yellow) fx='r>0.7&&g>0.7&&b<0.45' ;;
    green) fx='g>0.7&&r<0.55&&b<0.55' ;;
    pink) fx='r>0.75&&g<0.65&&b>0.5' ;;
  esac
  "${im[@]}" "$f" -crop "${w}x${h}+${x}+${y}" +repage -fx "($fx)?1:0" -format '%[fx:round(100*mean)]' info:
}
# Each text as drawn in 800x600: the menu's GAME in green, the score line in
# pink (LEVEL:), the pause banner and GAME OVER in yellow across the middle.
game_line() { share "$1" green 300 328 128 32; }
status_line() { share "$1" pink 10 528 192 32; }
middle_line() { share "$1" yellow 200 262 400 44; }

[ -f "$tmp/menu.png" ] && (($(game_line menu) >= 8)) || bad "the menu's GAME line is not on screen"
(($(status_line game) >= 5)) && (($(game_line game) < 3)) || bad "Return did not start a game: no status lines"
(($(middle_line game) < 3)) || bad "yellow in the middle of a running game"
(($(middle_line paused) >= 6)) || bad "no pause banner after the focus went to another workspace and came back"
(($(middle_line resumed) < 3)) || bad "P did not resume the game"
[ "$(cat "$tmp/state-window" 2>/dev/null)" = window ] || bad "F11 did not make a window (sway: \"$(cat "$tmp/state-window" 2>/dev/null)\")"
grep -qx 'window = yes' "$tmp/prefs-window" 2>/dev/null || bad "preferences.cfg did not follow F11 to a window"
[ "$(cat "$tmp/state-full" 2>/dev/null)" = fullscreen ] || bad "F11 again did not go back to full screen"
grep -qx 'window = no' "$tmp/prefs-full" 2>/dev/null || bad "preferences.cfg did not follow F11 back to full screen"
(($(middle_line over) >= 6)) || bad "no GAME OVER on screen"
[ "$(cat "$tmp/state-over" 2>/dev/null)" = fullscreen ] || bad "no full-screen window after game over"
grep -Eq '^normal [1-9][0-9]* ' "$dir/best.txt" 2>/dev/null || bad "the game did not reach best.txt: $(cat "$dir/best.txt" 2>/dev/null)"
tail -1 "$dir/config.cfg" | grep -Eq '^0*[1-9][0-9]*$' || bad "config.cfg holds no record after game over"
[ -s "$tmp/game.err" ] && bad "the game wrote to its standard error: $(head -5 "$tmp/game.err")"
for s in menu game paused resumed over; do
  echo "$s: GAME line $(game_line $s)%, status line $(status_line $s)%, middle yellow $(middle_line $s)%"
done
if [ -n "$keep" ]; then mkdir -p "$keep" && cp "$tmp"/*.png "$keep/"; fi
[ "$fail" -eq 0 ] && echo "wayland: menu, a game, pause on focus loss, F11 and back, game over: passed"
exit $fail
