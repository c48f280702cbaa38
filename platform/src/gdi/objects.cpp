// Pens, brushes and fonts: the object table with its stock objects, creation,
// deletion (deferred while a context holds the object), GetObject,
// GetObjectType (which also knows contexts and metafiles), and the count of
// caller-made objects for leak checks.
#include "objects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "dc.h"
#include "internal.h"
#include "metadc.h"
#include "metafile_handles.h"

namespace platform::gdi {

namespace {

LOGFONT StockFont(LONG height, LONG weight, BYTE pitchAndFamily, const char* face) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfPitchAndFamily = pitchAndFamily;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

GdiObject StockBrush(BYTE gray, UINT style = BS_SOLID) {
  GdiObject o{ObjKind::Brush};
  o.brush = {style, RGB(gray, gray, gray), 0};
  return o;
}

GdiObject StockPen(UINT style, COLORREF color) {
  GdiObject o{ObjKind::Pen};
  o.pen = {style, {0, 0}, color};
  return o;
}

GdiObject StockFontObject(const LOGFONT& lf) {
  GdiObject o{ObjKind::Font};
  o.font = lf;
  return o;
}

// The stock objects by index, as Windows describes them; indexes without an
// object here (palettes, DC pens) have none.
std::map<int, GdiObject> StockObjects() {
  const BYTE fixedModern = FIXED_PITCH | FF_MODERN;
  const BYTE varSwiss = VARIABLE_PITCH | FF_SWISS;
  return {
      {WHITE_BRUSH, StockBrush(255)},
      {LTGRAY_BRUSH, StockBrush(192)},
      {GRAY_BRUSH, StockBrush(128)},
      {DKGRAY_BRUSH, StockBrush(64)},
      {BLACK_BRUSH, StockBrush(0)},
      {NULL_BRUSH, StockBrush(0, BS_NULL)},
      {WHITE_PEN, StockPen(PS_SOLID, RGB(255, 255, 255))},
      {BLACK_PEN, StockPen(PS_SOLID, RGB(0, 0, 0))},
      {NULL_PEN, StockPen(PS_NULL, RGB(0, 0, 0))},
      {OEM_FIXED_FONT, StockFontObject(StockFont(12, FW_NORMAL, fixedModern, "Terminal"))},
      {ANSI_FIXED_FONT, StockFontObject(StockFont(12, FW_NORMAL, fixedModern, "Courier"))},
      {ANSI_VAR_FONT, StockFontObject(StockFont(12, FW_NORMAL, varSwiss, "MS Sans Serif"))},
      {SYSTEM_FONT, StockFontObject(StockFont(16, FW_BOLD, varSwiss, "System"))},
      {DEVICE_DEFAULT_FONT, StockFontObject(StockFont(16, FW_BOLD, varSwiss, "System"))},
      {SYSTEM_FIXED_FONT, StockFontObject(StockFont(15, FW_NORMAL, fixedModern, "Fixedsys"))},
      {DEFAULT_GUI_FONT, StockFontObject(StockFont(-11, FW_NORMAL, varSwiss, "MS Shell Dlg"))},
  };
}

struct Table {
  std::map<uintptr_t, GdiObject> objects;
  std::map<int, HGDIOBJ> stock;
  Table() {
    for (auto& [index, o] : StockObjects()) {
      uintptr_t h = platform::detail::NewHandleValue();
      o.stock = index;
      objects[h] = o;
      stock[index] = reinterpret_cast<HGDIOBJ>(h);
    }
  }
};

Table& TableLocked() {
  static auto* t = new Table;
  return *t;
}

GdiObject* AnyObject(HGDIOBJ h) {
  auto& objects = TableLocked().objects;
  auto it = objects.find(reinterpret_cast<uintptr_t>(h));
  return it == objects.end() ? nullptr : &it->second;
}

HGDIOBJ Add(const GdiObject& o) {
  std::lock_guard lock(GdiMutex());
  uintptr_t h = platform::detail::NewHandleValue();
  TableLocked().objects[h] = o;
  return reinterpret_cast<HGDIOBJ>(h);
}

void EraseIfUnused(HGDIOBJ h) {
  GdiObject* o = AnyObject(h);
  if (o && o->deleted && o->holds == 0) TableLocked().objects.erase(reinterpret_cast<uintptr_t>(h));
}

}  // namespace

std::recursive_mutex& GdiMutex() {
  static auto* m = new std::recursive_mutex;
  return *m;
}

GdiObject* FindObject(HGDIOBJ h) {
  GdiObject* o = AnyObject(h);
  return o && !o->deleted ? o : nullptr;
}

const GdiObject* UsedObject(HGDIOBJ h) { return AnyObject(h); }

ObjRef::ObjRef(HGDIOBJ h) : h_(h) {
  std::lock_guard lock(GdiMutex());
  if (GdiObject* o = AnyObject(h_))
    ++o->holds;
  else
    h_ = nullptr;
}

ObjRef& ObjRef::operator=(const ObjRef& o) {
  if (this != &o) {
    ObjRef copy(o);
    std::swap(h_, copy.h_);
  }
  return *this;
}

ObjRef::~ObjRef() {
  if (!h_) return;
  std::lock_guard lock(GdiMutex());
  if (GdiObject* o = AnyObject(h_)) --o->holds;
  EraseIfUnused(h_);
}

}  // namespace platform::gdi

