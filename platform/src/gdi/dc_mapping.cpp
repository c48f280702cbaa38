// The mapping functions of a context: mapping mode, window and viewport
// origins and extents, and point conversion between logical and device
// coordinates. A recording printer records the Set calls and keeps the
// mapping too, so that its conversions follow what it records.
#include "dc.h"
#include "metadc.h"

using platform::gdi::Dc;
using platform::gdi::FindMetaDC;
using platform::gdi::WithDc;

int SetMapMode(HDC hdc, int mode) {
  if (auto* m = FindMetaDC(hdc)) {
    const int previous = m->SetMapMode(mode);
    if (!m->AlsoDevice()) return previous;
  }
  if (mode < MM_TEXT || mode > MM_ANISOTROPIC) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return WithDc(hdc, 0, [mode](Dc& dc) {
    int previous = dc.state.map.mode;
    platform::gdi::SetMode(dc.state.map, mode, dc.caps.logPixelsX, dc.caps.logPixelsY);
    return previous;
  });
}

int GetMapMode(HDC hdc) {
  return WithDc(hdc, 0, [](Dc& dc) { return dc.state.map.mode; });
}

namespace {

// Extents are ignored, successfully, in the modes that fix them.
BOOL SetExtent(HDC hdc, int x, int y, SIZE* previous, bool window) {
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    platform::gdi::Mapping& map = dc.state.map;
    SIZE& ext = window ? map.windowExt : map.viewportExt;
    if (previous) *previous = ext;
    if (!platform::gdi::ExtentsSettable(map)) return TRUE;
    if (x == 0 || y == 0) return FALSE;
    ext = {x, y};
    platform::gdi::KeepIsotropic(map);
    return TRUE;
  });
}

BOOL SetOrigin(HDC hdc, int x, int y, POINT* previous, bool window) {
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    POINT& org = window ? dc.state.map.windowOrg : dc.state.map.viewportOrg;
    if (previous) *previous = org;
    org = {x, y};
    return TRUE;
  });
}

template <class T, class F>
BOOL Get(HDC hdc, T* out, F field) {
  if (!out) return FALSE;
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    *out = field(dc.state.map);
    return TRUE;
  });
}

}  // namespace

BOOL SetWindowExtEx(HDC hdc, int x, int y, SIZE* lpsz) {
  if (auto* m = FindMetaDC(hdc)) {
    const BOOL recorded = m->SetWindowExtEx(x, y);
    if (!m->AlsoDevice()) return recorded;
  }
  return SetExtent(hdc, x, y, lpsz, true);
}

BOOL SetViewportExtEx(HDC hdc, int x, int y, SIZE* lpsz) {
  if (auto* m = FindMetaDC(hdc)) {
    const BOOL recorded = m->SetViewportExtEx(x, y);
    if (!m->AlsoDevice()) return recorded;
  }
  return SetExtent(hdc, x, y, lpsz, false);
}

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* lppt) {
  if (auto* m = FindMetaDC(hdc)) {
    const BOOL recorded = m->SetWindowOrgEx(x, y);
    if (!m->AlsoDevice()) return recorded;
  }
  return SetOrigin(hdc, x, y, lppt, true);
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* lppt) {
  if (auto* m = FindMetaDC(hdc)) {
    const BOOL recorded = m->SetViewportOrgEx(x, y);
    if (!m->AlsoDevice()) return recorded;
  }
  return SetOrigin(hdc, x, y, lppt, false);
}

BOOL GetWindowExtEx(HDC hdc, SIZE* lpsize) {
  return Get(hdc, lpsize, [](const platform::gdi::Mapping& m) { return m.windowExt; });
}

BOOL GetViewportExtEx(HDC hdc, SIZE* lpsize) {
  return Get(hdc, lpsize, [](const platform::gdi::Mapping& m) { return m.viewportExt; });
}

BOOL GetWindowOrgEx(HDC hdc, POINT* lppoint) {
  return Get(hdc, lppoint, [](const platform::gdi::Mapping& m) { return m.windowOrg; });
}

BOOL GetViewportOrgEx(HDC hdc, POINT* lppoint) {
  return Get(hdc, lppoint, [](const platform::gdi::Mapping& m) { return m.viewportOrg; });
}

BOOL LPtoDP(HDC hdc, POINT* lppt, int c) {
  if (!lppt || c < 0) return FALSE;
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    for (int i = 0; i < c; ++i) lppt[i] = platform::gdi::ToDevice(dc.state.map, lppt[i]);
    return TRUE;
  });
}

BOOL DPtoLP(HDC hdc, POINT* lppt, int c) {
  if (!lppt || c < 0) return FALSE;
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    for (int i = 0; i < c; ++i) lppt[i] = platform::gdi::ToLogical(dc.state.map, lppt[i]);
    return TRUE;
  });
}
