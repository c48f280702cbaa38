#include "objects/placement.h"

#include <cmath>
#include <cstring>

LONG SaturateToLong(double v) { return TruncToLong(v); }

LONG AddSaturated(LONG a, LONG b) {
  const long long sum = static_cast<long long>(a) + b;
  return sum > INT32_MAX ? INT32_MAX : sum < INT32_MIN ? INT32_MIN : static_cast<LONG>(sum);
}

bool AxisScale(LONG targetExtent, long long from, long long to, float* scale) {
  const double data = static_cast<double>(to) - static_cast<double>(from);
  if (data == 0) return false;
  *scale = static_cast<float>(static_cast<double>(targetExtent) / data);
  return true;
}

LONG ScaledOffset(LONG v, LONG from, float s) {
  // The difference in 64 bits, the product in single precision as the
  // scale is kept: far placements saturate instead of wrapping.
  const float d = static_cast<float>(static_cast<long long>(v) - from);
  return SaturateToLong(static_cast<double>(d * s));
}

namespace {

// Cuts at the first of any of seps; returns the rest (after the separators).
char* CutAt(char* text, const char* seps) {
  char* end = text + std::strcspn(text, seps);
  if (!*end) return end;
  *end++ = 0;
  return end + std::strspn(end, seps);
}

}  // namespace

HDC OpenPrinterContext(STRUCT_DLL_INFO* info, LPCSTR path, BOOL bInfoOnly) {
  char* entry = info->szScratch2;
  entry[0] = 0;
  if (path && *path)
    GetPrivateProfileString("windows", "device", "", entry, sizeof info->szScratch2, path);
  if (!entry[0]) GetProfileString("windows", "device", "", entry, sizeof info->szScratch2);
  char* device = entry;
  char* driver = CutAt(device, ",");
  driver += std::strspn(driver, " ");
  char* port = CutAt(driver, ", ");
  CutAt(port, ", ");
  if (!*device || !*driver || !*port) return nullptr;
  return bInfoOnly ? CreateIC(driver, device, port, nullptr)
                   : CreateDC(driver, device, port, nullptr);
}
