#include "database/packed.h"

int PackedSize(LONG value) {
  // Continuation bytes are taken while the rest is at least 127 (or -127 and
  // below); the remainder then lies within -126..126.
  long long v = value;
  int n = 1;
  if (v >= 127) n += static_cast<int>((v - 127) / 127 + 1);
  if (v <= -127) n += static_cast<int>((-v - 127) / 127 + 1);
  return n;
}

int WritePackedValues(const LONG* values, int count, BYTE* out) {
  BYTE* p = out;
  for (int i = 0; i < count; ++i) {
    long long v = values[i];
    while (v >= 127) {
      *p++ = 0x7F;
      v -= 127;
    }
    while (v <= -127) {
      *p++ = 0x81;
      v += 127;
    }
    *p++ = static_cast<BYTE>(static_cast<signed char>(v));
  }
  return static_cast<int>(p - out);
}

bool ReadPackedValue(const BYTE*& p, const BYTE* end, LONG* value) {
  long long sum = 0;
  while (p < end) {
    BYTE b = *p++;
    sum += static_cast<signed char>(b);
    if (b != 0x7F && b != 0x81) {
      // A long run could pass the 32-bit range only in a corrupt record.
      if (sum > INT32_MAX || sum < INT32_MIN) return false;
      *value = static_cast<LONG>(sum);
      return true;
    }
  }
  return false;
}
