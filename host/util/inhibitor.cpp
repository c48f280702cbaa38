// Function-key inhibitor: the host keeps no function keys of its own here, so
// an inhibitor only counts itself, which lets tests see that every modal
// prompt released it.
#include "hostutil.h"

namespace {
int g_active = 0;
}

CMyFunctionKeyInhibitor::CMyFunctionKeyInhibitor(unsigned long flags) : flags_(flags) {
  ++g_active;
}

CMyFunctionKeyInhibitor::~CMyFunctionKeyInhibitor() { --g_active; }

namespace hostutil {
int ActiveInhibitors() { return g_active; }
}  // namespace hostutil
