// The library's own heap blocks (records, working states, objects) all come
// from the process heap through here, so that running out of memory can be
// provoked, and every branch that handles it tested, in one place. Blocks of
// StructAlloc are released with StructFree (or free, which is the same heap).
#pragma once

#include <windows.h>

#include <new>
#include <type_traits>
#include <utility>

// cb bytes (zero-filled when zero is set), or null when memory is short.
void* StructAlloc(size_t cb, bool zero = false);
template <typename T>
T* StructAllocOf(size_t cb, bool zero = false) {
  return static_cast<T*>(StructAlloc(cb, zero));
}
void StructFree(void* p);

// A new T (released with delete), or null when memory is short. The heap is
// asked first, so the counted heap decides for objects as for blocks.
template <typename T, typename... Args>
T* StructNew(Args&&... args) {
  void* probe = StructAlloc(sizeof(T));
  if (!probe) return nullptr;
  StructFree(probe);
  if constexpr (std::is_aggregate_v<T>)
    return new (std::nothrow) T{std::forward<Args>(args)...};
  else
    return new (std::nothrow) T(std::forward<Args>(args)...);
}
