// "CreateWindow", "GetWindowText$", "SetWindowText", "ShowWindow" and both
// forms of "SETWINDOWLOC": structure windows placed by fractions of the
// host's drawing view (x from its left, y from its bottom).
#include <algorithm>
#include <cctype>
#include <new>
#include <string>

#include "core/alloc.h"
#include "core/app.h"
#include "core/viewlookup.h"
#include "objects/makeobj.h"
#include "resources/resource.h"
#include "windows/entries.h"
#include "windows/strucwnd.h"

namespace {

constexpr DWORD kStructureWindowStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU |
                                        WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

LONG Thousandths(double f) { return RoundToLong(f * 1000.0); }

// n thousandths of extent, in 64 bits and held to the 32-bit range, so
// fractions far outside 0..1 cannot overflow.
LONG PartOf(long long n, LONG extent) {
  const long long v = n * extent / 1000;
  return static_cast<LONG>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

CChemStructureWindow* WindowObjectOf(OBJ_BASECLASS* value) {
  return value ? static_cast<CChemStructureWindow*>(value->pWord1) : nullptr;
}

// The window of argument n when it still exists, else null.
HWND LiveWindowArg(OBJ_BASECLASS** args, int n) {
  if (!HasArg(args, n)) return nullptr;
  CChemStructureWindow* w = WindowObjectOf(args[n - 1]);
  return w && w->IsAlive() ? w->m_hWnd : nullptr;
}

std::string TitleOf(HWND hwnd) {
  std::string title(static_cast<size_t>(std::max(0, GetWindowTextLength(hwnd))) + 1, '\0');
  title.resize(
      static_cast<size_t>(GetWindowText(hwnd, title.data(), static_cast<int>(title.size()))));
  return title;
}

short MoveWindowTo(CCpClient* client, HWND hwnd, OBJ_BASECLASS** args) {
  if (!hwnd || !IsWindow(hwnd)) return ReportError(client->pcp, IDS_ERR_NODATA);
  const LONG xf = HasArg(args, 2) ? Thousandths(std::clamp(GetNumberArg(args, 2), 0.0, 1.0)) : 0;
  const LONG yf = HasArg(args, 3) ? Thousandths(std::clamp(GetNumberArg(args, 3), 0.0, 1.0)) : 1000;
  const bool popup = GetWindowLong(hwnd, GWL_STYLE) & WS_POPUP;
  HWND reference = popup ? FindViewWindow(client) : GetParent(hwnd);
  if (!reference) return 0;
  RECT area;
  GetClientRect(reference, &area);
  POINT to{PartOf(xf, area.right), PartOf(1000 - yf, area.bottom)};
  RECT now;
  GetWindowRect(hwnd, &now);
  POINT corner{now.left, now.top};
  if (popup)
    ClientToScreen(reference, &to);
  else
    ScreenToClient(GetParent(hwnd), &corner);
  if (corner.x == to.x && corner.y == to.y) return 0;
  SetWindowPos(hwnd, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

}  // namespace

STRUCT_FUNCTION(ChemStrucWindow) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  if (!HasArg(args, 1)) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 1);
  if (!HasArg(args, 2)) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 2);
  HWND parent = FindViewWindow(client);
  if (!parent) return ReportError(pcp, IDS_ERR_CREATEWINDOW);
  LONG left = 0, top = 0, right = 100, bottom = 100;
  if (HasArg(args, 3)) {
    const auto* x = reinterpret_cast<const RANGE_OBJ*>(args[2]);
    left = Thousandths(x->dFrom);
    right = Thousandths(x->dTo);
  }
  if (HasArg(args, 4)) {
    const auto* y = reinterpret_cast<const RANGE_OBJ*>(args[3]);
    top = Thousandths(y->dFrom);
    bottom = Thousandths(y->dTo);
  }
  RECT area;
  GetClientRect(parent, &area);
  const LONG W = area.right, H = area.bottom;
  const LONG x0 = PartOf(left, W), x1 = PartOf(right, W);
  const LONG y0 = PartOf(1000LL - bottom, H), y1 = PartOf(1000LL - top, H);

  auto* wnd = StructNew<CChemStructureWindow>(client);
  if (!wnd) return ReportError(pcp, IDS_ERR_CREATEWINDOW);
  auto extent = [](LONG from, LONG to) {
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(to) - from, 0, INT32_MAX));
  };
  if (!wnd->CreateEx(0, GetStructApp().m_strWndClass, "", kStructureWindowStyle, x0, y0,
                     extent(x0, x1), extent(y0, y1), parent, nullptr)) {
    delete wnd;
    return ReportError(pcp, IDS_ERR_CREATEWINDOW);
  }
  // A window that could not take its structure would show nothing while
  // the macro believes it has one.
  if (!wnd->SetStructure(static_cast<const CSDRAWREC*>(args[0]->pWord3))) {
    delete wnd;
    return ReportError(pcp, IDS_ERR_NOMEMORY);
  }
  short status = MakeWindowObject(wnd, result, client);
  if (status) {
    delete wnd;
    return status;
  }
  wnd->ShowWindow(SW_SHOWNORMAL);
  BringWindowToTop(wnd->m_hWnd);
  return 0;
}

STRUCT_FUNCTION(ChemStrucGetWindowText) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  if (!HasArg(args, 1)) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 1);
  HWND hwnd = LiveWindowArg(args, 1);
  if (!hwnd) return ReportError(pcp, IDS_ERR_NODATA);
  const std::string title = TitleOf(hwnd);
  return pcp->MakeResult(ARG_STRING, static_cast<int>(title.size()), title.c_str(), result);
}

STRUCT_COMMAND(ChemStrucSetWindowText) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  HWND hwnd = LiveWindowArg(args, 1);
  if (!hwnd) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 1);
  if (!HasArg(args, 2)) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 2);
  SetWindowText(hwnd, GetStringArg(args, 2));
  return 0;
}

STRUCT_COMMAND(ChemStrucShowWindow) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  HWND hwnd = LiveWindowArg(args, 1);
  if (!hwnd) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 1);
  if (!HasArg(args, 2)) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 2);
  ShowWindow(hwnd, RoundToLong(GetNumberArg(args, 2)));
  return 0;
}

STRUCT_COMMAND(ChemStrucSetWindowLoc) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  if (!HasArg(args, 1)) return ReportErrorNum(client->pcp, IDS_ERR_BADPARAM, 1);
  CChemStructureWindow* w = WindowObjectOf(args[0]);
  return MoveWindowTo(client, w && w->IsAlive() ? w->m_hWnd : nullptr, args);
}

STRUCT_COMMAND(SetWindowLocStr) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  if (!HasArg(args, 1)) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 1);
  std::string key = GetStringArg(args, 1).str();
  // An empty key would match the first captioned window of any title.
  if (key.empty()) return ReportError(pcp, IDS_ERR_NOTWINDOW);
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  HWND found = FindDescendantWindow(GetDllInfo(client), nullptr, key.c_str(), FALSE);
  if (!found) return ReportError(pcp, IDS_ERR_NOTWINDOW);
  return MoveWindowTo(client, found, args);
}
