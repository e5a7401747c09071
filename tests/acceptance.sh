#!/usr/bin/env bash
# Plays BRIXEL the way a player does: the real program on the current X display,
# driven only by key events (xdotool) and watched only from outside (window
# size, screenshots, config.cfg, standard error, exit status, the sound it makes
# through OpenAL Soft's wave output).
#   acceptance.sh BRIXEL_BINARY DATA_DIR
set -uo pipefail

bin=${1:?usage: acceptance.sh BRIXEL_BINARY DATA_DIR}
data=${2:?usage: acceptance.sh BRIXEL_BINARY DATA_DIR}
bin=$(readlink -f "$bin"); data=$(readlink -f "$data")
for t in xdotool xwininfo xev import compare sox stat; do
  command -v "$t" >/dev/null || { echo "SKIP: $t is missing"; exit 0; }
done
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no X display (run under xvfb-run)"; exit 1; }

. "$(dirname "$0")/xsession.sh"
work=$(mktemp -d /tmp/brixel-acceptance-XXXXXX)
pid=
start_time=$SECONDS
holder= watcher=
cleanup() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
for d in gfx sfx music; do ln -s "$data/$d" "$work/$d"; done
# An X server resets when its last client leaves, and refuses connections while
# it does; the window's re-creation closes the program's connection, so one
# client stays connected for the whole run.
hold_x_server
watch_windows "$work/windows"
sleep 0.2
cfg=$work/config.cfg

fail() {
  echo "FAIL: $*"
  [ -n "${run:-}" ] && [ -f "$work/stderr.$run" ] && { echo "--- stderr:"; cat "$work/stderr.$run"; }
  [ -f "$cfg" ] && { echo "--- config.cfg:"; cat "$cfg"; }
  exit 1
}
ok() { echo "ok   $* ($((SECONDS - start_time)) s)"; }

# ---- helpers ----

# Starts the program in the working directory with sound going to a wave file.
start() {
  run=$1
  printf '[wave]\nfile=%s\n' "$work/sound.$run.wav" >"$work/alsoft.$run.conf"
  (cd "$work" && ALSOFT_DRIVERS=wave ALSOFT_CONF="$work/alsoft.$run.conf" \
    exec "$bin" >/dev/null 2>"$work/stderr.$run") &
  pid=$!
}

window() { window_of "$pid"; }
size() { size_of "$1"; }

# Waits until the program's window has the given size (a re-created window is a
# new one, so it is searched for again each time) and its first frame is drawn.
wait_size() {
  local w s="" deadline=$((SECONDS + 30))
  while [ $SECONDS -lt $deadline ]; do
    w=$(window) || fail "the program ended while waiting for a $1 window"
    s=$(size "$w")
    if [ "$s" = "$1" ]; then
      wait_drawn || fail "the $1 window was never drawn"
      return 0
    fi
    sleep 0.1
  done
  fail "window is $s, not $1"
}

stamp() { stamp_of "$cfg"; }

# Waits until config.cfg has been written again (a write renames a new file
# over it, so the inode or the time changes).
wait_written() {
  local before=$1 deadline=$((SECONDS + ${2:-20}))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(stamp)" != "$before" ] && return 0
    sleep 0.1
  done
  return 1
}

wait_exit() {
  wait_end "$pid" || fail "the program did not end"
  pid=
}

shot() { import -window root "$work/$1.png" || fail "no screenshot"; }
# Number of pixels in which two screenshots differ.
differ() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | awk '{print int($1)}'; }

# Loudest sample of a wave file, 0 for silence.
loudness() { sox "$1" -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}'; }

