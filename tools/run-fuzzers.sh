#!/bin/sh
# Runs every libFuzzer target of a fuzz build for a fixed time on a copy of its seed corpus.
# Usage: tools/run-fuzzers.sh BUILD_DIR SECONDS
set -eu
build=$1
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
passed=0
failed=0
for fuzzer in "$build"/fuzz/*_fuzz; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer" _fuzz)
  corpus=$(mktemp -d)
  if [ -d "$root/fuzz/corpus/$name" ]; then cp -r "$root/fuzz/corpus/$name/." "$corpus/"; fi
  if "$fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=0 "$corpus" >"$corpus.log" 2>&1; then
    echo "fuzz $name: ok (${seconds}s)"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED"
    tail -n 40 "$corpus.log"
    failed=$((failed + 1))
  fi
  rm -rf "$corpus" "$corpus.log"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
