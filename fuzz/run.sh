#!/usr/bin/env bash
# Builds the fuzz harnesses with clang in a build folder of their own and runs each one for a
# bounded time, printing its executions and crashes. Usage: fuzz/run.sh [SECONDS] [HARNESS...]
# Exits non-zero when any harness found a crash; its inputs are kept under build-fuzz/crashes/,
# to be copied into tests/data/ once the fault is mended.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  harnesses=(FuzzZipScan FuzzPdfTail FuzzCompoundFile FuzzLicence)
fi
build="${PRESSLING_FUZZ_BUILD:-build-fuzz}"
jobs="${PRESSLING_FUZZ_JOBS:-2}"

mkdir -p "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPRESSLING_FUZZ=ON -DPRESSLING_TESTS=OFF -DPRESSLING_BENCH=OFF > "$build/configure.log"
cmake --build "$build" -j"$jobs" --target MakeFuzzSeeds "${harnesses[@]}"

seeds="$build/seeds"
rm -rf "$seeds"
"$build/fuzz/MakeFuzzSeeds" "$seeds" "../shared/corpus/office-crypto"

seedFolder() {
  case "$1" in
    FuzzZipScan) echo zip ;;
    FuzzPdfTail) echo pdf ;;
    FuzzCompoundFile) echo compound ;;
    FuzzLicence) echo licence ;;
  esac
}

# The full stack of every allocation, so that a leak can be told apart by the library it is in.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan-suppressions.txt"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
for harness in "${harnesses[@]}"; do
  corpus="$build/corpus/$harness"
  crashes="$build/crashes/$harness"
  mkdir -p "$corpus" "$crashes"
  log="$build/$harness.log"
  status=0
  "$build/fuzz/$harness" "$corpus" "$seeds/$(seedFolder "$harness")" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix="$crashes/" -print_final_stats=1 > "$log" 2>&1 || status=$?
  runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || echo 0)
  found=$(find "$crashes" -type f | wc -l)
  echo "$harness: $runs executions, $found crashes (exit $status)"
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    tail -n 40 "$log"
  fi
done
exit "$failed"
