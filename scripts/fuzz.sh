#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for the given number
# of seconds (default 60) from its seed corpus.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:-60}
"$top/scripts/setup.sh" "$top/build-fuzz" -DSTRUCT_FUZZ=ON -DSTRUCT_TESTS=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
for bin in "$top"/build-fuzz/bin/fuzz_*; do
  name=$(basename "$bin")
  corpus="$top/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  echo "fuzz: $name for ${secs}s" >&2
  dict=()
  [ -f "$top/fuzz/${name#fuzz_}.dict" ] && dict=(-dict="$top/fuzz/${name#fuzz_}.dict")
  "$bin" -max_total_time="$secs" -print_final_stats=0 "${dict[@]}" "$work" 2>"$work.log" || {
    tail -n 40 "$work.log" >&2; exit 1; }
  rm -rf "$work" "$work.log"
done
