// Clipboard text from outside, as a block of exactly its bytes (a NUL only
// where the text has one): the pairs come out as one NUL-terminated block,
// at most twice the text and a line end long, and nothing is left behind.
#include <platform/env.h>

#include <cstring>

#include "convert/clipcvt.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  const int blocks = platform::LiveGlobalBlocks();
  if (HGLOBAL h = ConvertNumberPairs(reinterpret_cast<const char*>(data), size)) {
    const size_t n = GlobalSize(h);
    const auto* p = static_cast<const char*>(GlobalLock(h));
    if (!p || n < 5 || n > 2 * size + 3) __builtin_trap();
    // Every output line starts with the digit that made it a pair.
    if (p[n - 1] != '\0' || std::memchr(p, '\0', n - 1) || p[0] < '0' || p[0] > '9')
      __builtin_trap();
    if (p[n - 3] != '\r' || p[n - 2] != '\n') __builtin_trap();
    GlobalUnlock(h);
    GlobalFree(h);
  }
  if (platform::LiveGlobalBlocks() != blocks) __builtin_trap();
  return 0;
}
