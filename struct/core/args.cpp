// Conversion of host argument values to the library's integers and texts.
#include <cmath>

#include "core/common.h"

LONG TruncToLong(double x) {
  if (x < -2147483648.0) return INT32_MIN;
  if (x > 2147483647.0) return INT32_MAX;
  if (std::isnan(x)) return 0;  // no direction to round a NaN to
  return static_cast<LONG>(x <= 0 ? std::ceil(x) : std::floor(x));
}

LONG RoundToLong(double x) { return x >= 0 ? TruncToLong(x + 0.5) : TruncToLong(x - 0.5); }

CString GetStringArg(OBJ_BASECLASS** args, int n) {
  OBJ_BASECLASS* v = args[n - 1];
  if (!v || !v->pWord1) return CString();
  return *static_cast<const CString*>(v->pWord1);
}

void CopyText(char* dst, const char* src, size_t size) {
  if (size == 0) return;
  size_t i = 0;
  if (src)
    for (; i + 1 < size && src[i]; ++i) dst[i] = src[i];
  dst[i] = 0;
}
