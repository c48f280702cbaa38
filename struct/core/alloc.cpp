#include "core/alloc.h"

void* StructAlloc(size_t cb, bool zero) {
  return HeapAlloc(GetProcessHeap(), zero ? HEAP_ZERO_MEMORY : 0, cb);
}

void StructFree(void* p) { HeapFree(GetProcessHeap(), 0, p); }
