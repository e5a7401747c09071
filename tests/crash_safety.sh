#!/usr/bin/env bash
# The record survives a crash: the real binary is driven to game over again and
# again (Return, Down held, Y) and killed with SIGKILL at random moments around
# the game-over writes. After every kill config.cfg must be the old or a new
# complete file (eleven decimal lines). A kill can leave the temporary file of
# the write it cut short (config.cfg.tmp.XXXXXX): it must not stop the next
# start, and a completed write removes every one that is no longer fresh (the
# game spares those modified in the last 5 s), so they never pile up. Two such
# leftovers of an earlier session, one of an older version's fixed name, are
# there from the start.
#   crash_safety.sh BINARY DATA_DIR      BRIXEL_CRASH_KILLS=8 (100 for the long run)
# Needs an X display (ctest runs under xvfb-run) and xdotool.
set -u
. "$(dirname "$0")/xsession.sh"
BIN=$1
DATA=$2
KILLS=${BRIXEL_CRASH_KILLS:-8}
command -v xdotool >/dev/null || { echo "SKIP: no xdotool"; exit 0; }
[ -n "${DISPLAY:-}" ] || { echo "no X display" >&2; exit 1; }

work=$(mktemp -d /tmp/brixel-crash.XXXXXX)
holder=
cleanup() { [ -n "$holder" ] && kill "$holder" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
for d in gfx sfx music; do ln -s "$DATA/$d" "$work/$d"; done
# 800 x 600, low detail, sound on, no record yet: game overs raise it.
printf '800\n600\n16\n0\n1\n1\n0\n0\n0\n1\n000000\n' > "$work/config.cfg"
cd "$work"
printf '800\n600\n16\n' > config.cfg.tmp.Kill01
printf '800\n600\n' > config.cfg.tmp
touch -d '-1 min' config.cfg.tmp.Kill01 config.cfg.tmp
# A second X client, so that Xvfb does not regenerate when the game tears its
# window down at game over (a desktop always has other clients).
hold_x_server

fail=0
valid_config() {
  local f=$1 n
  n=$(wc -l < "$f")
  [ "$n" -eq 11 ] || { echo "config.cfg has $n lines"; return 1; }
  grep -qvE '^-?[0-9]+$' "$f" && { echo "config.cfg has a line that is no number"; return 1; }
  return 0
}

# The temporary files in the folder, of the game's pattern or the old fixed name.
temporaries() { find . -maxdepth 1 -name 'config.cfg.tmp*' | wc -l; }
# Fails when a temporary file that was already 7 s old outlived the completed
# write seen at second $1 (the 7 s leave a margin over the game's 5 s).
none_stale() {
  local f m bad=0
  for f in config.cfg.tmp*; do
    [ -e "$f" ] || [ -L "$f" ] || continue
    m=$(stat -c %Y "$f")
    if [ "$m" -lt $(($1 - 7)) ]; then echo "$f, $(($1 - m)) s old, outlived a completed write"; bad=1; fi
  done
  return $bad
}

drive() {
  sleep 1.2; tap Return
  while :; do
    xdotool keydown Down; sleep 0.3; xdotool keyup Down; sleep 0.05
    tap y || exit 0
  done
}

leftovers=0 writes_seen=0 most=0
for k in $(seq 1 "$KILLS"); do
  before=$(stat -c '%i %.9Y' config.cfg)
  "$BIN" 2>>stderr.log & pid=$!
  if ! window_of "$pid" >/dev/null; then echo "run $k: no window"; fail=1; kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; continue; fi
  # Start a game, then Down presses (each landed piece needs a fresh one) and
  # Y between them: game over follows game over, each one writing the file.
  # Wait for the first write, then kill at a random moment of the games that
  # follow, up to and across the next write.
  drive & keys=$!
  for _ in $(seq 1 300); do
    [ "$(stat -c '%i %.9Y' config.cfg)" != "$before" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ "$(stat -c '%i %.9Y' config.cfg)" != "$before" ]; then
    none_stale "$(date +%s)" || fail=1
  fi
  delay=$(awk -v s="$RANDOM" 'BEGIN{srand(s); printf "%.2f", rand()*4.0}')
  sleep "$delay"
  kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  kill "$keys" 2>/dev/null; wait "$keys" 2>/dev/null; xdotool keyup Down 2>/dev/null
  if ! msg=$(valid_config config.cfg); then echo "kill $k, ${delay}s after a write: $msg"; cat config.cfg; fail=1; fi
  [ "$(stat -c '%i %.9Y' config.cfg)" != "$before" ] && writes_seen=$((writes_seen + 1))
  n=$(temporaries)
  [ "$n" -gt 0 ] && leftovers=$((leftovers + 1))
  [ "$n" -gt "$most" ] && most=$n
done

# One clean run to a game over and a quit: it must start despite any leftover
# and leave no temporary file behind.
"$BIN" 2>>stderr.log & pid=$!
if window_of "$pid" >/dev/null; then
  before=$(stat -c '%i %.9Y' config.cfg)
  drive & keys=$!
  for _ in $(seq 1 100); do
    [ "$(stat -c '%i %.9Y' config.cfg)" != "$before" ] && break
    sleep 0.1
  done
  kill "$keys" 2>/dev/null; wait "$keys" 2>/dev/null; xdotool keyup Down 2>/dev/null
  if [ "$(stat -c '%i %.9Y' config.cfg)" != "$before" ]; then
    none_stale "$(date +%s)" || fail=1
  else
    echo "clean run: no game over within 10 s"; fail=1
  fi
  sleep 0.5
  kill -TERM "$pid"; wait "$pid"; st=$?
  [ "$st" -eq 0 ] || { echo "clean run ended with status $st"; fail=1; }
else
  echo "clean run: no window"; fail=1; kill -9 "$pid" 2>/dev/null
fi
valid_config config.cfg >/dev/null || { echo "config.cfg broken after the clean run"; fail=1; }
[ -e config.cfg.tmp ] && { echo "the old config.cfg.tmp outlived the completed writes"; fail=1; }
[ -e config.cfg.tmp.Kill01 ] && { echo "an earlier session's config.cfg.tmp.Kill01 outlived the completed writes"; fail=1; }
echo "crash safety: $KILLS kills, $writes_seen came after a write (new inode), $leftovers left a temporary file (at most $most at once), $(temporaries) left at the end, record now $(tail -1 config.cfg)"
[ "$writes_seen" -gt 0 ] || { echo "no kill came after a game-over write: the drive did not reach game over"; fail=1; }
exit $fail
