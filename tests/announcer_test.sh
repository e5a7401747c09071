#!/usr/bin/env bash
# announcer_test.sh SFX_DIR
# A speech recognizer (pocketsphinx with its US English model) that knows only
# the announcer's eleven phrases must name each spoken file right, both as a
# live recognizer hears it (continuous, cepstral means learnt as it goes) and
# as a whole file (batch). Fails on any line misheard or not heard at all.
set -uo pipefail
sfx=${1:?usage: announcer_test.sh SFX_DIR}
model=/usr/share/pocketsphinx/model/en-us
for tool in pocketsphinx_continuous pocketsphinx_batch sox; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh)"; exit 1; }
done
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
# The recognizer's model is for 16 kHz: the files are converted without dither.
while IFS='|' read -r name phrase; do
  if ! sox -D "$sfx/$name.wav" -r 16000 -b 16 -c 1 "$tmp/$name.wav" 2>"$tmp/sox.err"; then
    echo "FAIL: cannot read $sfx/$name.wav: $(head -1 "$tmp/sox.err")"
    exit 1
  fi
  echo "$name" >>"$tmp/ctl"
done <<<"$lines"
pocketsphinx_batch -ctl "$tmp/ctl" -cepdir "$tmp" -cepext .wav -adcin yes -hyp "$tmp/batch.hyp" "${args[@]}" 2>/dev/null

passed=0 failed=0
while IFS='|' read -r name phrase; do
  live=$(pocketsphinx_continuous -infile "$tmp/$name.wav" "${args[@]}" 2>/dev/null | paste -sd'/')
  whole=$(grep "($name " "$tmp/batch.hyp" | sed 's/ (.*//')
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
