// Lines and shapes: the current position, LineTo, Polyline, Polygon,
// Rectangle, Ellipse, FillRect, the clip rectangle, and GetPixel. Shapes
// follow GDI's box convention: a one-pixel outline covers the pixels from
// left to right - 1 and top to bottom - 1; without a pen the filled area is
// one pixel smaller each way. A recording printer only records the drawing,
// having no page, but keeps its current position and clip rectangle.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "dc.h"
#include "metadc.h"
#include "paint.h"

namespace {

using platform::gdi::Dc;
using platform::gdi::FindMetaDC;
using platform::gdi::PenInk;
using platform::gdi::WithDc;

// A line between device points a and b, GDI style for thin pens: from the
// start pixel up to, not including, the end pixel.
void AddSegment(cairo_t* cr, POINT a, POINT b, const PenInk& pen) {
  double o = pen.offset();
  double x1 = a.x + o, y1 = a.y + o, x2 = b.x + o, y2 = b.y + o;
  double len = std::hypot(x2 - x1, y2 - y1);
  if (len == 0) return;
  if (pen.thin()) {
    double ux = (x2 - x1) / len / 2, uy = (y2 - y1) / len / 2;
    x1 -= ux;
    y1 -= uy;
    x2 -= ux;
    y2 -= uy;
  }
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
}

std::vector<POINT> DevicePoints(const Dc& dc, const POINT* apt, int cpt) {
  std::vector<POINT> out(static_cast<size_t>(cpt));
  for (int i = 0; i < cpt; ++i) out[static_cast<size_t>(i)] = ToDevice(dc.state.map, apt[i]);
  return out;
}

// The device box of a logical rectangle, ordered.
RECT DeviceBox(const Dc& dc, int left, int top, int right, int bottom) {
  POINT a = ToDevice(dc.state.map, POINT{left, top});
  POINT b = ToDevice(dc.state.map, POINT{right, bottom});
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

struct Box {
  double left, top, right, bottom;
};

// Where the centre of the outline runs, or the edges of the filled area when
// there is no pen.
Box ShapeBox(const RECT& r, const PenInk& pen) {
  if (!pen.visible) return {double(r.left), double(r.top), r.right - 1.0, r.bottom - 1.0};
  if (pen.style == PS_INSIDEFRAME) {
    double h = pen.width / 2.0;
    return {r.left + h, r.top + h, r.right - h, r.bottom - h};
  }
  double o = pen.offset();
  return {r.left + o, r.top + o, r.right - 1 + o, r.bottom - 1 + o};
}

using PathMaker = void (*)(cairo_t*, const Box&);

BOOL DrawShape(HDC hdc, int left, int top, int right, int bottom, PathMaker path) {
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    if (!dc.CanDraw()) return FALSE;
    platform::gdi::Primitive p(dc);
    PenInk pen = platform::gdi::CurrentPen(dc);
    path(dc.cr, ShapeBox(DeviceBox(dc, left, top, right, bottom), pen));
    platform::gdi::FillAndStroke(dc, platform::gdi::CurrentBrush(dc), pen);
    return TRUE;
  });
}

void RectanglePath(cairo_t* cr, const Box& b) {
  cairo_rectangle(cr, b.left, b.top, b.right - b.left, b.bottom - b.top);
}

void EllipsePath(cairo_t* cr, const Box& b) {
  double rx = (b.right - b.left) / 2, ry = (b.bottom - b.top) / 2;
  if (rx <= 0 || ry <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, b.left + rx, b.top + ry);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_close_path(cr);
  cairo_restore(cr);
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, POINT* lppt) {
  if (auto* m = FindMetaDC(hdc)) {
    const BOOL recorded = m->MoveToEx(x, y);
    if (!m->AlsoDevice()) return recorded;
  }
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    if (lppt) *lppt = dc.state.pos;
    dc.state.pos = {x, y};
    return TRUE;
  });
}

BOOL GetCurrentPositionEx(HDC hdc, POINT* lppt) {
  if (!lppt) return FALSE;
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    *lppt = dc.state.pos;
    return TRUE;
  });
}

BOOL LineTo(HDC hdc, int x, int y) {
  if (auto* m = FindMetaDC(hdc)) {
    const BOOL recorded = m->LineTo(x, y);
    if (m->AlsoDevice()) {
      WithDc(hdc, FALSE, [&](Dc& dc) {
        dc.state.pos = {x, y};
        return TRUE;
      });
    }
    return recorded;
  }
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    if (!dc.CanDraw()) return FALSE;
    POINT from = ToDevice(dc.state.map, dc.state.pos);
    POINT to = ToDevice(dc.state.map, POINT{x, y});
    dc.state.pos = {x, y};
    platform::gdi::Primitive p(dc);
    PenInk pen = platform::gdi::CurrentPen(dc);
    AddSegment(dc.cr, from, to, pen);
    platform::gdi::StrokePath(dc, pen);
    return TRUE;
  });
}

