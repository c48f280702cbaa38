// Error reports bound to the library's resource module.
#include "core/common.h"

namespace {
bool s_bQuiet = false;
}

CQuietReports::CQuietReports(bool bOn) : bPrev_(s_bQuiet) { s_bQuiet = s_bQuiet || bOn; }
CQuietReports::~CQuietReports() { s_bQuiet = bPrev_; }

short ReportError(CCommandProcessor* pcp, int msg) {
  if (s_bQuiet) return static_cast<short>(msg);
  return FormatErrorEx(AfxGetResourceHandle(), pcp, msg);
}

short ReportErrorNum(CCommandProcessor* pcp, int msg, LONG value) {
  if (s_bQuiet) return static_cast<short>(msg);
  return FormatErrorNumEx(AfxGetResourceHandle(), pcp, msg, value);
}

short ReportErrorStr(CCommandProcessor* pcp, int msg, LPCSTR text) {
  if (s_bQuiet) return static_cast<short>(msg);
  return FormatErrorStrEx(AfxGetResourceHandle(), pcp, msg, text);
}

int LoadStringText(UINT id, LPSTR buf, int size) {
  return GetStringEx(AfxGetResourceHandle(), buf, size, id);
}

CString LoadText(UINT id) {
  char text[256];
  LoadStringText(id, text, sizeof text);
  return CString(text);
}
