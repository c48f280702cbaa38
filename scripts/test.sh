#!/usr/bin/env bash
# Every test: the suite in a normal build, the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short fuzz run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

echo "== build and test" >&2
"$top/scripts/setup.sh" "$top/build"
ctest --test-dir "$top/build" --output-on-failure -j"$jobs"

echo "== build and test under ASan and UBSan" >&2
"$top/scripts/setup.sh" "$top/build-asan" -DSTRUCT_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$top/tests/lsan.supp":print_suppressions=0 \
  ctest --test-dir "$top/build-asan" --output-on-failure -j"$jobs"

if [ -d "$top/fuzz" ] && ls "$top"/fuzz/*.cpp >/dev/null 2>&1; then
  echo "== short fuzz run" >&2
  "$top/scripts/fuzz.sh" 20
fi
