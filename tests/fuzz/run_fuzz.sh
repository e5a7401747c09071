#!/usr/bin/env bash
# Builds the settings-reader fuzzer (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) from settings.cpp alone and runs it.
#   tests/fuzz/run_fuzz.sh [runs] [more libFuzzer options]
# The committed corpus is only read; new inputs go to $BRIXEL_FUZZ_DIR/corpus.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../../src" && pwd)
out=${BRIXEL_FUZZ_DIR:-/tmp/brixel-fuzz}
runs=${1:-10000000}
shift || true
mkdir -p "$out/corpus"

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  $(pkg-config --cflags sdl) -I"$src" -I"$here/.." \
  "$here/settings_fuzz.cpp" "$here/zaslepki.cpp" "$src/shell/settings.cpp" \
  -o "$out/settings_fuzz"

cd "$out"
./settings_fuzz -runs="$runs" -max_len=4096 -print_final_stats=1 "$@" "$out/corpus" "$here/corpus"
