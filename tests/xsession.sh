# Helpers shared by the scripts that drive the real program under X (sourced).

# Keeps one X client connected: an Xvfb without clients resets when the game's
# window is torn down for a re-creation, and refuses connections while it does.
# Sets holder to its process id.
hold_x_server() {
  xprop -root -spy >/dev/null 2>&1 &
  holder=$!
}

# The window of process $1 (by process id and title), polled until it shows;
# prints its id. Fails when the process ends or after $2 seconds (default 30).
window_of() {
  local pid=$1 w deadline=$((SECONDS + ${2:-30}))
  while [ $SECONDS -lt $deadline ]; do
    kill -0 "$pid" 2>/dev/null || return 1
    w=$(xdotool search --all --pid "$pid" --name '^BRIXEL$' 2>/dev/null | head -1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.05
  done
  return 1
}

# WIDTHxHEIGHT of window $1.
size_of() {
  xwininfo -id "$1" 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

# One key press, held long enough for several frames to see it.
tap() {
  xdotool keydown "$1"; sleep 0.12; xdotool keyup "$1"; sleep 0.12
}
taps() { local k=$1 n=$2; for _ in $(seq "$n"); do tap "$k"; done; }

# Inode and modification time of a file: a write renames a new file over it,
# so one of them changes.
stamp_of() { stat -c '%i %.9Y' "$1" 2>/dev/null; }

# Waits up to $2 seconds (default 20) for process $1 to end; sets status to
# its exit status. Fails when it does not end.
wait_end() {
  local pid=$1 deadline=$((SECONDS + ${2:-20}))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
  wait "$pid"
  status=$?
  return 0
}

# Waits up to $1 seconds (default 30) until the screen shows a drawn frame
# (more than a few colours): the program has loaded its pictures and its loop
# runs, so key presses from now on are seen. An empty screen, or a window not
# yet drawn into, holds one or two. (The screen, not the window: a GL window's
# own contents read back empty.)
wait_drawn() {
  local n deadline=$((SECONDS + ${1:-30}))
  while [ $SECONDS -lt $deadline ]; do
    n=$(import -window root -format '%k' info:- 2>/dev/null)
    [ -n "$n" ] && [ "$n" -gt 16 ] && return 0
    sleep 0.1
  done
  return 1
}

# Records the creation, mapping and destruction of top-level windows into file
# $1 from now on (xev on the root window); sets watcher to its process id.
watch_windows() {
  : >"$1"
  xev -root -event substructure >"$1" 2>/dev/null &
  watcher=$!
}

# Waits up to $2 seconds (default 30) until the file of watch_windows shows a
# window destroyed and a window mapped after it: the program re-created its
# window. Clears the file for the next wait.
wait_recreated() {
  local deadline=$((SECONDS + ${2:-30}))
  while [ $SECONDS -lt $deadline ]; do
    if awk '/^DestroyNotify event/ {d = 1} d && /^MapNotify event/ {found = 1} END {exit !found}' "$1"; then
      : >"$1"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# A fresh working directory for the game: links to the data in $1 and a
# config.cfg of the eleven values given as the remaining arguments. Prints its
# path; the caller removes it.
game_dir() {
  local data=$1 dir d
  shift
  dir=$(mktemp -d /tmp/brixel-run.XXXXXX) || return 1
  for d in gfx sfx music; do ln -s "$data/$d" "$dir/$d"; done
  printf '%s\n' "$@" >"$dir/config.cfg"
  echo "$dir"
}

# Starts the game $1 in working directory $2, output thrown away; sets pid.
start_game() {
  (cd "$2" && exec "$1" >/dev/null 2>&1) &
  pid=$!
}

# Saves the game's picture, $2 x $3 pixels, into file $1: SDL centres its
# full-screen picture on the screen.
shot_game() {
  import -window root -gravity center -crop "$2x$3+0+0" +repage -quality 10 "$1"
}

# Holds Down for a moment again and again (every locked piece needs a fresh
# press) until the game ends, which writes config.cfg $1. Fails when process
# $pid ends first or after $2 seconds (default 60).
drop_to_game_over() {
  local before deadline=$((SECONDS + ${2:-60}))
  before=$(stamp_of "$1")
  while [ $SECONDS -lt $deadline ]; do
    xdotool keydown Down; sleep 0.3; xdotool keyup Down; sleep 0.06
    [ "$(stamp_of "$1")" != "$before" ] && return 0
    kill -0 "$pid" 2>/dev/null || return 1
  done
  return 1
}
