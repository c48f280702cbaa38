// Injected faults: tests arm a failure for the nth call of a file or memory
// operation (once or from then on) and read how often each operation ran, so
// every failure path of the plug-in can be driven deliberately.
#include <array>
#include <mutex>
#include <vector>

#include "internal.h"

namespace {

struct Armed {
  int at;  // the call number, counted since the last ClearFaults
  platform::FaultKind kind;
  bool persistent;
};

struct FaultState {
  std::mutex mutex;
  std::array<int, static_cast<size_t>(platform::FaultOp::Count)> calls{};
  std::array<std::vector<Armed>, static_cast<size_t>(platform::FaultOp::Count)> armed;
  bool diskFull = false;
  long long freeSpace = -1;
};

FaultState& State() {
  static auto* s = new FaultState;  // outlives every module's static teardown
  return *s;
}

size_t Index(platform::FaultOp op) { return static_cast<size_t>(op); }

void Arm(platform::FaultOp op, int nth, platform::FaultKind kind, bool persistent) {
  if (op == platform::FaultOp::Count || nth < 1) return;
  FaultState& s = State();
  std::lock_guard lock(s.mutex);
  s.armed[Index(op)].push_back({s.calls[Index(op)] + nth, kind, persistent});
}

}  // namespace

namespace platform {

void InjectFault(FaultOp op, int nth, FaultKind kind) { Arm(op, nth, kind, false); }

void InjectPersistentFault(FaultOp op, int nth, FaultKind kind) { Arm(op, nth, kind, true); }

void ClearFaults() {
  FaultState& s = State();
  std::lock_guard lock(s.mutex);
  s.calls.fill(0);
  for (auto& a : s.armed) a.clear();
  s.diskFull = false;
  s.freeSpace = -1;
}

int CallCount(FaultOp op) {
  if (op == FaultOp::Count) return 0;
  FaultState& s = State();
  std::lock_guard lock(s.mutex);
  return s.calls[Index(op)];
}

void SetFreeDiskSpace(long long bytes) {
  FaultState& s = State();
  std::lock_guard lock(s.mutex);
  s.freeSpace = bytes < 0 ? -1 : bytes;
  s.diskFull = false;
}

namespace detail {

std::optional<FaultKind> TakeFault(FaultOp op) {
  FaultState& s = State();
  std::lock_guard lock(s.mutex);
  int n = ++s.calls[Index(op)];
  auto& list = s.armed[Index(op)];
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->persistent ? n >= it->at : n == it->at) {
      FaultKind kind = it->kind;
      if (!it->persistent) list.erase(it);
      if (kind == FaultKind::DiskFull) s.diskFull = true;
      return kind;
    }
  }
  return std::nullopt;
}

bool DiskFullReported() {
  FaultState& s = State();
  std::lock_guard lock(s.mutex);
  return s.diskFull;
}

long long FreeSpaceOverride() {
  FaultState& s = State();
  std::lock_guard lock(s.mutex);
  return s.freeSpace;
}

}  // namespace detail
}  // namespace platform
