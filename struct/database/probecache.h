// The top of an index's binary search, kept between lookups. Every search of
// an index of n entries starts with the same probes (the first entry, then
// the middle, then the middle of one half ...), so a library looked up again
// and again need not read them each time.
//
// The entries are kept only for an index that had not been written for two
// seconds when they were read, and served only while the file a lookup opened
// is that same file unchanged: the same volume and file index, size and
// last-write time, checked on the lookup's own handle every time. Any later
// write moves the last-write time past the kept one (even on file systems
// that keep it to two seconds), and a file replaced under the same name is
// another file index. So a lookup answers as if it had read everything
// itself, with fewer reads.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/lookup.h"

class CProbeCache {
 public:
  // Probes kept per index: the first entry (node 0) and the first levels of
  // the search, numbered as a heap (the middle is 1; the probes below node k
  // are 2k and 2k + 1).
  static constexpr int kLevels = 13;
  static constexpr uint32_t kNodes = 1u << kLevels;

  // Binds to what is kept for the index open as h; size receives its size in
  // bytes (-1 when it cannot be told). An index written in the last two
  // seconds is neither served nor kept.
  CProbeCache(HANDLE h, long long* size);
  // The kept entry at node, when there is one.
  bool Get(uint32_t node, INDEXREC* entry) const;
  // Keeps what was read at node (nodes past the kept levels are passed over).
  void Put(uint32_t node, const INDEXREC& entry) const;

  // Forgets everything kept (tests).
  static void Clear();

 private:
  int slot_ = -1;
  uint64_t generation_ = 0;
};
