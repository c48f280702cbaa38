// The abort request: raised by the host, seen by the long operations between
// their steps while they keep the thread's windows responsive.
#include "core/app.h"
#include "core/common.h"

BOOL PollAbort() {
  CStructDLL& app = GetStructApp();
  BOOL bWasSet = app.m_bAbort;
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  // A request raised while pumping belongs to the next poll.
  if (bWasSet) app.m_bAbort = 0;
  return bWasSet;
}
