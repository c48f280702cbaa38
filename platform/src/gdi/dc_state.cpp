// Context attributes: saved states, background mode and colour, text colour
// and alignment, the ROP2 mode, and the selected pen, brush and font. Each
// call on a metafile context is handed to the metafile recorder; the getters
// fail there, as Windows' do. A recording printer has its calls recorded and
// keeps the state as well, answering as the device it is.
#include "dc.h"
#include "metadc.h"

using platform::gdi::Dc;
using platform::gdi::FindMetaDC;
using platform::gdi::WithDc;

int SaveDC(HDC hdc) {
  if (auto* m = FindMetaDC(hdc)) {
    const int level = m->SaveDC();
    if (!m->AlsoDevice()) return level;
  }
  return WithDc(hdc, 0, [](Dc& dc) {
    dc.saved.push_back(dc.state);
    return static_cast<int>(dc.saved.size());
  });
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
  if (auto* m = FindMetaDC(hdc)) {
    const BOOL restored = m->RestoreDC(nSavedDC);
    if (!m->AlsoDevice()) return restored;
  }
  return WithDc(hdc, FALSE, [nSavedDC](Dc& dc) {
    int n = static_cast<int>(dc.saved.size());
    int index = nSavedDC < 0 ? n + nSavedDC : nSavedDC - 1;
    if (nSavedDC == 0 || index < 0 || index >= n) return FALSE;
    dc.state = dc.saved[static_cast<size_t>(index)];
    dc.saved.resize(static_cast<size_t>(index));
    return TRUE;
  });
}

int SetBkMode(HDC hdc, int mode) {
  if (auto* m = FindMetaDC(hdc)) {
    const int previous = m->SetBkMode(mode);
    if (!m->AlsoDevice()) return previous;
  }
  if (mode != TRANSPARENT && mode != OPAQUE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return WithDc(hdc, 0, [mode](Dc& dc) { return std::exchange(dc.state.bkMode, mode); });
}

int GetBkMode(HDC hdc) {
  return WithDc(hdc, 0, [](Dc& dc) { return dc.state.bkMode; });
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  if (auto* m = FindMetaDC(hdc)) {
    const COLORREF previous = m->SetBkColor(color);
    if (!m->AlsoDevice()) return previous;
  }
  return WithDc(hdc, CLR_INVALID,
                [color](Dc& dc) { return std::exchange(dc.state.bkColor, color); });
}

COLORREF GetBkColor(HDC hdc) {
  return WithDc(hdc, CLR_INVALID, [](Dc& dc) { return dc.state.bkColor; });
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  if (auto* m = FindMetaDC(hdc)) {
    const COLORREF previous = m->SetTextColor(color);
    if (!m->AlsoDevice()) return previous;
  }
  return WithDc(hdc, CLR_INVALID,
                [color](Dc& dc) { return std::exchange(dc.state.textColor, color); });
}

COLORREF GetTextColor(HDC hdc) {
  return WithDc(hdc, CLR_INVALID, [](Dc& dc) { return dc.state.textColor; });
}

UINT SetTextAlign(HDC hdc, UINT align) {
  if (auto* m = FindMetaDC(hdc)) {
    const UINT previous = m->SetTextAlign(align);
    if (!m->AlsoDevice()) return previous;
  }
  return WithDc(hdc, CLR_INVALID,
                [align](Dc& dc) { return std::exchange(dc.state.textAlign, align); });
}

UINT GetTextAlign(HDC hdc) {
  return WithDc(hdc, CLR_INVALID, [](Dc& dc) { return dc.state.textAlign; });
}

int SetROP2(HDC hdc, int rop2) {
  if (auto* m = FindMetaDC(hdc)) {
    const int previous = m->SetROP2(rop2);
    if (!m->AlsoDevice()) return previous;
  }
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return WithDc(hdc, 0, [rop2](Dc& dc) { return std::exchange(dc.state.rop2, rop2); });
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  if (auto* m = FindMetaDC(hdc)) {
    HGDIOBJ previous = m->SelectObject(h);
    if (!m->AlsoDevice()) return previous;
  }
  return WithDc(hdc, static_cast<HGDIOBJ>(nullptr), [h](Dc& dc) -> HGDIOBJ {
    const platform::gdi::GdiObject* o = platform::gdi::FindObject(h);
    if (!o) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    platform::gdi::ObjRef* slot;
    switch (o->kind) {
      case platform::gdi::ObjKind::Pen:
        slot = &dc.state.pen;
        break;
      case platform::gdi::ObjKind::Brush:
        slot = &dc.state.brush;
        break;
      default:
        slot = &dc.state.font;
        break;
    }
    HGDIOBJ previous = slot->get();
    *slot = platform::gdi::ObjRef(h);
    return previous;
  });
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  return WithDc(hdc, static_cast<HGDIOBJ>(nullptr), [type](Dc& dc) -> HGDIOBJ {
    switch (type) {
      case OBJ_PEN:
        return dc.state.pen.get();
      case OBJ_BRUSH:
        return dc.state.brush.get();
      case OBJ_FONT:
        return dc.state.font.get();
      default:
        return nullptr;
    }
  });
}
