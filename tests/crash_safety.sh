#!/usr/bin/env bash
# The record survives a crash: the real binary is driven to game over again and
# again (Return, Down held, Y) and killed with SIGKILL at random moments around
# the game-over writes. After every kill config.cfg must be the old or a new
# complete file (eleven decimal lines); a config.cfg.tmp a kill leaves behind
# must not stop the next start, and the next completed write must leave none.
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


drive() {
  sleep 1.2; tap Return
  while :; do
    xdotool keydown Down; sleep 0.3; xdotool keyup Down; sleep 0.05
    tap y || exit 0
  done
}

leftovers=0 writes_seen=0
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
  delay=$(awk -v s="$RANDOM" 'BEGIN{srand(s); printf "%.2f", rand()*4.0}')
  sleep "$delay"
  kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  kill "$keys" 2>/dev/null; wait "$keys" 2>/dev/null; xdotool keyup Down 2>/dev/null
  if ! msg=$(valid_config config.cfg); then echo "kill $k, ${delay}s after a write: $msg"; cat config.cfg; fail=1; fi
  [ "$(stat -c '%i %.9Y' config.cfg)" != "$before" ] && writes_seen=$((writes_seen + 1))
  [ -e config.cfg.tmp ] && leftovers=$((leftovers + 1))
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
  [ "$(stat -c '%i %.9Y' config.cfg)" != "$before" ] || { echo "clean run: no game over within 10 s"; fail=1; }
  sleep 0.5
  kill -TERM "$pid"; wait "$pid"; st=$?
  [ "$st" -eq 0 ] || { echo "clean run ended with status $st"; fail=1; }
else
  echo "clean run: no window"; fail=1; kill -9 "$pid" 2>/dev/null
fi
valid_config config.cfg >/dev/null || { echo "config.cfg broken after the clean run"; fail=1; }
[ -e config.cfg.tmp ] && { echo "config.cfg.tmp left after a completed write"; fail=1; }
echo "crash safety: $KILLS kills, $writes_seen came after a write (new inode), $leftovers left a config.cfg.tmp, record now $(tail -1 config.cfg)"
[ "$writes_seen" -gt 0 ] || { echo "no kill came after a game-over write: the drive did not reach game over"; fail=1; }
exit $fail
