#include "database/probecache.h"

#include <bitset>
#include <mutex>

namespace {

constexpr int kSlots = 4;  // indexes kept at once; the least recently used goes
constexpr uint64_t kSettled = 2 * 10000000ull;  // two seconds in FILETIME units

struct CStamp {
  DWORD volume = 0;
  uint64_t file = 0, size = 0, written = 0;
  bool SameFile(const CStamp& o) const { return volume == o.volume && file == o.file; }
  bool operator==(const CStamp& o) const = default;
};

struct CSlot {
  CStamp stamp;
  uint64_t generation = 0;  // 0: never used
  uint64_t lastUse = 0;
  std::bitset<CProbeCache::kNodes> have;
  INDEXREC node[CProbeCache::kNodes];
};

// Static storage: what is kept costs no allocation and nothing to release.
struct CSlots {
  std::mutex mutex;
  uint64_t clock = 0, generations = 0;
  CSlot slot[kSlots];
};

CSlots& Slots() {
  static CSlots s;
  return s;
}

uint64_t Ticks(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

CProbeCache::CProbeCache(HANDLE h, long long* size) {
  BY_HANDLE_FILE_INFORMATION fi;
  if (!GetFileInformationByHandle(h, &fi)) {
    *size = -1;
    return;
  }
  CStamp stamp;
  stamp.volume = fi.dwVolumeSerialNumber;
  stamp.file = (static_cast<uint64_t>(fi.nFileIndexHigh) << 32) | fi.nFileIndexLow;
  stamp.size = (static_cast<uint64_t>(fi.nFileSizeHigh) << 32) | fi.nFileSizeLow;
  stamp.written = Ticks(fi.ftLastWriteTime);
  *size = static_cast<long long>(stamp.size);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  // Written in the last two seconds (or in the future): a write to come may
  // leave the same time behind.
  if (stamp.written >= Ticks(now) || Ticks(now) - stamp.written <= kSettled) return;

  CSlots& s = Slots();
  std::lock_guard lock(s.mutex);
  int pick = 0;
  for (int i = 0; i < kSlots; ++i) {
    if (s.slot[i].generation && s.slot[i].stamp.SameFile(stamp)) {
      pick = i;
      break;
    }
    if (s.slot[i].lastUse < s.slot[pick].lastUse) pick = i;
  }
  CSlot& slot = s.slot[pick];
  if (!slot.generation || !(slot.stamp == stamp)) {
    slot.stamp = stamp;
    slot.generation = ++s.generations;
    slot.have.reset();
  }
  slot.lastUse = ++s.clock;
  slot_ = pick;
  generation_ = slot.generation;
}

bool CProbeCache::Get(uint32_t node, INDEXREC* entry) const {
  if (slot_ < 0 || node >= kNodes) return false;
  CSlots& s = Slots();
  std::lock_guard lock(s.mutex);
  const CSlot& slot = s.slot[slot_];
  if (slot.generation != generation_ || !slot.have[node]) return false;
  *entry = slot.node[node];
  return true;
}

void CProbeCache::Put(uint32_t node, const INDEXREC& entry) const {
  if (slot_ < 0 || node >= kNodes) return;
  CSlots& s = Slots();
  std::lock_guard lock(s.mutex);
  CSlot& slot = s.slot[slot_];
  if (slot.generation != generation_) return;  // taken by another index meanwhile
  slot.node[node] = entry;
  slot.have.set(node);
}

void CProbeCache::Clear() {
  CSlots& s = Slots();
  std::lock_guard lock(s.mutex);
  for (CSlot& slot : s.slot) slot = CSlot{};
}
