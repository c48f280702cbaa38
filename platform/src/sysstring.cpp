// System strings handed to the host, which frees them: a length word, the
// text and a NUL, the handle pointing at the text.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "internal.h"

namespace {
std::atomic<int> g_live{0};
}

BSTR SysAllocString(LPCSTR psz) {
  if (!psz) return nullptr;
  uint32_t len = static_cast<uint32_t>(std::strlen(psz));
  char* block = static_cast<char*>(std::malloc(sizeof len + len + 1));
  if (!block) return nullptr;
  std::memcpy(block, &len, sizeof len);
  std::memcpy(block + sizeof len, psz, len + 1);
  ++g_live;
  return block + sizeof len;
}

void SysFreeString(BSTR bstr) {
  if (!bstr) return;
  --g_live;
  std::free(bstr - sizeof(uint32_t));
}

UINT SysStringLen(BSTR bstr) {
  if (!bstr) return 0;
  uint32_t len;
  std::memcpy(&len, bstr - sizeof len, sizeof len);
  return len;
}

namespace platform {
int LiveSysStrings() { return g_live; }
}  // namespace platform
