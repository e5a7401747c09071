#!/usr/bin/env bash
# Installs the build into a temporary prefix and plays the installed game the
# way a desktop does: the launcher on the PATH, a fresh per-user folder.
#   install_test.sh BUILD_DIR        (under an X display, with xdotool)
# Checks the installed files, that the first start creates
# $XDG_DATA_HOME/brixel with the default config.cfg and plays from it, that a
# later start keeps the player's own settings and record, and that the install
# still works after being moved to another prefix.
set -u
. "$(dirname "$0")/xsession.sh"
build=$(readlink -f "${1:?usage: install_test.sh BUILD_DIR}")
for t in xdotool xwininfo xev import; do
  command -v "$t" >/dev/null || { echo "SKIP: $t is missing"; exit 0; }
done
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no X display (run under xvfb-run)"; exit 1; }

tmp=$(mktemp -d /tmp/brixel-install.XXXXXX)
holder= pid= watcher=
cleanup() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
hold_x_server
fail() { echo "FAIL: $*"; [ -f "$tmp/stderr" ] && { echo "--- stderr:"; cat "$tmp/stderr"; }; exit 1; }
ok() { echo "ok   $*"; }

prefix=$tmp/usr
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; fail "cmake --install"; }

[ -x "$prefix/games/brixel" ] || fail "no launcher games/brixel"
game=$(find "$prefix/lib" -type f -name brixel -perm -u+x | head -1)
[ -n "$game" ] || fail "no program under lib/"
share=$prefix/share/games/brixel
for f in gfx/font.png gfx/background.png sfx/explosion.wav music/start.mp3 config.cfg; do
  [ -s "$share/$f" ] || fail "share/games/brixel/$f is missing"
done
[ -e "$share/gfx/.stamp" ] && fail "the build's stamp file was installed"
desktop=$prefix/share/applications/brixel.desktop
grep -qx 'Exec=brixel' "$desktop" && grep -qx 'Icon=brixel' "$desktop" && grep -qx 'Type=Application' "$desktop" ||
  fail "brixel.desktop lacks Exec=brixel, Icon=brixel or Type=Application"
icon=$prefix/share/icons/hicolor/128x128/apps/brixel.png
# A PNG whose header says 128 x 128.
[ "$(od -An -tx1 -N4 "$icon" 2>/dev/null | tr -d ' \n')" = "89504e47" ] &&
  [ "$(od -An -tx1 -j12 -N12 "$icon" | tr -d ' \n')" = "494844520000008000000080" ] || fail "the icon is not a 128x128 PNG"
ok "installed: launcher, program, data, desktop entry, 128x128 icon"

# Starts the launcher found on the PATH, with a fresh home.
export XDG_DATA_HOME=$tmp/xdg HOME=$tmp/home
mkdir -p "$HOME"
# Mode $1 (octal) less the umask, as ls and stat print it.
umask_mode() { printf '%o' $((0$1 & ~0$(umask))); }
launch() {
  (cd "$tmp" && PATH="$1:$PATH" exec brixel >/dev/null 2>"$tmp/stderr") &
  pid=$!
}
stop() {
  kill -TERM "$pid"
  wait_end "$pid" || fail "SIGTERM did not end the game"
  pid=
  [ "$status" = 0 ] || fail "the game ended with status $status"
}
home=$XDG_DATA_HOME/brixel

launch "$prefix/games"
w=$(window_of "$pid") || fail "no window from the installed game"
[ "$(size_of "$w")" = 800x600 ] || fail "the default settings give a $(size_of "$w") window, not 800x600"
cmp -s "$home/config.cfg" "$share/config.cfg" || fail "the first start did not copy the default config.cfg"
[ -f "$home/config.cfg" ] && [ ! -L "$home/config.cfg" ] || fail "the first start's config.cfg is no regular file"
[ "$(stat -c %a "$home/config.cfg")" = "$(umask_mode 644)" ] ||
  fail "the first start's config.cfg has mode $(stat -c %a "$home/config.cfg"), not 644 less the umask"
ls -A "$home" | grep -q '^config\.cfg\.tmp' && fail "the first start left a temporary file: $(ls -A "$home")"
[ -f "$home/gfx/font.png" ] && [ -f "$home/music/start.mp3" ] || fail "the per-user folder does not reach the data"
stop
grep -v '^brixel: no audio device, sound is off$' "$tmp/stderr" | grep -q . && fail "messages on stderr"
ok "first start: $home made with the default config.cfg, 800x600 window"
cmp -s "$home/preferences.cfg" "$share/preferences.cfg" || fail "the first start did not copy the example preferences.cfg"
ok "first start: the example preferences.cfg copied, no message from it"

