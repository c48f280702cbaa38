// Text: TextOut placed by the text alignment (the top-left corner of the
// text cell by default), the cell filled with the background colour first in
// OPAQUE mode; and the metrics and extents that agree with what TextOut
// draws, in logical units. Text stays upright whatever the mapping.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "ansi.h"
#include "dc.h"
#include "fonts.h"
#include "metadc.h"
#include "paint.h"

namespace {

using platform::gdi::Dc;
using platform::gdi::RealizedFont;
using platform::gdi::WithDc;

// Contexts without a surface (information contexts) measure on this one.
cairo_t* ScratchContext() {
  static cairo_t* cr = [] {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* c = cairo_create(s);
    cairo_surface_destroy(s);
    return c;
  }();
  return cr;
}

// Sets the context's font on a cairo context that measures or draws for it.
class FontUse {
 public:
  explicit FontUse(Dc& dc) : cr_(dc.cr ? dc.cr : ScratchContext()) {
    cairo_save(cr_);
    font_ = platform::gdi::UseFont(cr_, dc.state.font->font, dc.state.map, dc.caps.logPixelsY);
  }
  ~FontUse() { cairo_restore(cr_); }
  FontUse(const FontUse&) = delete;
  FontUse& operator=(const FontUse&) = delete;

  const RealizedFont& font() const { return font_; }
  double Width(const std::string& utf8) const {
    cairo_text_extents_t te;
    cairo_text_extents(cr_, utf8.c_str(), &te);
    return te.x_advance;
  }

 private:
  cairo_t* cr_;
  RealizedFont font_;
};

LONG Logical(double device, double scale) {
  return static_cast<LONG>(std::lround(device / std::fabs(scale)));
}

void DrawRun(Dc& dc, POINT ref, const std::string& utf8, double width, const RealizedFont& font) {
  cairo_t* cr = dc.cr;
  const LOGFONT& lf = dc.state.font->font;
  UINT align = dc.state.textAlign;
  double left = 0;
  if ((align & TA_CENTER) == TA_CENTER)
    left = -std::round(width / 2);
  else if (align & TA_RIGHT)
    left = -std::round(width);
  double top = 0;
  if ((align & TA_BASELINE) == TA_BASELINE)
    top = -font.ascent;
  else if (align & TA_BOTTOM)
    top = -font.cell();
  double baseline = top + font.ascent;
  double angle = -lf.lfEscapement / 10.0;  // degrees, clockwise on the device
  // Underline and strike-out bars.
  double stroke = std::max(1.0, std::round(font.em / 14));
  platform::gdi::SvgText::Bar bars[2];
  int nbars = 0;
  if (lf.lfUnderline)
    bars[nbars++] = {left, baseline + std::max(1.0, std::round(font.descent / 2.0)) - stroke / 2,
                     width, stroke};
  if (lf.lfStrikeOut)
    bars[nbars++] = {left, baseline - std::round(font.ascent / 3.0), width, stroke};
  if (platform::gdi::SvgDocument* svg = dc.svg()) {
    platform::gdi::SvgText t;
    t.x = ref.x;
    t.y = ref.y;
    t.angle = angle;
    t.left = left;
    t.top = top;
    t.baseline = baseline;
    t.boxWidth = std::round(width);
    t.cell = font.cell();
    t.opaque = dc.state.bkMode == OPAQUE;
    t.background = dc.Ink(dc.state.bkColor);
    t.color = dc.Ink(dc.state.textColor);
    t.utf8 = utf8;
    t.face = font.face;
    t.em = font.em;
    t.emX = font.emX;
    t.bold = lf.lfWeight >= 600;
    t.italic = lf.lfItalic != 0;
    std::copy_n(bars, nbars, t.bars);
    t.nbars = nbars;
    t.clip = dc.state.clipped ? &dc.state.clip : nullptr;
    svg->Text(t);
    return;
  }
  cairo_translate(cr, ref.x, ref.y);
  if (angle != 0) cairo_rotate(cr, angle * std::numbers::pi / 180);
  if (dc.state.bkMode == OPAQUE) {
    platform::gdi::SetSourceColor(cr, dc.Ink(dc.state.bkColor));
    cairo_rectangle(cr, left, top, std::round(width), font.cell());
    cairo_fill(cr);
  }
  platform::gdi::SetSourceColor(cr, dc.Ink(dc.state.textColor));
  cairo_move_to(cr, left, baseline);
  cairo_show_text(cr, utf8.c_str());
  for (int i = 0; i < nbars; ++i) {
    cairo_rectangle(cr, bars[i].x, bars[i].y, bars[i].w, bars[i].h);
    cairo_fill(cr);
  }
}

}  // namespace

