#!/usr/bin/env bash
# Builds the settings-reader fuzzer (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) from settings.cpp alone and runs it; with
# BRIXEL_FUZZ_TARGET=player, the fuzzer of the readers of the table of best
# games and of recordings (with their corpus, corpus_player/).
#   tests/fuzz/run_fuzz.sh [runs] [more libFuzzer options]
# The committed corpus is only read; new inputs go to $BRIXEL_FUZZ_DIR/corpus.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../../src" && pwd)
out=${BRIXEL_FUZZ_DIR:-/tmp/brixel-fuzz}
runs=${1:-10000000}
shift || true
target=${BRIXEL_FUZZ_TARGET:-settings}
zrodla=("$here/settings_fuzz.cpp")
korpus="$here/corpus"
if [ "$target" = player ]; then
  out="$out/player"
  zrodla=("$here/player_fuzz.cpp" "$src/player/best_games.cpp" "$src/player/recording_file.cpp")
  korpus="$here/corpus_player"
fi
mkdir -p "$out/corpus"

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  $(pkg-config --cflags sdl) -I"$src" -I"$here/.." \
  "${zrodla[@]}" "$here/zaslepki.cpp" "$src/shell/settings.cpp" \
  -o "$out/${target}_fuzz"

cd "$out"
"./${target}_fuzz" -runs="$runs" -max_len=4096 -print_final_stats=1 "$@" "$out/corpus" "$korpus"
