// Local and global memory. Local blocks are limited to 16-bit sizes, as the
// product's work arrays are; global blocks carry clipboard data and keep
// exactly the size asked for. Fixed blocks are their own pointers; movable
// blocks are handles whose memory moves on every growth, so a pointer kept
// across a reallocation is caught by the address sanitizer.
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "internal.h"

namespace {

struct Block {
  char* data;
  size_t size;
  bool movable;
  int locks = 0;
};

struct Heap {
  std::mutex mutex;
  std::map<uintptr_t, Block> blocks;
};

Heap& LocalHeap() {
  static auto* h = new Heap;
  return *h;
}
Heap& GlobalHeap() {
  static auto* h = new Heap;
  return *h;
}

constexpr unsigned kMoveable = 0x0002;  // LMEM_MOVEABLE and GMEM_MOVEABLE
constexpr unsigned kZeroInit = 0x0040;  // LMEM_ZEROINIT and GMEM_ZEROINIT
constexpr unsigned char kFresh = 0xCD;  // what uninitialised memory holds here

// The data pointer; one extra byte keeps empty blocks distinct.
char* NewData(size_t size, unsigned flags) {
  char* p = static_cast<char*>(std::malloc(size + 1));
  if (p) std::memset(p, (flags & kZeroInit) ? 0 : kFresh, size + 1);
  return p;
}

HANDLE Alloc(Heap& heap, platform::FaultOp op, unsigned flags, size_t size, size_t limit) {
  if (platform::detail::TakeFault(op) || size > limit) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  char* data = NewData(size, flags);
  if (!data) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  bool movable = flags & kMoveable;
  uintptr_t h = movable ? platform::detail::NewHandleValue() : reinterpret_cast<uintptr_t>(data);
  std::lock_guard lock(heap.mutex);
  heap.blocks[h] = {data, size, movable};
  return reinterpret_cast<HANDLE>(h);
}

HANDLE ReAlloc(Heap& heap, platform::FaultOp op, HANDLE hMem, size_t size, unsigned flags,
               size_t limit) {
  bool fault = platform::detail::TakeFault(op).has_value();
  std::lock_guard lock(heap.mutex);
  auto it = heap.blocks.find(reinterpret_cast<uintptr_t>(hMem));
  if (it == heap.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  Block& b = it->second;
  if (fault || size > limit) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (size <= b.size) {  // shrinking happens in place
    b.size = size;
    return hMem;
  }
  // A fixed block is its own address, so it may only grow by moving when
  // the caller allows a new handle.
  if (!b.movable && !(flags & kMoveable)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  char* data = NewData(size, flags);
  if (!data) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::memcpy(data, b.data, b.size);
  std::free(b.data);
  b.data = data;
  b.size = size;
  if (b.movable) return hMem;
  Block moved = b;
  heap.blocks.erase(it);
  heap.blocks[reinterpret_cast<uintptr_t>(data)] = moved;
  return reinterpret_cast<HANDLE>(data);
}

Block* Find(Heap& heap, HANDLE h) {
  auto it = heap.blocks.find(reinterpret_cast<uintptr_t>(h));
  if (it == heap.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return &it->second;
}

LPVOID Lock(Heap& heap, HANDLE h) {
  std::lock_guard lock(heap.mutex);
  Block* b = Find(heap, h);
  if (!b) return nullptr;
  ++b->locks;
  return b->data;
}

BOOL Unlock(Heap& heap, HANDLE h) {
  std::lock_guard lock(heap.mutex);
  Block* b = Find(heap, h);
  if (!b) return FALSE;
  if (b->locks > 0) --b->locks;
  SetLastError(ERROR_SUCCESS);
  return b->locks > 0 ? TRUE : FALSE;  // FALSE: now unlocked
}

size_t Size(Heap& heap, HANDLE h) {
  std::lock_guard lock(heap.mutex);
  Block* b = Find(heap, h);
  return b ? b->size : 0;
}

HANDLE Free(Heap& heap, HANDLE h) {
  if (!h) return nullptr;
  std::lock_guard lock(heap.mutex);
  auto it = heap.blocks.find(reinterpret_cast<uintptr_t>(h));
  if (it == heap.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return h;  // failure hands the handle back
  }
  std::free(it->second.data);
  heap.blocks.erase(it);
  return nullptr;
}

int Count(Heap& heap) {
  std::lock_guard lock(heap.mutex);
  return static_cast<int>(heap.blocks.size());
}

constexpr size_t kLocalLimit = 0xFFFF;
constexpr size_t kGlobalLimit = static_cast<size_t>(1) << 40;

}  // namespace

HANDLE GetProcessHeap() { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x4EA9)); }

void* HeapAlloc(HANDLE hHeap, DWORD dwFlags, size_t dwBytes) {
  if (hHeap != GetProcessHeap() || platform::detail::TakeFault(platform::FaultOp::HeapAlloc)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // One byte more keeps empty blocks distinct, as malloc(0) may not.
  void* p = (dwFlags & HEAP_ZERO_MEMORY) ? std::calloc(dwBytes + 1, 1) : std::malloc(dwBytes + 1);
  if (!p) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return p;
}

BOOL HeapFree(HANDLE hHeap, DWORD /*dwFlags*/, void* lpMem) {
  if (hHeap != GetProcessHeap()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::free(lpMem);
  return TRUE;
}

HLOCAL LocalAlloc(UINT uFlags, UINT uBytes) {
  return Alloc(LocalHeap(), platform::FaultOp::LocalAlloc, uFlags, uBytes, kLocalLimit);
}
HLOCAL LocalReAlloc(HLOCAL hMem, UINT uBytes, UINT uFlags) {
  return ReAlloc(LocalHeap(), platform::FaultOp::LocalAlloc, hMem, uBytes, uFlags, kLocalLimit);
}
LPVOID LocalLock(HLOCAL hMem) { return Lock(LocalHeap(), hMem); }
BOOL LocalUnlock(HLOCAL hMem) { return Unlock(LocalHeap(), hMem); }
UINT LocalSize(HLOCAL hMem) { return static_cast<UINT>(Size(LocalHeap(), hMem)); }
HLOCAL LocalFree(HLOCAL hMem) { return Free(LocalHeap(), hMem); }

HGLOBAL GlobalAlloc(UINT uFlags, size_t dwBytes) {
  return Alloc(GlobalHeap(), platform::FaultOp::GlobalAlloc, uFlags, dwBytes, kGlobalLimit);
}
HGLOBAL GlobalReAlloc(HGLOBAL hMem, size_t dwBytes, UINT uFlags) {
  return ReAlloc(GlobalHeap(), platform::FaultOp::GlobalAlloc, hMem, dwBytes, uFlags, kGlobalLimit);
}
LPVOID GlobalLock(HGLOBAL hMem) { return Lock(GlobalHeap(), hMem); }
BOOL GlobalUnlock(HGLOBAL hMem) { return Unlock(GlobalHeap(), hMem); }
size_t GlobalSize(HGLOBAL hMem) { return Size(GlobalHeap(), hMem); }
HGLOBAL GlobalFree(HGLOBAL hMem) { return Free(GlobalHeap(), hMem); }

namespace platform {
int LiveLocalBlocks() { return Count(LocalHeap()); }
int LiveGlobalBlocks() { return Count(GlobalHeap()); }
}  // namespace platform

namespace platform::detail {
bool IsGlobalBlock(HGLOBAL h) {
  std::lock_guard lock(GlobalHeap().mutex);
  return GlobalHeap().blocks.count(reinterpret_cast<uintptr_t>(h)) != 0;
}
}  // namespace platform::detail
