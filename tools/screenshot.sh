#!/usr/bin/env bash
# Takes the README's gallery from the built game under Xvfb at 800x600:
# menu, options, a game in progress, glass, child, classic, LOW and game over,
# each a 256-colour PNG in OUT_DIR; docs/screenshot.png is the game shot.
#   tools/screenshot.sh BUILD_DIR OUT_DIR      (runs its own Xvfb)
set -uo pipefail
build=$(readlink -f "${1:?usage: screenshot.sh BUILD_DIR OUT_DIR}")
out=${2:?usage: screenshot.sh BUILD_DIR OUT_DIR}
mkdir -p "$out"
out=$(readlink -f "$out")
here=$(dirname "$(readlink -f "$0")")
if [ -z "${BRIXEL_SHOT_INSIDE:-}" ]; then
  BRIXEL_SHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$0" "$@"
fi
. "$here/../tests/xsession.sh"
pid= holder= work=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$holder" ] && kill "$holder" 2>/dev/null; [ -n "$work" ] && rm -rf "$work"' EXIT
hold_x_server

# Starts the game with config.cfg values "$@" (800 x 600, sound off) and waits
# for its first frame.
begin() {
  work=$(game_dir "$build/data" 800 600 16 "$@") || exit 1
  start_game "$build/brixel" "$work"
  window_of "$pid" >/dev/null || { echo "no window" >&2; exit 1; }
  wait_drawn || { echo "nothing drawn" >&2; exit 1; }
  sleep 0.5
}
end() {
  kill "$pid"; wait_end "$pid" || kill -KILL "$pid"
  pid=
  rm -rf "$work"; work=
}
# Saves the picture as a 256-colour PNG, small enough for the README.
shot() {
  shot_game "$work/shot.png" 800 600 &&
    convert "$work/shot.png" -strip -dither None -colors 256 "PNG8:$out/$1" || exit 1
  echo "$out/$1"
}
# A few pieces: some to the left, some to the right, each dropped with Down.
play_a_little() {
  for moves in "Left Left Left" "Right Right Right" "Left" "Up Right Right" "" "Up Left Left Left Left"; do
    for k in $moves; do tap "$k"; done
    xdotool keydown Down; sleep 0.5; xdotool keyup Down; sleep 0.1
  done
  sleep 0.5
}

#     det mus wall fps cls gls unl record
begin 1   0   1    0   0   0   1   012345
shot menu.png
tap Down; tap Return; sleep 0.3
shot options.png
tap Escape; tap Up; tap Return
play_a_little
shot game.png
drop_to_game_over "$work/config.cfg" || { echo "no game over" >&2; exit 1; }
sleep 0.5; wait_drawn; sleep 0.5
shot gameover.png
end

# A game in progress in the look of config.cfg values "$2..." into file $1.
game_in() {
  local file=$1
  shift
  begin "$@"
  tap Return; play_a_little
  shot "$file"
  end
}
game_in glass.png   1 0 1 0 0 1 1 012345
game_in classic.png 1 0 1 0 1 0 1 012345
game_in low.png     0 0 1 0 0 0 1 012345

# Child mode: seven turns of one piece, moved a few rows down first.
begin 1 0 1 0 0 0 1 012345
tap Return
xdotool keydown Down; xdotool keyup Down; sleep 0.1
taps Up 7
xdotool keydown Down; sleep 0.5; xdotool keyup Down; sleep 0.1
tap Right; tap Right; xdotool keydown Down; sleep 0.5; xdotool keyup Down; sleep 0.3
shot child.png
end
