// The library's own form of the host's function-key inhibitor.
#include <hostutil.h>

CMyFunctionKeyInhibitor::CMyFunctionKeyInhibitor() : CMyFunctionKeyInhibitor(1) {}
