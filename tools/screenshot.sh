#!/usr/bin/env bash
# Takes the README's screenshot: the built game under Xvfb at 800x600, a game
# started and a few pieces dropped, the window saved as a PNG.
#   tools/screenshot.sh BUILD_DIR OUT.png      (runs its own Xvfb)
set -euo pipefail
build=$(readlink -f "${1:?usage: screenshot.sh BUILD_DIR OUT.png}")
out=$(readlink -f "${2:?usage: screenshot.sh BUILD_DIR OUT.png}")
here=$(dirname "$(readlink -f "$0")")
if [ -z "${BRIXEL_SHOT_INSIDE:-}" ]; then
  BRIXEL_SHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$0" "$@"
fi
. "$here/../tests/xsession.sh"
# 800 x 600, high detail, sound off, a record to beat.
work=$(game_dir "$build/data" 800 600 16 1 0 0 0 0 0 1 012345)
pid= holder=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$holder" ] && kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
hold_x_server
(cd "$work" && exec "$build/brixel" 2>/dev/null) &
pid=$!
w=$(window_of "$pid")
wait_drawn
tap Return
# A few pieces: some to the left, some to the right, each dropped with Down.
for moves in "Left Left Left" "Right Right Right" "Left" "Up Right Right" "" "Up Left Left Left Left"; do
  for k in $moves; do tap "$k"; done
  xdotool keydown Down; sleep 0.6; xdotool keyup Down; sleep 0.1
done
sleep 0.8
# Full screen, SDL centres the 800x600 picture on the screen.
size=$(size_of "$w")
import -window root -gravity center -crop "$size+0+0" +repage "$out"
echo "$out ($size)"
