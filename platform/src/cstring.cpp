// The out-of-line members of CString: formatting, case-blind comparison and
// loading from the current module's string table.
#include <afxwin.h>
#include <strings.h>

#include <cstdio>

#include "internal.h"

int CString::CompareNoCase(LPCSTR psz) const { return strcasecmp(s_.c_str(), psz ? psz : ""); }

void CString::Format(LPCSTR fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  FormatV(fmt, ap);
  va_end(ap);
}

void CString::FormatV(LPCSTR fmt, va_list ap) {
  if (!fmt) {
    s_.clear();
    return;
  }
  va_list probe;
  va_copy(probe, ap);
  int n = std::vsnprintf(nullptr, 0, fmt, probe);
  va_end(probe);
  if (n < 0) {
    s_.clear();
    return;
  }
  std::string out(static_cast<size_t>(n), '\0');
  std::vsnprintf(out.data(), out.size() + 1, fmt, ap);
  s_ = std::move(out);
}

BOOL CString::LoadString(UINT nID) {
  std::string text;
  if (!platform::detail::ModuleString(AfxGetResourceHandle(), nID, text)) return FALSE;
  s_ = std::move(text);
  return TRUE;
}
