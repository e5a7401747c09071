#!/usr/bin/env bash
# announcer_test.sh SFX_DIR
# A speech recognizer (pocketsphinx with its US English model) that knows only
# the announcer's eleven phrases must name each spoken file right, both as a
# live recognizer hears it (continuous, cepstral means learnt as it goes) and
# as a whole file (batch), with pocketsphinx 0.8 or 5. Fails on any line
# misheard or not heard at all, and when no recognizer is installed.
set -uo pipefail
sfx=${1:?usage: announcer_test.sh SFX_DIR}
model=/usr/share/pocketsphinx/model/en-us
# pocketsphinx 0.8 (Debian 12) has a program for each way of listening;
# pocketsphinx 5 (Debian 13 and later) has one program, "pocketsphinx", whose
# "live" and "single" commands do the same and answer in JSON.
if command -v pocketsphinx_continuous >/dev/null; then
  recognizer=0.8
elif command -v pocketsphinx >/dev/null && pocketsphinx help 2>&1 | grep -q 'single'; then
  recognizer=5
else
  echo "FAIL: no recognizer: neither pocketsphinx_continuous (pocketsphinx 0.8) nor pocketsphinx (5 or later) is installed (scripts/install-deps.sh)"
  exit 1
fi
for tool in sox $([ "$recognizer" = 0.8 ] && echo pocketsphinx_batch); do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh)"; exit 1; }
done
echo "recognizer: pocketsphinx $recognizer"
[ -f "$model/cmudict-en-us.dict" ] || { echo "FAIL: no model in $model (pocketsphinx-en-us)"; exit 1; }

# file|phrase, as the game's generator speaks them
lines="greetings|welcome to brixel
level|next level
impressive|impressive
perfect|perfect
godlike|godlike
combo|combo
record|new record
gameover|game over
trythislaugh|try this ha ha ha
panic|panic
children|you play like a child"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The grammar: exactly the eleven phrases.
{
  echo "#JSGF V1.0;"
  echo "grammar announcer;"
  printf 'public <line> = %s;\n' "$(cut -d'|' -f2 <<<"$lines" | paste -sd'|' | sed 's/|/ | /g')"
} >"$tmp/lines.gram"
# The words with every pronunciation the model's dictionary gives; the two it
# lacks are spelt out here.
for w in $(cut -d'|' -f2 <<<"$lines" | tr ' ' '\n' | sort -u); do
  case $w in
    brixel) echo "brixel B R IH K S AH L" ;;
    godlike) echo "godlike G AA D L AY K" ;;
    *) grep -E "^$w(\([0-9]+\))? " "$model/cmudict-en-us.dict" || echo "MISSING $w" ;;
  esac
done >"$tmp/lines.dict"
if grep -q '^MISSING' "$tmp/lines.dict"; then
  echo "FAIL: not in the dictionary: $(grep '^MISSING' "$tmp/lines.dict" | cut -d' ' -f2 | xargs)"
  exit 1
fi

args=(-hmm "$model/en-us" -dict "$tmp/lines.dict" -jsgf "$tmp/lines.gram" -logfn /dev/null)
# pocketsphinx 5 rescores the grammar's result over its word lattice by default,
# and that last pass can end on a path the grammar does not finish ("next
# level" heard as "new"); the grammar's own search is what 0.8 answers with.
[ "$recognizer" = 5 ] && args+=(-bestpath no)
# The recognizer's model is for 16 kHz: the files are converted without dither.
while IFS='|' read -r name phrase; do
  if ! sox -D "$sfx/$name.wav" -r 16000 -b 16 -c 1 "$tmp/$name.wav" 2>"$tmp/sox.err"; then
    echo "FAIL: cannot read $sfx/$name.wav: $(head -1 "$tmp/sox.err")"
    exit 1
  fi
  echo "$name" >>"$tmp/ctl"
done <<<"$lines"
[ "$recognizer" = 0.8 ] &&
  pocketsphinx_batch -ctl "$tmp/ctl" -cepdir "$tmp" -cepext .wav -adcin yes -hyp "$tmp/batch.hyp" "${args[@]}" 2>/dev/null

# The text of each utterance of pocketsphinx 5's JSON lines, one a line.
utterances() { sed -n 's/^{"b":[^,]*,"d":[^,]*,"p":[^,]*,"t":"\([^"]*\)".*/\1/p'; }

passed=0 failed=0
while IFS='|' read -r name phrase; do
  if [ "$recognizer" = 0.8 ]; then
    live=$(pocketsphinx_continuous -infile "$tmp/$name.wav" "${args[@]}" 2>/dev/null | paste -sd'/')
    whole=$(grep "($name " "$tmp/batch.hyp" | sed 's/ (.*//')
  else
    live=$(pocketsphinx "${args[@]}" live "$tmp/$name.wav" 2>/dev/null | utterances | paste -sd'/')
    whole=$(pocketsphinx "${args[@]}" single "$tmp/$name.wav" 2>/dev/null | utterances | paste -sd'/')
  fi
  if [ "$live" = "$phrase" ] && [ "$whole" = "$phrase" ]; then
    passed=$((passed + 1))
    printf 'ok    %-13s "%s"\n' "$name" "$phrase"
  else
    failed=$((failed + 1))
    printf 'FAIL  %-13s "%s": heard live "%s", whole "%s"\n' "$name" "$phrase" "$live" "$whole"
  fi
done <<<"$lines"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
