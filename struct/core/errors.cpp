// Error reports bound to the library's resource module.
#include "core/common.h"

#include <algorithm>

#include "resources/resource.h"

namespace {

// 0: every report shows; 1: all but corruption are held back; 2: none shows.
int s_nQuiet = 0;

bool Held(int msg) {
  const bool corruption = msg == IDS_ERR_BADSTRUCTURE || msg == IDS_ERR_INDEXREAD;
  return s_nQuiet == 2 || (s_nQuiet == 1 && !corruption);
}

}  // namespace

CQuietReports::CQuietReports(bool bOn, bool bButCorruption) : nPrev_(s_nQuiet) {
  if (bOn) s_nQuiet = std::max(s_nQuiet, bButCorruption ? 1 : 2);
}
CQuietReports::~CQuietReports() { s_nQuiet = nPrev_; }

short ReportError(CCommandProcessor* pcp, int msg) {
  if (Held(msg)) return static_cast<short>(msg);
  return FormatErrorEx(AfxGetResourceHandle(), pcp, msg);
}

short ReportErrorNum(CCommandProcessor* pcp, int msg, LONG value) {
  if (Held(msg)) return static_cast<short>(msg);
  return FormatErrorNumEx(AfxGetResourceHandle(), pcp, msg, value);
}

short ReportErrorNum64(CCommandProcessor* pcp, int msg, long long value) {
  if (Held(msg)) return static_cast<short>(msg);
  return FormatErrorNum64Ex(AfxGetResourceHandle(), pcp, msg, value);
}

short ReportErrorStr(CCommandProcessor* pcp, int msg, LPCSTR text) {
  if (Held(msg)) return static_cast<short>(msg);
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
