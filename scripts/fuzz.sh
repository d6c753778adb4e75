#!/usr/bin/env bash
# Builds the fuzz targets (clang 14, libFuzzer, ASan + UBSan) in build/fuzz and runs each.
#   scripts/fuzz.sh [SECONDS]   fuzzes every target for SECONDS (default 60), growing its
#                               corpus in fuzz/corpus/TARGET
#   scripts/fuzz.sh --check     runs every target a bounded number of times on its corpus
#                               and fresh inputs, leaving the corpus as it is (the test
#                               command does this)
# A crash leaves its input in build/fuzz/crashes/TARGET and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=fuzz
seconds=60
case "${1:-}" in
  --check) mode=check ;;
  '') ;;
  *[!0-9]* | 0) echo "usage: $0 [SECONDS | --check]" >&2; exit 2 ;;
  *) seconds=$1 ;;
esac

cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSTOWBOX_FUZZ=ON -DSTOWBOX_WERROR=ON -DSTOWBOX_BUILD_TESTS=OFF -DSTOWBOX_BUILD_BENCH=OFF \
  >/dev/null
cmake --build build/fuzz -j2 --target fuzz_targets

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for source in fuzz/*.cpp; do
  target=$(basename "$source" .cpp)
  corpus=fuzz/corpus/$target
  crashes=build/fuzz/crashes/$target
  mkdir -p "$corpus" "$crashes"
  options=(-timeout=10 -rss_limit_mb=2048 "-artifact_prefix=$crashes/")
  if [ -f "fuzz/$target.dict" ]; then
    options+=("-dict=fuzz/$target.dict")
  fi
  echo "== $target"
  if [ "$mode" = check ]; then
    # The corpus once, then fresh inputs from it; new finds go to a scratch folder.
    scratch=$(mktemp -d)
    status=0
    build/fuzz/bin/"fuzz_$target" "${options[@]}" -runs=1000 -max_total_time=10 -seed=1 "$scratch" "$corpus" \
      >"$crashes/log.txt" 2>&1 || status=$?
    rm -rf "$scratch"
  else
    status=0
    build/fuzz/bin/"fuzz_$target" "${options[@]}" -max_total_time="$seconds" "$corpus" \
      >"$crashes/log.txt" 2>&1 || status=$?
  fi
  tail -n 1 "$crashes/log.txt"
  if [ "$status" -ne 0 ]; then
    echo "fuzz_$target failed; see $crashes/log.txt:" >&2
    grep -m 5 -E 'ERROR|SUMMARY|runtime error|Test unit written' "$crashes/log.txt" >&2 || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzz targets that failed: ${failed[*]}" >&2
  exit 1
fi
