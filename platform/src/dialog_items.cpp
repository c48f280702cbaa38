// The dialog item helpers of Win32: texts and numbers of controls by id,
// check states with radio groups, item messages by id, and tab order.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dialog_internal.h"

BOOL SetDlgItemText(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  HWND c = GetDlgItem(hDlg, nIDDlgItem);
  return c ? SetWindowText(c, lpString) : FALSE;
}

UINT GetDlgItemText(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  if (lpString && cchMax > 0) lpString[0] = '\0';
  HWND c = GetDlgItem(hDlg, nIDDlgItem);
  return c ? static_cast<UINT>(GetWindowText(c, lpString, cchMax)) : 0;
}

BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
  char buf[16];
  if (bSigned)
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(uValue));
  else
    std::snprintf(buf, sizeof buf, "%u", uValue);
  return SetDlgItemText(hDlg, nIDDlgItem, buf);
}

// Leading blanks are skipped; the number must fill the rest of the text and
// fit the type, as on Windows.
UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
  if (lpTranslated) *lpTranslated = FALSE;
  HWND c = GetDlgItem(hDlg, nIDDlgItem);
  if (!c) return 0;
  char buf[64] = "";
  GetWindowText(c, buf, sizeof buf);
  const char* p = buf;
  while (*p == ' ' || *p == '\t') ++p;
  if (!*p || (!bSigned && *p == '-')) return 0;
  char* end = nullptr;
  long long v = std::strtoll(p, &end, 10);
  if (end == p || *end) return 0;
  if (bSigned ? (v < INT32_MIN || v > INT32_MAX) : (v < 0 || v > UINT32_MAX)) return 0;
  if (lpTranslated) *lpTranslated = TRUE;
  return static_cast<UINT>(v);
}

LRESULT SendDlgItemMessage(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
  HWND c = GetDlgItem(hDlg, nIDDlgItem);
  return c ? SendMessage(c, Msg, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  HWND c = GetDlgItem(hDlg, nIDButton);
  if (!c) return FALSE;
  SendMessage(c, BM_SETCHECK, uCheck, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  return static_cast<UINT>(SendDlgItemMessage(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
  for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
    if (HWND c = GetDlgItem(hDlg, id)) SendMessage(c, BM_SETCHECK, id == nIDCheckButton, 0);
  return TRUE;
}

// Children in creation order, wrapping around from hCtl.
HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  std::vector<HWND> order;
  for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    order.insert(order.begin(), c);
  if (bPrevious) std::reverse(order.begin(), order.end());
  auto n = order.size();
  size_t start = 0;
  for (size_t i = 0; i < n; ++i)
    if (order[i] == hCtl) start = i + 1;
  for (size_t k = 0; k < n; ++k) {
    HWND c = order[(start + k) % n];
    if ((GetWindowLong(c, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(c) && IsWindowEnabled(c))
      return c;
  }
  return nullptr;
}