using platform::gdi::GdiMutex;
using platform::gdi::GdiObject;
using platform::gdi::ObjKind;

HGDIOBJ GetStockObject(int i) {
  std::lock_guard lock(GdiMutex());
  auto& stock = platform::gdi::TableLocked().stock;
  auto it = stock.find(i);
  return it == stock.end() ? nullptr : it->second;
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
  LOGPEN lp{static_cast<UINT>(iStyle), {std::abs(cWidth), 0}, color};
  return CreatePenIndirect(&lp);
}

HPEN CreatePenIndirect(const LOGPEN* plpen) {
  if (!plpen || (plpen->lopnStyle & 0xF) > PS_INSIDEFRAME) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  GdiObject o{ObjKind::Pen};
  o.pen = *plpen;
  o.pen.lopnStyle &= 0xF;
  o.pen.lopnWidth.x = std::abs(o.pen.lopnWidth.x);
  return platform::gdi::Add(o);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  LOGBRUSH lb{BS_SOLID, color, 0};
  return CreateBrushIndirect(&lb);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush) {
  bool ok = plbrush && (plbrush->lbStyle == BS_SOLID || plbrush->lbStyle == BS_NULL ||
                        (plbrush->lbStyle == BS_HATCHED && plbrush->lbHatch <= HS_DIAGCROSS));
  if (!ok) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  GdiObject o{ObjKind::Brush};
  o.brush = *plbrush;
  return platform::gdi::Add(o);
}

HFONT CreateFontIndirect(const LOGFONT* lplf) {
  if (!lplf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  GdiObject o{ObjKind::Font};
  o.font = *lplf;
  o.font.lfFaceName[LF_FACESIZE - 1] = '\0';
  return platform::gdi::Add(o);
}

// Deleting a stock object is allowed and does nothing. Metafile contexts are
// told first, so they record the deletion while the object still exists.
BOOL DeleteObject(HGDIOBJ ho) {
  {
    std::lock_guard lock(GdiMutex());
    GdiObject* o = platform::gdi::FindObject(ho);
    if (!o) return FALSE;
    if (o->stock >= 0) return TRUE;
  }
  platform::gdi::MetaObjectDeleted(ho);
  std::lock_guard lock(GdiMutex());
  GdiObject* o = platform::gdi::FindObject(ho);
  if (!o) return TRUE;  // deleted meanwhile
  o->deleted = true;
  platform::gdi::EraseIfUnused(ho);
  return TRUE;
}

int GetObject(HGDIOBJ h, int c, LPVOID pv) {
  std::lock_guard lock(GdiMutex());
  const GdiObject* o = platform::gdi::FindObject(h);
  if (!o) return 0;
  const void* data;
  int size;
  switch (o->kind) {
    case ObjKind::Pen:
      data = &o->pen;
      size = sizeof(LOGPEN);
      break;
    case ObjKind::Brush:
      data = &o->brush;
      size = sizeof(LOGBRUSH);
      break;
    default:
      data = &o->font;
      size = sizeof(LOGFONT);
      break;
  }
  if (!pv) return size;
  int n = std::clamp(c, 0, size);
  std::memcpy(pv, data, static_cast<size_t>(n));
  return n;
}

DWORD GetObjectType(HGDIOBJ h) {
  if (!h) return 0;
  if (platform::gdi::IsMetaFileOnly(static_cast<HDC>(h))) return OBJ_METADC;
  std::lock_guard lock(GdiMutex());
  if (const GdiObject* o = platform::gdi::FindObject(h)) {
    switch (o->kind) {
      case ObjKind::Pen:
        return OBJ_PEN;
      case ObjKind::Brush:
        return OBJ_BRUSH;
      default:
        return OBJ_FONT;
    }
  }
  if (platform::gdi::FindDc(static_cast<HDC>(h))) return OBJ_DC;
  return platform::gdi::MetaFileBytes(static_cast<HMETAFILE>(h)) ? OBJ_METAFILE : 0;
}

namespace platform {
int LiveGdiObjects() {
  std::lock_guard lock(gdi::GdiMutex());
  int n = 0;
  for (const auto& [h, o] : gdi::TableLocked().objects) n += o.stock < 0 && !o.deleted;
  return n;
}
}  // namespace platform
