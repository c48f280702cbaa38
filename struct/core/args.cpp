// Conversion of host argument values to the library's integers and texts.
#include <cmath>
#include <cstring>

#include "core/common.h"

LONG TruncToLong(double x) {
  if (x < -2147483648.0) return INT32_MIN;
  if (x > 2147483647.0) return INT32_MAX;
  if (std::isnan(x)) return 0;  // no direction to round a NaN to
  return static_cast<LONG>(x);  // toward zero
}

LONG RoundToLong(double x) { return x >= 0 ? TruncToLong(x + 0.5) : TruncToLong(x - 0.5); }

CString GetStringArg(OBJ_BASECLASS** args, int n) {
  OBJ_BASECLASS* v = args[n - 1];
  if (!v || !v->pWord1) return CString();
  return *static_cast<const CString*>(v->pWord1);
}

void CopyText(char* dst, const char* src, size_t size) {
  if (size == 0) return;
  const size_t n = src ? strnlen(src, size - 1) : 0;
  std::memmove(dst, src ? src : "", n);
  dst[n] = 0;
}

bool ParseIdText(LPCSTR text, LONG* id) {
  *id = 0;
  const char* p = text ? text : "";
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '+') ++p;
  if (*p < '0' || *p > '9') return false;
  long long v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    v = v * 10 + (*p - '0');
    if (v > INT32_MAX) return false;
  }
  if (v < 1) return false;
  *id = static_cast<LONG>(v);
  return true;
}
