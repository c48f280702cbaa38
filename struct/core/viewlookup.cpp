#include "core/viewlookup.h"

#include <cctype>
#include <algorithm>
#include <cstring>
#include <string>

#include "core/common.h"

namespace {

bool Matches(HWND hwnd, LPCSTR key, BOOL byClass) {
  if (byClass) {
    char cls[20];
    GetClassName(hwnd, cls, sizeof cls);
    return std::strcmp(cls, key) == 0;
  }
  if (!(GetWindowLong(hwnd, GWL_STYLE) & (WS_BORDER | WS_DLGFRAME))) return false;
  // Titles of any length; characters compared as the unsigned bytes they are.
  std::string title(static_cast<size_t>(std::max(0, GetWindowTextLength(hwnd))) + 1, '\0');
  title.resize(
      static_cast<size_t>(GetWindowText(hwnd, title.data(), static_cast<int>(title.size()))));
  if (title.empty()) return false;
  const auto* k = reinterpret_cast<const unsigned char*>(key);
  for (size_t i = 0; i < title.size() && k[i]; ++i)
    if (std::toupper(static_cast<unsigned char>(title[i])) != k[i]) return false;
  return true;
}

}  // namespace

HWND FindDescendantWindow(STRUCT_DLL_INFO* info, HWND parent, LPCSTR key, BOOL byClass) {
  for (HWND child = parent ? GetWindow(parent, GW_CHILD) : GetTopWindow(nullptr); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (HWND found = FindDescendantWindow(info, child, key, byClass)) return found;
    if (Matches(child, key, byClass)) return child;
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
