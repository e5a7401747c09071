#!/usr/bin/env bash
# Builds the Debian package into a temporary folder, checks it with lintian,
# desktop-file-validate and appstreamcli, unpacks it (no system install) and
# starts the game through the unpacked launcher with a fresh $XDG_DATA_HOME:
# the window opens and the player's config.cfg is made from the default.
#   package_test.sh BUILD_DIR        (under an X display, with xdotool)
set -u
. "$(dirname "$0")/xsession.sh"
build=$(readlink -f "${1:?usage: package_test.sh BUILD_DIR}")
for t in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli xdotool; do
  command -v "$t" >/dev/null || { echo "FAIL: $t is missing (scripts/install-deps.sh installs it)"; exit 1; }
done
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no X display (run under xvfb-run)"; exit 1; }

tmp=$(mktemp -d /tmp/brixel-package.XXXXXX)
holder= pid=
cleanup() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok   $*"; }

(cd "$build" && cpack -G DEB -B "$tmp/out") >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/out/brixel_*_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { cat "$tmp/cpack.log"; fail "no brixel_<version>_<arch>.deb"; }
ok "built $(basename "$deb")"

lintian --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 || { cat "$tmp/lintian.log"; fail "lintian"; }
ok "lintian: no error or warning"

dpkg-deb -c "$deb" >"$tmp/contents"
awk '$2 != "root/root"' "$tmp/contents" | grep . && fail "files not owned by root/root"
dpkg-deb -f "$deb" Section Depends >"$tmp/fields"
grep -qx 'Section: games' "$tmp/fields" && grep -q 'libsdl1.2debian' "$tmp/fields" && grep -q 'libavcodec' "$tmp/fields" ||
  { cat "$tmp/fields"; fail "section or computed dependencies wrong"; }
root=$tmp/root
dpkg-deb -x "$deb" "$root"
for f in usr/games/brixel usr/lib/games/brixel/brixel usr/lib/games/brixel/brixel-video.so \
         usr/share/games/brixel/config.cfg \
         usr/share/games/brixel/gfx/font.png usr/share/games/brixel/sfx/explosion.wav \
         usr/share/games/brixel/music/start.mp3 usr/share/man/man6/brixel.6.gz \
         usr/share/doc/brixel/copyright usr/share/doc/brixel/changelog.gz; do
  [ -s "$root/$f" ] || fail "/$f is missing"
done
# Each icon is a PNG whose header gives the size of its folder.
for s in 16 22 24 32 48 64 128 256; do
  icon=$root/usr/share/icons/hicolor/${s}x${s}/apps/brixel.png
  want=$(printf '49484452%08x%08x' "$s" "$s")
  [ "$(od -An -tx1 -j12 -N12 "$icon" 2>/dev/null | tr -d ' \n')" = "$want" ] || fail "no ${s}x${s} icon"
done
ok "contents: games layout, data, man page, copyright, changelog, 8 icon sizes, root:root"

desktop-file-validate "$root/usr/share/applications/brixel.desktop" >"$tmp/desktop.log" 2>&1
[ $? -eq 0 ] && ! grep -q . "$tmp/desktop.log" || { cat "$tmp/desktop.log"; fail "desktop-file-validate"; }
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net --pedantic "$metainfo" >"$tmp/appstream.log" 2>&1
st=$?
grep -E '^[EW]: ' "$tmp/appstream.log" && st=1
[ $st -eq 0 ] || { cat "$tmp/appstream.log"; fail "appstreamcli validate"; }
ok "desktop entry and $(basename "$metainfo") validate"

# The unpacked game, started as a desktop would, with a fresh per-user folder.
hold_x_server
export XDG_DATA_HOME=$tmp/xdg HOME=$tmp/home
mkdir -p "$HOME"
(cd "$HOME" && exec "$root/usr/games/brixel" >/dev/null 2>"$tmp/stderr") &
pid=$!
window_of "$pid" >/dev/null || { cat "$tmp/stderr"; fail "no BRIXEL window from the unpacked launcher"; }
cmp -s "$XDG_DATA_HOME/brixel/config.cfg" "$root/usr/share/games/brixel/config.cfg" ||
  fail "the first start did not make \$XDG_DATA_HOME/brixel/config.cfg from the default"
kill -TERM "$pid"
wait_end "$pid" || fail "SIGTERM did not end the game"
pid=
[ "$status" = 0 ] || fail "the game ended with status $status"
ok "the unpacked game opens its window and makes the player's config.cfg"
echo PASS
