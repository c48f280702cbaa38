// Pens, brushes and ROP2 as cairo sources, strokes and fills. Dash patterns
// are those of GDI's one-pixel pens; a wider pen is drawn solid, as Windows
// draws styled pens only at one device unit.
#include "paint.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace platform::gdi {

namespace {

// Sets the source for drawing colour c by the context's ROP2 mode.
void SetInk(Dc& dc, COLORREF c) {
  cairo_set_operator(dc.cr, CAIRO_OPERATOR_OVER);
  switch (dc.state.rop2) {
    case R2_BLACK:
      SetSourceColor(dc.cr, RGB(0, 0, 0));
      break;
    case R2_WHITE:
      SetSourceColor(dc.cr, RGB(255, 255, 255));
      break;
    case R2_NOT:
      SetSourceColor(dc.cr, RGB(255, 255, 255));
      cairo_set_operator(dc.cr, CAIRO_OPERATOR_DIFFERENCE);
      break;
    case 11:  // R2_NOP
      cairo_set_operator(dc.cr, CAIRO_OPERATOR_DEST);
      break;
    default:
      SetSourceColor(dc.cr, dc.Ink(c));
      break;
  }
}

std::vector<double> DashPattern(int style) {
  switch (style) {
    case PS_DASH:
      return {18, 6};
    case PS_DOT:
      return {3, 3};
    case PS_DASHDOT:
      return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
      return {9, 3, 3, 3, 3, 3};
    default:
      return {};
  }
}

// An 8 x 8 tile of the hatch in colour c on transparent pixels.
cairo_pattern_t* HatchPattern(uintptr_t hatch, COLORREF c) {
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_surface_flush(tile);
  unsigned char* data = cairo_image_surface_get_data(tile);
  int stride = cairo_image_surface_get_stride(tile);
  uint32_t ink = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  auto set = [&](int x, int y) { std::memcpy(data + y * stride + 4 * x, &ink, 4); };
  for (int i = 0; i < 8; ++i) {
    if (hatch == HS_HORIZONTAL || hatch == HS_CROSS) set(i, 4);
    if (hatch == HS_VERTICAL || hatch == HS_CROSS) set(4, i);
    if (hatch == HS_FDIAGONAL || hatch == HS_DIAGCROSS) set(i, i);
    if (hatch == HS_BDIAGONAL || hatch == HS_DIAGCROSS) set(7 - i, i);
  }
  cairo_surface_mark_dirty(tile);
  cairo_pattern_t* p = cairo_pattern_create_for_surface(tile);
  cairo_surface_destroy(tile);
  cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
  return p;
}

}  // namespace

PenInk CurrentPen(const Dc& dc) {
  const LOGPEN& lp = dc.state.pen->pen;
  int width = 1;
  if (lp.lopnWidth.x > 0)
    width = std::max(1L, std::lround(lp.lopnWidth.x * std::fabs(ScaleX(dc.state.map))));
  return {lp.lopnStyle != PS_NULL, width, static_cast<int>(lp.lopnStyle), lp.lopnColor};
}

LOGBRUSH CurrentBrush(const Dc& dc) { return dc.state.brush->brush; }

Primitive::Primitive(Dc& dc) : cr_(dc.cr) {
  cairo_save(cr_);
  if (dc.state.clipped) {
    const RECT& c = dc.state.clip;
    cairo_rectangle(cr_, c.left, c.top, c.right - c.left, c.bottom - c.top);
    cairo_clip(cr_);
  }
}

Primitive::~Primitive() { cairo_restore(cr_); }

void StrokePath(Dc& dc, const PenInk& pen) {
  cairo_t* cr = dc.cr;
  if (!pen.visible) {
    cairo_new_path(cr);
    return;
  }
  cairo_set_line_width(cr, pen.width);
  cairo_set_line_cap(cr, pen.thin() ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, pen.thin() ? CAIRO_LINE_JOIN_MITER : CAIRO_LINE_JOIN_ROUND);
  std::vector<double> dashes = pen.thin() ? DashPattern(pen.style) : std::vector<double>{};
  if (!dashes.empty()) {
    if (dc.state.bkMode == OPAQUE) {
      cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
      SetSourceColor(cr, dc.Ink(dc.state.bkColor));
      cairo_stroke_preserve(cr);
    }
    cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
  }
  SetInk(dc, pen.color);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

void FillPath(Dc& dc, const LOGBRUSH& brush, bool applyRop) {
  cairo_t* cr = dc.cr;
  if (brush.lbStyle == BS_NULL) return;
  if (brush.lbStyle == BS_HATCHED) {
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    if (dc.state.bkMode == OPAQUE) {
      SetSourceColor(cr, dc.Ink(dc.state.bkColor));
      cairo_fill_preserve(cr);
    }
    cairo_pattern_t* p = HatchPattern(brush.lbHatch, dc.Ink(brush.lbColor));
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    return;
  }
  if (applyRop) {
    SetInk(dc, brush.lbColor);
  } else {
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    SetSourceColor(cr, dc.Ink(brush.lbColor));
  }
  cairo_fill_preserve(cr);
}

}  // namespace platform::gdi
