#!/usr/bin/env bash
# A short run of the real binary under valgrind's memcheck: the menu, a game
# with moves and drops for a minute (to its game over, which re-creates the
# window, when the machine is quick enough), then SIGTERM. Fails on any error or definite leak whose stack passes through the
# game's own code; the libraries' own reports (Mesa, Xlib, OpenAL) are counted
# and shown, not failed.
#   memcheck.sh BINARY DATA_DIR        (under an X display, with xdotool)
set -u
. "$(dirname "$0")/xsession.sh"
bin=$(readlink -f "$1"); data=$(readlink -f "$2")
for t in valgrind xdotool xev; do command -v "$t" >/dev/null || { echo "SKIP: no $t"; exit 0; }; done
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no X display"; exit 1; }
# A small window, low detail, sound on (silent without a device): the cheapest
# frames, so that the run spends its time in the program, not the rasterizer.
work=$(game_dir "$data" 160 120 16 0 1 1 0 0 0 1 000000) || exit 1
pid= holder=
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; [ -n "$holder" ] && kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
hold_x_server
(cd "$work" && LP_NUM_THREADS=0 exec valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
   --errors-for-leak-kinds=definite --num-callers=40 --log-file="$work/memcheck.log" "$bin" 2>"$work/stderr") &
pid=$!
window_of "$pid" 120 >/dev/null || { echo "FAIL: no window under valgrind"; cat "$work/memcheck.log"; exit 1; }
wait_drawn 120 || { echo "FAIL: nothing drawn under valgrind"; exit 1; }
before=$(stamp_of "$work/config.cfg")
tap Return
# Drops until the game ends (the game-over write), at most a minute.
deadline=$((SECONDS + 60))
while [ "$(stamp_of "$work/config.cfg")" = "$before" ] && [ $SECONDS -lt $deadline ]; do
  tap Left; xdotool keydown Down; sleep 1.0; xdotool keyup Down; sleep 0.2
  kill -0 "$pid" 2>/dev/null || break
done
if [ "$(stamp_of "$work/config.cfg")" != "$before" ]; then
  echo "memcheck: played to a game over"
  sleep 2
else
  echo "memcheck: no game over within a minute (a slow machine); the run covers the menu and a game"
fi
kill -TERM "$pid"
wait_end "$pid" 120 || { echo "FAIL: the game did not end"; exit 1; }
pid=
[ "$status" = 0 ] || { echo "FAIL: status $status"; tail -30 "$work/memcheck.log"; exit 1; }
# Each report is a block of lines from its heading up to a bare "==PID==" line.
# It belongs to the game when its first frame outside the allocator is in the
# game's own code (a .cpp file of it, or the binary).
awk -v bin="$bin" '
  function flush() {
    total++
    if (mine) { own++; printf "%s\n", blk }
    blk = ""; decided = 0; mine = 0
  }
  /^==[0-9]+== *$/ { if (blk != "") flush(); next }
  blk == "" && /^==[0-9]+== (Invalid|Conditional|Use of uninitialised|Syscall param|Mismatched|Source and destination overlap|.*are definitely lost)/ { blk = $0 "\n"; next }
  blk == "" { next }
  { blk = blk $0 "\n" }
  !decided && /^==[0-9]+== +(at|by) / {
    if ($0 ~ /vgpreload_|: (malloc|calloc|realloc|strdup|operator new)/) next
    decided = 1
    mine = ($0 ~ /\([A-Za-z_]+\.(cpp|h):[0-9]+\)/ || index($0, "(in " bin ")") > 0)
  }
  END { if (blk != "") flush(); printf "memcheck: %d reports, %d in the game'\''s own code\n", total, own; exit own > 0 }
' "$work/memcheck.log"
rc=$?
grep -E "ERROR SUMMARY|definitely lost:" "$work/memcheck.log" | sed 's/^==[0-9]*== /memcheck: /'
[ -n "${BRIXEL_MEMCHECK_LOG:-}" ] && cp "$work/memcheck.log" "$BRIXEL_MEMCHECK_LOG"
exit $rc