# Holds Down for a moment again and again (every locked piece needs a fresh
# press) until the game ends, which writes config.cfg.
play_to_game_over() {
  local before deadline=$((SECONDS + 60))
  before=$(stamp)
  while [ $SECONDS -lt $deadline ]; do
    xdotool keydown Down; sleep 0.3; xdotool keyup Down; sleep 0.06
    [ "$(stamp)" != "$before" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended during the game"
  done
  fail "no game over after a minute of Down presses"
}

line() { sed -n "${1}p" "$cfg" | tr -d '\r'; }

# Before an action that re-creates the window: forget the windows seen so far.
expect_recreation() { : >"$work/windows"; }
recreated() { wait_recreated "$work/windows" || fail "the window was not re-created ($1)"; }

# ---- first run: menu, options, a game to its end, music on ----

printf '800\n600\n16\n1\n1\n1\n0\n0\n0\n1\n000000\n' >"$cfg"
start 1
wait_size 800x600
ok "starts in the menu with an 800x600 window"

# GAME -> OPTIONS -> EXIT -> GAME (wraps down), GAME -> EXIT -> OPTIONS (wraps
# up); a cursor that stopped at either end would not reach the options list.
taps Down 3
taps Up 2
tap Return
# In the list: Right on the resolution, Up twice wraps from entry 1 over the
# glass-mode entry to classic mode, Right switches it on (a still scene while
# paused, for the screenshots below), Return saves and applies.
tap Right
taps Up 2
tap Right
before=$(stamp)
expect_recreation
tap Return
wait_written "$before" || fail "Return on the options list wrote no config.cfg (menu cursor did not wrap?)"
recreated "options applied"
[ "$(line 1) $(line 2) $(line 8)" = "640 480 1" ] || fail "config.cfg does not hold 640, 480 and classic mode"
wait_size 640x480
ok "Down/Up wrap, OPTIONS opens, 640:480 and Return write config.cfg and re-create the window"

# Changes left with Escape: nothing written, the window as it was.
saved=$(cat "$cfg")
before=$(stamp)
tap Return            # the list again, cursor still on classic mode
tap Right             # classic mode off
taps Down 2           # entry 8, then round to entry 1
tap Right             # 800:600
tap Escape
sleep 0.5
[ "$(stamp)" = "$before" ] || fail "Escape on the options list wrote config.cfg"
w=$(window) || fail "no window after Escape"
[ "$(size "$w")" = 640x480 ] || fail "Escape on the options list changed the window"
# The stored settings are back in the program: saving now writes them unchanged.
expect_recreation
tap Return
tap Return
wait_written "$before" || fail "Return on the options list wrote no config.cfg"
[ "$(cat "$cfg")" = "$saved" ] || fail "Escape did not restore the stored settings"
recreated "options saved unchanged"
wait_size 640x480
ok "options changed and left with Escape leave config.cfg and the window as they were"

# GAME (the cursor is on OPTIONS).
tap Up
tap Return
sleep 0.5
taps Left 2
tap Up
taps Right 3
tap Down
ok "GAME started; Left, Up, Right and Down pressed"

# Pause: the scene stands still and the game's keys do nothing. The camera
# still eases towards the piece while paused, so it is given time to arrive.
tap p
deadline=$((SECONDS + 20))
while :; do
  shot paused1
  sleep 0.3
  shot paused2
  [ "$(differ paused1 paused2)" = 0 ] && break
  [ $SECONDS -lt $deadline ] || fail "the scene never stands still while paused"
done
sleep 1.2
shot paused2
taps Left 3
tap Up
sleep 0.3
shot paused3
[ "$(differ paused1 paused2)" = 0 ] || fail "the scene moves while paused"
[ "$(differ paused1 paused3)" = 0 ] || fail "keys moved the piece while paused"
tap p
sleep 0.3
shot running1
sleep 1.2
shot running2
[ "$(differ running1 running2)" != 0 ] || fail "the scene stands still after P again"
ok "P pauses (screenshots identical, keys ignored) and P resumes"

before=$(stamp)
expect_recreation
play_to_game_over
recreated "game over"
record=$(line 11)
[[ "$record" =~ ^[0-9]{6}$ ]] || fail "record line '$record' is not six digits"
[ "$((10#$record))" -gt 0 ] || fail "record is 0 after a game with locked pieces"
[ "$(line 1) $(line 2)" = "640 480" ] || fail "game over changed the stored size"
wait_size 640x480
ok "game over by Down presses; config.cfg holds record $record"

# Y starts a new game: Down presses end it again, which writes config.cfg again.
tap y
sleep 0.3
expect_recreation
play_to_game_over
recreated "second game over"
record2=$(line 11)
[ "$((10#$record2))" -ge "$((10#$record))" ] || fail "the record fell from $record to $record2"
wait_size 640x480
ok "Y started a new game, played to its end (record $record2)"

# Escape to the menu, then EXIT: from GAME, Down twice and Return.
tap Escape
sleep 0.3
taps Down 2
tap Return
wait_exit
[ "$status" = 0 ] || fail "EXIT ended with status $status"
grep -q -e "Couldn't" -e "Cannot" "$work/stderr.1" && fail "error message in the first run"
ok "Escape returns to the menu; EXIT ends with status 0"

loud=$(loudness "$work/sound.1.wav")
awk -v l="${loud:-0}" 'BEGIN {exit !(l > 0.01)}' || fail "music on, but the sound output is silent (peak ${loud:-none})"
ok "music on: the sound output is not silent (peak $loud)"

# ---- second run: the record read back, music off ----

sed -i '5s/.*/0/' "$cfg"
expected=$(cat "$cfg")
start 2
wait_size 640x480
before=$(stamp)
tap Down               # OPTIONS
tap Return
expect_recreation
tap Return             # save what was read
wait_written "$before" || fail "Return on the options list wrote no config.cfg in the second run"
recreated "options saved in the second run"
[ "$(cat "$cfg")" = "$expected" ] || fail "the second run did not keep the settings and record $record2"
wait_size 640x480
tap Down               # EXIT
tap Return
wait_exit
[ "$status" = 0 ] || fail "EXIT ended with status $status in the second run"
ok "a second run reads and keeps record $(line 11)"

loud=$(loudness "$work/sound.2.wav")
[ -n "$loud" ] || fail "no sound output from the second run"
awk -v l="$loud" 'BEGIN {exit !(l == 0)}' || fail "music off, but the sound output is not silent (peak $loud)"
ok "music off: the sound output is silent"

echo "PASS ($((SECONDS - start_time)) s)"
