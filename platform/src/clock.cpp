// The tick clock behind GetTickCount: the monotonic clock by default, or a
// value that tests freeze and advance so timed behaviour (progress reports at
// most once a second) can be checked without waiting.
#include <chrono>
#include <mutex>

#include "internal.h"

namespace {

struct Clock {
  std::mutex mutex;
  bool frozen = false;
  DWORD frozenAt = 0;
  DWORD offset = 0;  // added to the real clock by AdvanceTickCount
};

Clock& State() {
  static auto* c = new Clock;
  return *c;
}

DWORD RealTicks() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<DWORD>(ms.count());  // wraps like the real thing
}

}  // namespace

DWORD GetTickCount() {
  Clock& c = State();
  std::lock_guard lock(c.mutex);
  return c.frozen ? c.frozenAt : RealTicks() + c.offset;
}

namespace platform {

void SetTickCount(DWORD ticks) {
  Clock& c = State();
  std::lock_guard lock(c.mutex);
  c.frozen = true;
  c.frozenAt = ticks;
}

void AdvanceTickCount(DWORD ms) {
  Clock& c = State();
  std::lock_guard lock(c.mutex);
  if (c.frozen)
    c.frozenAt += ms;
  else
    c.offset += ms;
}

void UseRealClock() {
  Clock& c = State();
  std::lock_guard lock(c.mutex);
  c.frozen = false;
  c.offset = 0;
}

}  // namespace platform
