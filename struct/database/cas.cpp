#include "database/cas.h"

#include <cstdint>
#include <cstdio>

#include "core/common.h"

LONG ParseCasNumber(STRUCT_DLL_INFO* info, LPCSTR text) {
  if (!text) return 0;
  CopyText(info->szScratch1, text, sizeof info->szScratch1);
  long long v = 0;
  for (const char* p = info->szScratch1; *p; ++p) {
    if (*p < '0' || *p > '9') continue;
    v = v * 10 + (*p - '0');
    // More digits than an identifier holds: keep the largest one.
    if (v > INT32_MAX) v = INT32_MAX;
  }
  return static_cast<LONG>(v);
}

int FormatCasNumber(STRUCT_DLL_INFO* info, LONG cas, CString& out) {
  std::snprintf(info->szScratch2, sizeof info->szScratch2, "%ld-%02ld-%ld",
                static_cast<long>(cas / 1000), static_cast<long>((cas % 1000) / 10),
                static_cast<long>(cas % 10));
  for (char* p = info->szScratch2; *p; ++p)
    if (*p == ' ') *p = '0';
  out = info->szScratch2;
  return out.GetLength();
}
