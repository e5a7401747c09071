#!/usr/bin/env bash
# Builds the settings-reader fuzzer (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) from settings.cpp alone and runs it. With
# BRIXEL_FUZZ_TARGET=player it fuzzes the readers of the table of best games and
# of recordings (corpus_player/); with BRIXEL_FUZZ_TARGET=preferences, the
# preferences.cfg reader (corpus_preferences/).
#   tests/fuzz/run_fuzz.sh [runs] [more libFuzzer options]
# The committed corpus is only read; new inputs go to $BRIXEL_FUZZ_DIR/corpus.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../../src" && pwd)
out=${BRIXEL_FUZZ_DIR:-/tmp/brixel-fuzz}
runs=${1:-10000000}
shift || true
target=${BRIXEL_FUZZ_TARGET:-settings}
sources=("$here/settings_fuzz.cpp")
corpus=$here/corpus
case "$target" in
  settings) ;;
  player)
    sources=("$here/player_fuzz.cpp" "$src/player/best_games.cpp" "$src/player/recording_file.cpp")
    corpus=$here/corpus_player ;;
  preferences)
    sources=("$here/preferences_fuzz.cpp" "$src/player/preferences.cpp" "$src/ustawienia/wiersze.cpp")
    corpus=$here/corpus_preferences ;;
  *) echo "run_fuzz.sh: BRIXEL_FUZZ_TARGET is settings, player or preferences" >&2; exit 2 ;;
esac
[ "$target" = settings ] || out=$out/$target
mkdir -p "$out/corpus"

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  $(pkg-config --cflags sdl) -I"$src" -I"$here/.." \
  "${sources[@]}" "$here/zaslepki.cpp" "$src/shell/settings.cpp" \
  $(pkg-config --libs sdl) -o "$out/${target}_fuzz"

cd "$out"
"./${target}_fuzz" -runs="$runs" -max_len=4096 -print_final_stats=1 "$@" "$out/corpus" "$corpus"
