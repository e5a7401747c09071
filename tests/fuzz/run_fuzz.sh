#!/usr/bin/env bash
# Builds the settings-reader fuzzer (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) from settings.cpp alone and runs it.
#   tests/fuzz/run_fuzz.sh [runs] [more libFuzzer options]
# The committed corpus is only read; new inputs go to $BRIXEL_FUZZ_DIR/corpus.
# BRIXEL_FUZZ_TARGET=preferences fuzzes the preferences.cfg reader instead
# (preferences.cpp with settings.cpp's writer; its corpus is corpus_preferences).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../../src" && pwd)
out=${BRIXEL_FUZZ_DIR:-/tmp/brixel-fuzz}
runs=${1:-10000000}
shift || true
mkdir -p "$out/corpus"

target=${BRIXEL_FUZZ_TARGET:-settings}
sources=("$here/settings_fuzz.cpp")
corpus=$here/corpus
if [ "$target" = preferences ]; then
  sources=("$here/preferences_fuzz.cpp" "$src/player/preferences.cpp")
  corpus=$here/corpus_preferences
  out=$out/preferences
  mkdir -p "$out/corpus"
fi

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  $(pkg-config --cflags sdl) -I"$src" -I"$here/.." \
  "${sources[@]}" "$here/zaslepki.cpp" "$src/shell/settings.cpp" \
  $(pkg-config --libs sdl) -o "$out/${target}_fuzz"

cd "$out"
"./${target}_fuzz" -runs="$runs" -max_len=4096 -print_final_stats=1 "$@" "$out/corpus" "$corpus"
