#!/usr/bin/env bash
# Speed figures of BRIXEL; run by `make bench` inside Xvfb (with -noreset: an
# Xvfb without other clients regenerates each time the game's window is torn
# down, which costs ~0.4 s per re-creation and can refuse the reconnection).
#   bench/run_bench.sh BUILD_DIR      PASSES=1000 CALLGRIND_PASSES=30 STARTS=10 FLOOR_RUNS=9
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
PASSES=${PASSES:-1000}
CG_PASSES=${CALLGRIND_PASSES:-30}
STARTS=${STARTS:-10}
FLOOR_RUNS=${FLOOR_RUNS:-9}
tmp=$(mktemp -d /tmp/brixel-bench.XXXXXX)
trap 'rm -rf "$tmp"' EXIT

echo "== Start-up and re-creation beside their bare floors (alternating runs)"
"$BUILD/bench/brixel_bench" floor "$BUILD/brixel" "$BUILD/bench/brixel_goly_start" \
  "$BUILD/bench/libbrixel_pierwsza_klatka.so" "$FLOOR_RUNS" 2>/dev/null
echo "load: $(uptime)"
echo
echo "== GL work of one recorded pass per case (counts per pass)"
"$BUILD/bench/brixel_bench_zapis" record "$tmp" 2>/dev/null
echo
echo "== Pass cost beside the reference frame"
"$BUILD/bench/brixel_bench" time "$tmp" "$PASSES" 2>/dev/null
echo
echo "== Start-up and memory of the real binary"
"$BUILD/bench/brixel_bench" start-up "$BUILD/brixel" "$BUILD/bench/libbrixel_pierwsza_klatka.so" "$STARTS" 2 2>/dev/null
"$BUILD/bench/brixel_bench" start-up "$BUILD/brixel" "$BUILD/bench/libbrixel_pierwsza_klatka.so" 1 1000 2>/dev/null | tail -1

if [ "$CG_PASSES" -gt 0 ] && command -v valgrind >/dev/null; then
  echo
  echo "== Instructions (callgrind) over $CG_PASSES passes of 800x600-HIGH-full-normal, by object"
  (cd "$tmp" && valgrind --tool=callgrind --callgrind-out-file="$tmp/cg.out" --dump-instr=no \
     "$BUILD/bench/brixel_bench" callgrind 800x600-HIGH-full-normal "$CG_PASSES" >/dev/null 2>&1)
  dump=$(ls "$tmp"/cg.out.* | head -1)
  callgrind_annotate --inclusive=no --auto=no --threshold=100 "$dump" 2>/dev/null | python3 -c '
import re, sys
passes = int(sys.argv[1])
by_obj, own = {}, {}
for line in sys.stdin:
    m = re.match(r"\s*([\d,]+) \(\s*[\d.]+%\)\s+(.*?)(?: \[(.*)\])?$", line)
    if not m or m.group(2) == "PROGRAM TOTALS":
        continue
    n, fn, obj = int(m.group(1).replace(",", "")), m.group(2), m.group(3) or "(JIT code, no object)"
    path = fn.split(":")[0]
    if re.search(r"(^|/)src/", path) and "bench" not in path:
        key = "game code (src/)"
        own[fn.split(":")[1].split("(")[0]] = own.get(fn.split(":")[1].split("(")[0], 0) + n
    elif "(below main)" in fn or "/bench/" in fn:
        continue
    else:
        key = obj.split("/")[-1]
    by_obj[key] = by_obj.get(key, 0) + n
total = sum(by_obj.values())
for k, v in sorted(by_obj.items(), key=lambda x: -x[1])[:12]:
    print("%14d Ir/pass  %5.1f%%  %s" % (v // passes, 100.0 * v / total, k))
g = by_obj.get("game code (src/)", 0) // passes
print("game code: %d instructions per pass, about %.3f ms at 1 instruction/ns" % (g, g / 1e6))
print("top game functions (Ir per pass):")
for k, v in sorted(own.items(), key=lambda x: -x[1])[:8]:
    print("%12d  %s" % (v // passes, k))
' "$CG_PASSES"
fi
