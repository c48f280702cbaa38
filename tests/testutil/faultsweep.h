// Failure paths, one after another: the operation runs with the 1st, 2nd,
// 3rd ... call of one kind failing, until a run completes without reaching
// the failing call. After each run, check sees what was left (nothing lost,
// nothing leaked). Returns the number of calls of that kind a clean run makes.
#pragma once

#include <gtest/gtest.h>
#include <platform/env.h>

#include <string>

namespace testutil {

template <typename Op, typename Check>
int SweepFaults(platform::FaultOp op, platform::FaultKind kind, Op run, Check check,
                int limit = 10000) {
  const int handles = platform::OpenFileHandles();
  const int locals = platform::LiveLocalBlocks();
  const int globals = platform::LiveGlobalBlocks();
  for (int nth = 1; nth <= limit; ++nth) {
    SCOPED_TRACE("failing call " + std::to_string(nth) + " of kind " +
                 std::to_string(static_cast<int>(op)));
    platform::ClearFaults();
    platform::InjectFault(op, nth, kind);
    run();
    const bool reached = platform::CallCount(op) >= nth;
    platform::ClearFaults();
    check(nth);
    EXPECT_EQ(platform::OpenFileHandles(), handles);
    EXPECT_EQ(platform::LiveLocalBlocks(), locals);
    EXPECT_EQ(platform::LiveGlobalBlocks(), globals);
    if (!reached) return nth - 1;
  }
  ADD_FAILURE() << "the operation never completed within " << limit << " failing calls";
  return limit;
}

// The sweep with nothing more to check than the leak counters.
template <typename Op>
int SweepFaults(platform::FaultOp op, Op run, platform::FaultKind kind = platform::FaultKind::Fail) {
  return SweepFaults(op, kind, run, [](int) {});
}

}  // namespace testutil
