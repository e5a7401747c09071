#!/usr/bin/env bash
# Legibility of every line of text over the scene, in every look: screenshots
# of the real program driven by keys (menu, options, the computer's game, a
# paused game, the child taunt, game over; normal, glass, wall off, LOW, 640 x
# 480 and child), the
# looks that take long play drawn by the real pass in-process (a special
# piece's taunt, the glass-mode notice, game over in the other looks, the
# dimmed room, the alarm), all measured by the legibility program, which
# fails under 4.
#   legibility.sh BRIXEL_BINARY DATA_DIR LEGIBILITY_BINARY OUT_DIR
set -uo pipefail
bin=$(readlink -f "${1:?usage: legibility.sh BRIXEL DATA LEGIBILITY OUT_DIR}")
data=$(readlink -f "${2:?}")
measure=$(readlink -f "${3:?}")
out=${4:?}
for t in xdotool xwininfo import; do
  command -v "$t" >/dev/null || { echo "SKIP: $t is missing"; exit 0; }
done
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no X display (run under xvfb-run)"; exit 1; }
. "$(dirname "$0")/xsession.sh"

rm -rf "$out" && mkdir -p "$out" || exit 1
out=$(readlink -f "$out")
list=$out/shots.txt
: >"$list"
pid= holder= work=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  [ -n "$work" ] && rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
hold_x_server

# One look: the game started with config.cfg values "$3...", shots named $1-*;
# with $2 "over" the game is then played to its end.
look() {
  local name=$1 over=$2 w=$3 h=$4 cfg score
  shift 2
  cfg=$(IFS=,; echo "$*")
  work=$(game_dir "$data" "$@") || fail "no working directory"
  start_game "$bin" "$work"
  window_of "$pid" >/dev/null || fail "$name: no window"
  wait_drawn || fail "$name: nothing drawn"
  shot() {  # file, text groups, more descriptions
    shot_game "$out/$name-$1.png" "$w" "$h" || fail "no screenshot"
    echo "file=$name-$1.png cfg=$cfg lines=$2 ${3:-}" >>"$list"
  }
  local st="score=0 record=${*: -1} level=1 destroyed=0"
  if [ "$name" != child ]; then
    sleep 0.3; shot menu-game menu
    tap Down; sleep 0.2; shot menu-options menu
    tap Return; sleep 0.2; shot options-1 options
    tap Down; sleep 0.2; shot options-2 options
    tap Escape; tap Up
    # The computer's game and its line, left with Escape.
    tap F3; sleep 0.5; shot computer computer
    tap Escape; sleep 0.2
  fi
  tap Return
  if [ "$name" = child ]; then
    # Seven turns of one piece: a short press of Down first moves it off the
    # top row, where it has no room to turn; a turn that is refused there
    # does not count, so Up is pressed until the taunt shows.
    xdotool keydown Down; xdotool keyup Down; sleep 0.1
    taps Up 6
    for _ in $(seq 12); do
      xdotool keydown Up; sleep 0.1
      shot_game "$out/child-taunt.png" "$w" "$h" || fail "no screenshot"
      xdotool keyup Up; sleep 0.1
      echo "file=child-taunt.png cfg=$cfg lines=child" >"$out/taunt.txt"
      "$measure" measure "$data/gfx/font.png" "$out/taunt.txt" | grep -q 'SO YOU WILL.*dE *[0-9]\{2,\}' && break
    done
    echo "file=child-taunt.png cfg=$cfg lines=status,child $st" >>"$list"
  fi
  tap p; sleep 0.2
  shot pause status,pause "$st"
  if [ "$over" = over ]; then
    tap p
    drop_to_game_over "$work/config.cfg" || fail "$name: no game over"
    # The game over re-creates the window; the record, 0 before, is the score.
    score=$((10#$(sed -n 11p "$work/config.cfg")))
    sleep 0.5; wait_drawn || fail "$name: game over not drawn"; sleep 0.3
    shot gameover status,gameover "score=$score record=$score level=1 destroyed=0"
  fi
  kill "$pid"; wait_end "$pid" || kill -KILL "$pid"
  pid=
  rm -rf "$work"; work=
  echo "$name: shots taken ($SECONDS s)"
}

# Game over by key presses in the two looks whose walls differ most; the
# other looks' game over is drawn in-process below, which is much quicker.
#    name    game   w   h  bits det mus wall fps cls gls unl rec
look normal  over  800 600 16   1   0   1    0   0   0   1   0
look glass   -     800 600 16   1   0   1    0   0   1   1   0
look walloff -     800 600 16   1   0   0    0   0   0   1   0
look low     -     800 600 16   0   0   1    0   0   0   1   0
look 640     -     640 480 16   1   0   1    0   0   0   1   0
look child   over  800 600 16   1   0   1    0   0   0   1   0

(cd "$out" && "$measure" shoot "$out") || fail "the in-process shots failed"
echo "in-process shots taken ($SECONDS s)"
"$measure" measure "$data/gfx/font.png" "$list"
status=$?
echo "($SECONDS s)"
[ $status -eq 0 ] || fail "lines under 4 (shots in $out)"
echo "ok   every line 4 or more"
