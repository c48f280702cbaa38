#include "core/viewlookup.h"

#include <cctype>
#include <cstring>

#include "core/common.h"

namespace {

bool Matches(STRUCT_DLL_INFO* info, HWND hwnd, LPCSTR key, BOOL byClass) {
  if (byClass) {
    char cls[20];
    GetClassName(hwnd, cls, sizeof cls);
    return std::strcmp(cls, key) == 0;
  }
  if (!(GetWindowLong(hwnd, GWL_STYLE) & (WS_BORDER | WS_DLGFRAME))) return false;
  char* title = info->szScratch2;
  if (GetWindowText(hwnd, title, 256) <= 0 || !title[0]) return false;
  for (size_t i = 0; title[i] && key[i]; ++i)
    if (std::toupper(static_cast<unsigned char>(title[i])) != key[i]) return false;
  return true;
}

}  // namespace

HWND FindDescendantWindow(STRUCT_DLL_INFO* info, HWND parent, LPCSTR key, BOOL byClass) {
  for (HWND child = parent ? GetWindow(parent, GW_CHILD) : GetTopWindow(nullptr); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (HWND found = FindDescendantWindow(info, child, key, byClass)) return found;
    if (Matches(info, child, key, byClass)) return child;
  }
  return nullptr;
}

HWND FindViewWindow(CCpClient* client) {
  CCommandProcessor* pcp = client->pcp;
  if (pcp->hwndView) return pcp->hwndView;
  if (pcp->hwndMain)
    return FindDescendantWindow(GetDllInfo(client), pcp->hwndMain, "ViewDrawClass", TRUE);
  return nullptr;
}
