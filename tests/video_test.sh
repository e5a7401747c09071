#!/usr/bin/env bash
# brixel --video on a short recorded game (data/video.rec, 900 passes, three rows
# burst): one file of each kind, checked with ffprobe (codecs, a frame a pass or a
# third of them in a GIF, the duration, the last frame against the game's, the sound not silent); then bad input,
# each with status 1 and no file left.   video_test.sh BINARY DATA_DIR (under X)
set -u
BIN=$1 DATA=$2 REC=$(readlink -f "$(dirname "$0")/data/video.rec")
[ -n "${DISPLAY:-}" ] || { echo "no X display" >&2; exit 1; }
tmp=$(mktemp -d /tmp/brixel-video.XXXXXX); trap 'rm -rf "$tmp"' EXIT
cd "$tmp" && for d in gfx sfx music; do ln -s "$DATA/$d" $d; done
printf '800\n600\n16\n1\n1\n1\n0\n0\n0\n1\n000000\n' > config.cfg; cp config.cfg config.before
fail=0; bad() { echo "FAIL: $*"; fail=1; }
passes=$(sed -n 's/^passes //p' "$REC")
# extension  video codec  sound codec  frames
while read -r ext vc ac frames; do
  out=$(BRIXEL_VIDEO_LAST=last.ppm "$BIN" --window --video "$REC" "game.$ext" 2>/dev/null </dev/null); rc=$?
  [ $rc = 0 ] && [ "$out" = "wrote game.$ext: 0:15, $frames frames" ] || bad "$ext: status $rc, said '$out'"
  got=$(ffprobe -v error -count_frames -show_entries stream=codec_name,nb_read_frames -of csv=p=0 "game.$ext" | tr '\n' ' ')
  want="$vc,$frames "; [ "$ac" = - ] || want="$want$ac,"
  case "$got" in "$want"*) ;; *) bad "$ext: streams '$got', wanted $vc with $frames frames, then $ac";; esac
  d=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "game.$ext")
  # Within a frame: a GIF's last frame may be timed to its own end or to the next.
  tol=0.03; [ "$ext" = gif ] && tol=0.06
  awk -v d="$d" -v p="$passes" -v t=$tol 'BEGIN { exit !(d > p / 60 - t && d < p / 60 + t) }' || bad "$ext: lasts $d s"
  # The picture's own track ends after its last frame (or players drop that frame).
  if [ "$ext" = mp4 ]; then
    vd=$(ffprobe -v error -select_streams v -show_entries stream=duration -of csv=p=0 game.mp4)
    awk -v d="$vd" -v p="$passes" 'BEGIN { exit !(d > p / 60 - 0.005 && d < p / 60 + 0.005) }' || bad "mp4: its picture lasts $vd s"
  fi
  if [ "$ac" != - ]; then
    # The file's last frame is the final well as the game drew it (PSNR over the
    # planes of the video's own pixel format, as encoders measure it).
    psnr=$(ffmpeg -i "game.$ext" -i last.ppm -lavfi "[0:v]select=eq(n\,$((frames - 1)))[a];[1:v]format=yuv420p[b];[a][b]psnr" \
      -f null - 2>&1 </dev/null | sed -n 's/.* average:\([0-9.inf]*\).*/\1/p')
    awk -v v="${psnr:-0}" 'BEGIN { exit !(v == "inf" || v >= 35) }' || bad "$ext: last frame at PSNR '$psnr' dB"
    peak=$(ffmpeg -i "game.$ext" -vn -af volumedetect -f null - 2>&1 </dev/null | sed -n 's/.*max_volume: \(-*[0-9.]*\) dB/\1/p')
    awk -v v="${peak:--99}" 'BEGIN { exit !(v > -20) }' || bad "$ext: the sound peaks at $peak dB"
  fi
done <<END
mp4 h264 aac $passes
webm vp8 opus $passes
gif gif - $(( (passes + 2) / 3 ))
END
cmp -s config.cfg config.before || bad "config.cfg changed"
# In step: with every sound but the row burst's silenced and the music at
# volume 0, the file's sound starts within a frame of the first burst's frame.
mkdir sync sync/sfx && for d in gfx music; do ln -s "$DATA/$d" sync/$d; done && cp config.cfg sync/
for f in "$DATA"/sfx/*.wav; do
  case $f in */intarget.wav) cp "$f" sync/sfx/ ;; *) ffmpeg -v error -i "$f" -af volume=0 "sync/sfx/${f##*/}" ;; esac
done
echo "music volume = 0" > sync/preferences.cfg
(cd sync && BRIXEL_VIDEO_BURSTS=bursts "$BIN" --window --video "$REC" sync.mp4 >/dev/null 2>&1 </dev/null)
burst=$(head -1 sync/bursts 2>/dev/null)
onset=$(ffmpeg -v error -i sync/sync.mp4 -vn -ac 1 -ar 48000 -f s16le - 2>/dev/null | od -An -v -td2 -w2 |
  awk '$1 > 2000 || $1 < -2000 { print NR - 1; exit }')
awk -v b="${burst:--9}" -v o="${onset:--9999}" 'BEGIN { exit !(b >= 0 && o >= (b - 1) * 800 && o <= (b + 1) * 800) }' ||
  bad "the burst's sound starts at sample ${onset:-none}, its first frame is ${burst:-none} (800 samples a frame)"
rm -rf sync

mkdir folder.mp4 alone; printf 'BRIXEL recording\nrules 99\n' > other.rec; : > empty.rec; ln -s game.mp4 link.mp4
cp "$BIN" alone/brixel
# Each is refused with status 1 and a message ($2 a word it must hold), leaving no file.
refused() {
  local what=$1 word=$2 before; shift 2
  before=$(ls -A | sort)
  "$@" >/dev/null 2>err </dev/null; rc=$?
  [ $rc = 1 ] && grep -q -- "$word" err || bad "$what: status $rc, message '$(cat err)'"
  rm -f err; [ "$(ls -A | sort)" = "$before" ] || bad "$what: left $(ls -A | sort | tr '\n' ' ')"
}
# what it is         recording   output
while read -r what rec out; do
  refused "$what" "brixel: " "$BIN" --window --video "$rec" "$out"
done <<END
missing         none.rec    x.mp4
empty           empty.rec   x.mp4
other-rules     other.rec   x.mp4
unknown-kind    $REC        x.avi
no-folder       $REC        nowhere/x.mp4
a-folder        $REC        folder.mp4
a-link          $REC        link.mp4
END
# A disk that fills up: every write past 256 KB fails, as on a full disk.
refused full-disk "cannot write" bash -c 'trap "" XFSZ; ulimit -f 256; exec "$0" --window --video "$1" x.mp4' "$BIN" "$REC"
# The program without its encoder module beside it.
refused no-encoder "video encoder" alone/brixel --window --video "$REC" x.mp4
[ -L link.mp4 ] || bad "link.mp4 was replaced"
[ $fail = 0 ] && echo "ok   video files and bad input"
exit $fail