BOOL TextOut(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  if (auto* m = platform::gdi::FindMetaDC(hdc)) return m->TextOut(x, y, lpString, c);
  if (c < 0 || (c > 0 && !lpString)) return FALSE;
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    if (!dc.CanDraw()) return FALSE;
    UINT align = dc.state.textAlign;
    POINT ref = (align & TA_UPDATECP) ? dc.state.pos : POINT{x, y};
    std::string utf8 = platform::gdi::AnsiToUtf8(lpString, c);
    double width;
    {
      platform::gdi::Primitive p(dc);
      FontUse use(dc);
      width = use.Width(utf8);
      DrawRun(dc, ToDevice(dc.state.map, ref), utf8, width, use.font());
    }
    if (align & TA_UPDATECP) {
      double advance = width / platform::gdi::ScaleX(dc.state.map);
      if ((align & TA_CENTER) == TA_CENTER) advance = 0;
      if ((align & TA_CENTER) == TA_RIGHT) advance = -advance;
      dc.state.pos.x += static_cast<LONG>(std::lround(advance));
    }
    return TRUE;
  });
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* lptm) {
  if (!lptm) return FALSE;
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    FontUse use(dc);
    const RealizedFont& f = use.font();
    const LOGFONT& lf = dc.state.font->font;
    double sx = platform::gdi::ScaleX(dc.state.map), sy = platform::gdi::ScaleY(dc.state.map);
    cairo_font_extents_t fe;
    cairo_font_extents(dc.cr ? dc.cr : ScratchContext(), &fe);
    TEXTMETRIC tm{};
    tm.tmHeight = Logical(f.cell(), sy);
    tm.tmAscent = Logical(f.ascent, sy);
    tm.tmDescent = tm.tmHeight - tm.tmAscent;
    tm.tmInternalLeading = Logical(std::max(0.0, f.cell() - f.em), sy);
    tm.tmExternalLeading = Logical(std::max(0.0, std::round(fe.height) - f.cell()), sy);
    tm.tmAveCharWidth = std::max(1, static_cast<int>(Logical(f.face->avgWidthPerEm * f.emX, sx)));
    tm.tmMaxCharWidth = std::max(tm.tmAveCharWidth, Logical(fe.max_x_advance, sx));
    tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = dc.caps.logPixelsX;
    tm.tmDigitizedAspectY = dc.caps.logPixelsY;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = lf.lfItalic;
    tm.tmUnderlined = lf.lfUnderline;
    tm.tmStruckOut = lf.lfStrikeOut;
    // The low bit set means variable pitch; 0x06 marks a scalable TrueType font.
    tm.tmPitchAndFamily =
        static_cast<BYTE>((lf.lfPitchAndFamily & 0xF0) | 0x06 | (f.face->fixedPitch ? 0 : 1));
    tm.tmCharSet = lf.lfCharSet;
    *lptm = tm;
    return TRUE;
  });
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR lpString, int c, SIZE* psizl) {
  if (!psizl || c < 0 || (c > 0 && !lpString)) return FALSE;
  return WithDc(hdc, FALSE, [&](Dc& dc) {
    FontUse use(dc);
    double width = use.Width(platform::gdi::AnsiToUtf8(lpString, c));
    psizl->cx = Logical(std::round(width), platform::gdi::ScaleX(dc.state.map));
    psizl->cy = Logical(use.font().cell(), platform::gdi::ScaleY(dc.state.map));
    return TRUE;
  });
}

// The face actually drawn: the installed family that stands in for the
// LOGFONT's face.
int GetTextFace(HDC hdc, int c, LPSTR lpName) {
  return WithDc(hdc, 0, [&](Dc& dc) {
    const std::string& family = platform::gdi::FaceFor(dc.state.font->font).family;
    int size = static_cast<int>(family.size());
    if (!lpName) return size + 1;
    if (c <= 0) return 0;
    int n = std::min(size, c - 1);
    std::memcpy(lpName, family.data(), static_cast<size_t>(n));
    lpName[n] = '\0';
    return n;
  });
}
