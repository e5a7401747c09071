#!/usr/bin/env bash
# The three fuzzers (settings, player, preferences) built by run_fuzz.sh, with
# its own flags, into a temporary folder and each run on RUNS inputs: one that
# does not build, finds a crash or stops short fails the test, its output shown.
# The committed corpora are only read. Skipped (status 77) where clang or its
# fuzzer runtime is missing.
#   fuzzers_test.sh [RUNS]      (20000)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runs=${1:-20000}

command -v clang++ >/dev/null || {
  echo "note: fuzzers_test skipped: clang is not installed (scripts/install-deps.sh installs it)"; exit 77; }
tmp=$(mktemp -d /tmp/brixel-fuzzers.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
# clang without its fuzzer runtime cannot link even an empty fuzzer.
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' >"$tmp/empty.cpp"
clang++ -fsanitize=fuzzer,address,undefined "$tmp/empty.cpp" -o "$tmp/empty" 2>"$tmp/empty.log" || {
  echo "note: fuzzers_test skipped: clang cannot link a fuzzer: $(head -1 "$tmp/empty.log") (scripts/install-deps.sh installs libclang-rt-dev)"
  exit 77; }

# The status is the test's own: libFuzzer's for a crash is 77, a skip to ctest.
fail=0
for target in settings player preferences; do
  log=$tmp/$target.log start=$SECONDS
  if BRIXEL_FUZZ_DIR=$tmp/out BRIXEL_FUZZ_TARGET=$target bash "$here/run_fuzz.sh" "$runs" >"$log" 2>&1 &&
    grep -q "^Done $runs runs" "$log"; then
    echo "$target: $runs inputs, $(awk '/^stat::average_exec_per_sec:/ {print $2}' "$log") a second, built and run in $((SECONDS - start)) s"
  else
    echo "FAIL: the $target fuzzer did not build or did not run $runs inputs cleanly; its output:"
    cat "$log"
    fail=1
  fi
done
exit $fail