# config.cfg as a link, in a folder of its own. One to a missing file: the
# launcher says so and ends with 1 instead of making the file where it points.
links=$tmp/links
mkdir -p "$links/brixel" "$tmp/outside"
ln -s "$tmp/outside/missing.cfg" "$links/brixel/config.cfg"
(cd "$tmp" && XDG_DATA_HOME=$links PATH="$prefix/games:$PATH" exec timeout 20 brixel >/dev/null 2>"$tmp/stderr")
st=$?
[ "$st" = 1 ] || fail "a config.cfg link to a missing file: the launcher ended with $st, not 1"
grep -q "config.cfg is a link to a missing file" "$tmp/stderr" || fail "a config.cfg link to a missing file: no message saying so"
[ -e "$tmp/outside/missing.cfg" ] && fail "the launcher wrote the default through a dangling config.cfg link"
[ -L "$links/brixel/config.cfg" ] || fail "the dangling config.cfg link was replaced"
ls -A "$links/brixel" | grep -q '^config\.cfg\.tmp' && fail "a temporary file was left beside the dangling link"
ok "a config.cfg link to a missing file: a message, status 1, nothing written through it"

# One to an existing file is the player's choice: the game starts from it, and
# it stays a link to the untouched file.
rm "$links/brixel/config.cfg"
printf '640\n480\n16\n0\n1\n1\n0\n0\n0\n1\n000777\n' >"$tmp/outside/mine.cfg"
cp "$tmp/outside/mine.cfg" "$tmp/mine.before"
ln -s "$tmp/outside/mine.cfg" "$links/brixel/config.cfg"
XDG_DATA_HOME=$links
launch "$prefix/games"
w=$(window_of "$pid") || fail "no window with config.cfg a link to the player's file"
[ "$(size_of "$w")" = 640x480 ] || fail "config.cfg a link: the game did not read the linked settings"
stop
XDG_DATA_HOME=$tmp/xdg
[ "$(readlink "$links/brixel/config.cfg")" = "$tmp/outside/mine.cfg" ] || fail "the player's config.cfg link was replaced"
cmp -s "$tmp/outside/mine.cfg" "$tmp/mine.before" || fail "the file the player's config.cfg links to was changed"
ok "a config.cfg link to an existing file: started from it (640x480), link and file kept"

# The player's settings and record: a later start reads them and leaves them.
printf '640\n480\n16\n0\n1\n1\n0\n0\n0\n1\n004321\n' >"$home/config.cfg"
launch "$prefix/games"
w=$(window_of "$pid") || fail "no window on the second start"
[ "$(size_of "$w")" = 640x480 ] || fail "the second start did not read the player's config.cfg"
stop
[ "$(sed -n 11p "$home/config.cfg")" = 004321 ] || fail "the player's record was overwritten"
ok "second start: the player's config.cfg (640x480, record 004321) read and kept"

# The player's own preferences.cfg is left as it is.
printf 'left = a\n' >"$home/preferences.cfg"
launch "$prefix/games"
window_of "$pid" >/dev/null || fail "no window with the player's preferences.cfg"
stop
[ "$(cat "$home/preferences.cfg")" = "left = a" ] || fail "the launcher changed the player's preferences.cfg"
ok "the player's preferences.cfg kept"

# Saving the options writes config.cfg in the player's folder; EXIT then ends
# the game with status 0.
before=$(stamp_of "$home/config.cfg")
launch "$prefix/games"
window_of "$pid" >/dev/null || fail "no window on the third start"
wait_drawn || fail "the menu was never drawn"
watch_windows "$tmp/windows"
tap Down       # OPTIONS
tap Return     # the list
tap Return     # save and apply
deadline=$((SECONDS + 20))
while [ "$(stamp_of "$home/config.cfg")" = "$before" ]; do
  [ $SECONDS -lt $deadline ] || fail "saving the options wrote no config.cfg in the player's folder"
  sleep 0.1
done
[ "$(sed -n 11p "$home/config.cfg")" = 004321 ] || fail "saving the options lost the record"
# The window is re-created: wait for the new one, then for its first frame.
wait_recreated "$tmp/windows" || fail "the window was not re-created"
wait_drawn || fail "the re-created window was never drawn"
tap Down       # EXIT
tap Return
wait_end "$pid" || fail "EXIT did not end the game"
pid=
[ "$status" = 0 ] || fail "EXIT ended with status $status"
ok "options saved into the player's folder (record kept); EXIT ends with status 0"

# The install moved elsewhere still finds its own files.
mv "$prefix" "$tmp/moved"
launch "$tmp/moved/games"
window_of "$pid" >/dev/null || fail "no window after moving the install"
stop
[ "$(readlink -f "$home/gfx")" = "$(readlink -f "$tmp/moved/share/games/brixel/gfx")" ] || fail "the data links still point at the old place"
ok "a moved install starts and links its new data"
echo PASS
