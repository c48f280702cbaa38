// The busy cursor. Callers bracket a long operation with two calls, so each
// call flips between the wait and the arrow cursor.
#include "hostutil.h"

namespace {
int g_busyCalls = 0;
}

void SetBusyCursor(CCommandProcessor* /*pcp*/, HICON /*icon*/) {
  ++g_busyCalls;
  SetCursor(LoadCursor(nullptr, (g_busyCalls % 2) ? IDC_WAIT : IDC_ARROW));
}

namespace hostutil {
int BusyCursorCalls() { return g_busyCalls; }
}  // namespace hostutil