// One open path through the points, each shifted by o onto the pen's pixel
// grid; Polyline strokes it, Polygon closes and fills it.
namespace {
void TracePath(cairo_t* cr, const std::vector<POINT>& pts, double o) {
  cairo_move_to(cr, pts[0].x + o, pts[0].y + o);
  for (size_t i = 1; i < pts.size(); ++i) cairo_line_to(cr, pts[i].x + o, pts[i].y + o);
}
}  // namespace

// The same lines as MoveToEx and LineTo through the points would draw; a
// wide pen joins them into one path so the corners are round, not notched.
BOOL Polyline(HDC hdc, const POINT* apt, int cpt) {
  if (auto* m = FindMetaDC(hdc)) return m->Polyline(apt, cpt);
  if (!apt || cpt < 2) return FALSE;
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    if (!dc.CanDraw()) return FALSE;
    std::vector<POINT> pts = DevicePoints(dc, apt, cpt);
    platform::gdi::Primitive p(dc);
    PenInk pen = platform::gdi::CurrentPen(dc);
    if (pen.thin()) {
      for (size_t i = 1; i < pts.size(); ++i) AddSegment(dc.cr, pts[i - 1], pts[i], pen);
    } else {
      TracePath(dc.cr, pts, pen.offset());
    }
    platform::gdi::StrokePath(dc, pen);
    return TRUE;
  });
}

BOOL Polygon(HDC hdc, const POINT* apt, int cpt) {
  if (auto* m = FindMetaDC(hdc)) return m->Polygon(apt, cpt);
  if (!apt || cpt < 2) return FALSE;
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    if (!dc.CanDraw()) return FALSE;
    std::vector<POINT> pts = DevicePoints(dc, apt, cpt);
    platform::gdi::Primitive p(dc);
    PenInk pen = platform::gdi::CurrentPen(dc);
    TracePath(dc.cr, pts, pen.visible ? pen.offset() : 0.5);
    cairo_close_path(dc.cr);
    cairo_set_fill_rule(dc.cr, CAIRO_FILL_RULE_EVEN_ODD);  // GDI's ALTERNATE
    platform::gdi::FillAndStroke(dc, platform::gdi::CurrentBrush(dc), pen);
    return TRUE;
  });
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  if (auto* m = FindMetaDC(hdc)) return m->Rectangle(left, top, right, bottom);
  return DrawShape(hdc, left, top, right, bottom, RectanglePath);
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  if (auto* m = FindMetaDC(hdc)) return m->Ellipse(left, top, right, bottom);
  return DrawShape(hdc, left, top, right, bottom, EllipsePath);
}

// A metafile has no FillRect record here: it gets the pen-less rectangle
// that covers the same pixels.
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  if (!lprc) return 0;
  if (FindMetaDC(hDC)) {
    if (GetObjectType(hbr) != OBJ_BRUSH) return 0;
    SaveDC(hDC);
    SelectObject(hDC, hbr);
    SelectObject(hDC, GetStockObject(NULL_PEN));
    BOOL ok = Rectangle(hDC, lprc->left, lprc->top, lprc->right + 1, lprc->bottom + 1);
    RestoreDC(hDC, -1);
    return ok;
  }
  return WithDc(hDC, 0, [&](Dc& dc) {
    const platform::gdi::GdiObject* o = platform::gdi::FindObject(hbr);
    if (!o || o->kind != platform::gdi::ObjKind::Brush || !dc.CanDraw()) return 0;
    RECT r = DeviceBox(dc, lprc->left, lprc->top, lprc->right, lprc->bottom);
    platform::gdi::Primitive p(dc);
    cairo_rectangle(dc.cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    platform::gdi::FillPath(dc, o->brush, false);
    cairo_new_path(dc.cr);
    return 1;
  });
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  if (auto* m = FindMetaDC(hdc)) {
    const int region = m->IntersectClipRect(left, top, right, bottom);
    if (!m->AlsoDevice()) return region;
  }
  return WithDc(hdc, RGN_ERROR, [&](Dc& dc) {
    RECT r = DeviceBox(dc, left, top, right, bottom);
    RECT& c = dc.state.clip;
    if (dc.state.clipped) {
      r = {std::max(r.left, c.left), std::max(r.top, c.top), std::min(r.right, c.right),
           std::min(r.bottom, c.bottom)};
    }
    if (r.right <= r.left || r.bottom <= r.top) r = {0, 0, 0, 0};
    c = r;
    dc.state.clipped = true;
    return r.right > r.left ? SIMPLEREGION : NULLREGION;
  });
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  return WithDc(hdc, CLR_INVALID, [&](Dc& dc) {
    if (!dc.surface) return CLR_INVALID;
    POINT d = ToDevice(dc.state.map, POINT{x, y});
    return dc.surface->Pixel(d.x, d.y);
  });
}
