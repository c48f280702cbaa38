// Pens, brushes and ROP2 as cairo sources, strokes and fills. Dash patterns
// are those of GDI's one-pixel pens; a wider pen is drawn solid, as Windows
// draws styled pens only at one device unit.
#include "paint.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace platform::gdi {

namespace {

// What drawing in colour c comes to under the context's ROP2 mode: nothing
// (R2_NOP), white inverting what lies beneath (R2_NOT), or a colour. The
// modes that mix the pen with the picture in other ways draw the pen's
// colour.
struct RopInk {
  bool draws;
  COLORREF color;
  bool invert;
};

RopInk InkFor(const Dc& dc, COLORREF c) {
  switch (dc.state.rop2) {
    case R2_BLACK:
      return {true, RGB(0, 0, 0), false};
    case R2_WHITE:
      return {true, RGB(255, 255, 255), false};
    case R2_NOT:
      return {true, RGB(255, 255, 255), true};
    case 11:  // R2_NOP
      return {false, 0, false};
    default:
      return {true, dc.Ink(c), false};
  }
}

// Sets the source for drawing colour c by the context's ROP2 mode.
void SetInk(Dc& dc, COLORREF c) {
  RopInk ink = InkFor(dc, c);
  cairo_set_operator(dc.cr, !ink.draws   ? CAIRO_OPERATOR_DEST
                            : ink.invert ? CAIRO_OPERATOR_DIFFERENCE
                                         : CAIRO_OPERATOR_OVER);
  if (ink.draws) SetSourceColor(dc.cr, ink.color);
}

// An 8 x 8 tile of the hatch in colour c on transparent pixels.
cairo_pattern_t* HatchPattern(uintptr_t hatch, COLORREF c) {
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_surface_flush(tile);
  unsigned char* data = cairo_image_surface_get_data(tile);
  int stride = cairo_image_surface_get_stride(tile);
  uint32_t ink = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  auto set = [&](int x, int y) { std::memcpy(data + y * stride + 4 * x, &ink, 4); };
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (HatchPixel(static_cast<int>(hatch), x, y)) set(x, y);
  cairo_surface_mark_dirty(tile);
  cairo_pattern_t* p = cairo_pattern_create_for_surface(tile);
  cairo_surface_destroy(tile);
  cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
  return p;
}

const RECT* ClipOf(const Dc& dc) { return dc.state.clipped ? &dc.state.clip : nullptr; }

// The SVG elements that stroke the current path with the pen: the gaps of a
// dashed pen in the background colour first in OPAQUE mode, then the pen.
int StrokeLayers(const Dc& dc, const PenInk& pen, SvgPaint* out) {
  if (!pen.visible) return 0;
  int n = 0;
  SvgStroke stroke{true, 0, pen.width, !pen.thin(), PS_SOLID};
  if (pen.thin() && !PenDashes(pen.style).empty()) {
    if (dc.state.bkMode == OPAQUE) {
      stroke.color = dc.Ink(dc.state.bkColor);
      out[n++] = SvgPaint{{}, stroke, false, ClipOf(dc)};
    }
    stroke.style = pen.style;
  }
  RopInk ink = InkFor(dc, pen.color);
  if (!ink.draws) return n;
  stroke.color = ink.color;
  out[n++] = SvgPaint{{}, stroke, ink.invert, ClipOf(dc)};
  return n;
}

// The SVG elements that fill the current path with the brush: a hatched
// brush over the background colour in OPAQUE mode, as a pattern of its tile.
int FillLayers(const Dc& dc, const LOGBRUSH& brush, bool applyRop, SvgPaint* out) {
  if (brush.lbStyle == BS_NULL) return 0;
  SvgFill fill{true, 0, -1, cairo_get_fill_rule(dc.cr) == CAIRO_FILL_RULE_EVEN_ODD};
  if (brush.lbStyle == BS_HATCHED) {
    int n = 0;
    if (dc.state.bkMode == OPAQUE) {
      fill.color = dc.Ink(dc.state.bkColor);
      out[n++] = SvgPaint{fill, {}, false, ClipOf(dc)};
    }
    fill.color = dc.Ink(brush.lbColor);
    fill.hatch = static_cast<int>(brush.lbHatch);
    out[n++] = SvgPaint{fill, {}, false, ClipOf(dc)};
    return n;
  }
  RopInk ink = applyRop ? InkFor(dc, brush.lbColor) : RopInk{true, dc.Ink(brush.lbColor), false};
  if (!ink.draws) return 0;
  fill.color = ink.color;
  out[0] = SvgPaint{fill, {}, ink.invert, ClipOf(dc)};
  return 1;
}

void PaintSvg(Dc& dc, const SvgPaint* layers, int n) {
  if (n == 0) return;
  SvgDocument* svg = dc.svg();
  svg->TakePath(dc.cr);
  for (int i = 0; i < n; ++i) svg->Paint(layers[i]);
}

}  // namespace

std::vector<double> PenDashes(int style) {
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

bool HatchPixel(int hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL:
      return y == 4;
    case HS_VERTICAL:
      return x == 4;
    case HS_CROSS:
      return x == 4 || y == 4;
    case HS_FDIAGONAL:
      return x == y;
    case HS_BDIAGONAL:
      return x == 7 - y;
    case HS_DIAGCROSS:
      return x == y || x == 7 - y;
    default:
      return false;
  }
}

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
  if (dc.state.clipped && !dc.svg()) {
    const RECT& c = dc.state.clip;
    cairo_rectangle(cr_, c.left, c.top, c.right - c.left, c.bottom - c.top);
    cairo_clip(cr_);
  }
}

Primitive::~Primitive() { cairo_restore(cr_); }

void StrokePath(Dc& dc, const PenInk& pen) {
  cairo_t* cr = dc.cr;
  if (dc.svg()) {
    SvgPaint layers[2];
    PaintSvg(dc, layers, StrokeLayers(dc, pen, layers));
    cairo_new_path(cr);
    return;
  }
  if (!pen.visible) {
    cairo_new_path(cr);
    return;
  }
  cairo_set_line_width(cr, pen.width);
  cairo_set_line_cap(cr, pen.thin() ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, pen.thin() ? CAIRO_LINE_JOIN_MITER : CAIRO_LINE_JOIN_ROUND);
  std::vector<double> dashes = pen.thin() ? PenDashes(pen.style) : std::vector<double>{};
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
  if (dc.svg()) {
    SvgPaint layers[2];
    PaintSvg(dc, layers, FillLayers(dc, brush, applyRop, layers));
    return;
  }
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

// An SVG context paints a shape whose fill and outline are plain colours as
// one element.
void FillAndStroke(Dc& dc, const LOGBRUSH& brush, const PenInk& pen) {
  if (!dc.svg()) {
    FillPath(dc, brush);
    StrokePath(dc, pen);
    return;
  }
  SvgPaint layers[4];
  int n = FillLayers(dc, brush, true, layers);
  int strokes = StrokeLayers(dc, pen, layers + n);
  if (n > 0 && strokes > 0 && !layers[n - 1].invert && !layers[n].invert) {
    layers[n - 1].stroke = layers[n].stroke;
    std::copy(layers + n + 1, layers + n + strokes, layers + n);
    --strokes;
  }
  PaintSvg(dc, layers, n + strokes);
  cairo_new_path(dc.cr);
}

}  // namespace platform::gdi
