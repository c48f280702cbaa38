// The floor of a stateless lookup in a library's index: the probes of
// FindIndexEntryIn made with bare POSIX calls, no platform layer.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "database/lookup.h"

// FindIndexEntryIn's probes (the first entry, halving while two or more
// entries are left open, then the remaining end) as pread calls on a plain
// descriptor: the least any stateless lookup in this file format can cost.
inline LONG PosixFindIndexEntry(const char* indexPath, LONG key) {
  const int fd = open(indexPath, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  struct stat st;
  LONG result = 0;
  INDEXREC entry{};
  auto probe = [&](LONG i) {
    return pread(fd, &entry, sizeof entry, static_cast<off_t>(i) * 8) == sizeof entry;
  };
  const LONG n = fstat(fd, &st) == 0 ? static_cast<LONG>(st.st_size / 8) : 0;
  if (n > 0 && probe(0)) {
    LONG lo = 0, hi = n - 1, last = 0;
    bool ok = true;
    while (hi - lo >= 2) {
      const LONG mid = (lo + hi) / 2;
      last = mid;
      if (!probe(mid)) {
        ok = false;
        break;
      }
      if (entry.lKey == key) break;
      if (key < entry.lKey)
        hi = mid;
      else
        lo = mid;
    }
    if (ok && entry.lKey != key && lo != hi) ok = probe(last != lo ? lo : hi);
    if (ok && entry.lKey == key) result = entry.lOffset;
  }
  close(fd);
  return result;
}


// A prototype with fewer calls: the same search, but once at most 512 entries
// (4 KiB) are left open they are read in one call and searched in memory.
inline LONG PosixBlockFindIndexEntry(const char* indexPath, LONG key) {
  const int fd = open(indexPath, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  struct stat st;
  LONG result = 0;
  const LONG n = fstat(fd, &st) == 0 ? static_cast<LONG>(st.st_size / 8) : 0;
  LONG lo = 0, hi = n - 1;
  INDEXREC entry{};
  while (hi - lo + 1 > 512) {
    const LONG mid = lo + (hi - lo) / 2;
    if (pread(fd, &entry, sizeof entry, static_cast<off_t>(mid) * 8) != sizeof entry) break;
    if (entry.lKey == key) {
      result = entry.lOffset;
      lo = hi + 1;
    } else if (key < entry.lKey) {
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  if (lo <= hi && hi - lo + 1 <= 512) {
    INDEXREC block[512];
    const size_t want = static_cast<size_t>(hi - lo + 1) * sizeof(INDEXREC);
    if (pread(fd, block, want, static_cast<off_t>(lo) * 8) == static_cast<ssize_t>(want)) {
      const INDEXREC* end = block + (hi - lo + 1);
      const INDEXREC* at = std::lower_bound(
          static_cast<const INDEXREC*>(block), end, key,
          [](const INDEXREC& e, LONG k) { return e.lKey < k; });
      if (at != end && at->lKey == key) result = at->lOffset;
    }
  }
  close(fd);
  return result;
}
