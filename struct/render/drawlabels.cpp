// Atom labels: the label font at a percentage of the label height, estimated
// run widths, anchoring by the shape of the text, and runs of digits set as
// subscripts and charge signs as superscripts.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "render/drawsteps.h"

namespace {

// The main font's height in the drawing's logical units: structure units
// scaled (Rel), or points at the reference's resolution (Abs), which on a
// printer go through its mapping, since its logical units are not pixels.
LONG BaseHeight(const DRAWCONTEXT& dc) {
  const LONG h = dc.rec->drawOpts.lFontHeight;
  if (h > 0)
    return Held(
        std::llabs(static_cast<long long>(FloatToLong(static_cast<float>(h) * dc.fit.yscale))));
  const long long dpi = dc.hdcRef ? GetDeviceCaps(dc.hdcRef, LOGPIXELSY) : 96;
  const long long pixels =
      std::min<long long>(std::llabs(dpi * static_cast<long long>(h)) / 72, INT32_MAX);
  if (!dc.bPrinter) return static_cast<LONG>(pixels);
  POINT span[2] = {{0, 0}, {0, static_cast<LONG>(pixels)}};
  if (!DPtoLP(dc.hdc, span, 2)) return static_cast<LONG>(pixels);
  return static_cast<LONG>(
      std::min<long long>(std::llabs(static_cast<long long>(span[1].y) - span[0].y), INT32_MAX));
}

enum RunKind { RUN_TEXT, RUN_DIGITS, RUN_SIGNS };

RunKind KindOf(char c) {
  if (c >= '0' && c <= '9') return RUN_DIGITS;
  if (c == '+' || c == '-') return RUN_SIGNS;
  return RUN_TEXT;
}

}  // namespace

HFONT CreateLabelFont(const DRAWCONTEXT& dc, int percent) {
  LOGFONT lf = dc.rec->drawOpts.lfLabel;
  lf.lfHeight = Held(static_cast<long long>(BaseHeight(dc)) * percent / 100);
  lf.lfWidth = 0;
  return CreateFontIndirect(&lf);
}

SIZE EstimateRunExtent(const DRAWCONTEXT& dc, int percent, int nChars) {
  const long long v = static_cast<long long>(BaseHeight(dc)) * percent / 100;
  const long long w = percent == 100 ? (4 * v * nChars) / 6 : (v * nChars) / 2;
  return SIZE{Held(w), Held(v)};
}

void DrawLabelText(DRAWCONTEXT& dc, const char* text, int n, int x, int y, HFONT hfontSmall) {
  const LONG h = EstimateRunExtent(dc, 100, 1).cy;
  for (int i = 0; i < n;) {
    const RunKind kind = KindOf(text[i]);
    int end = i + 1;
    while (end < n && KindOf(text[end]) == kind) ++end;
    const int len = end - i;
    int runY = y;
    if (kind == RUN_TEXT) {
      if (dc.hfontMain) SelectObject(dc.hdc, dc.hfontMain);
    } else {
      if (hfontSmall) SelectObject(dc.hdc, hfontSmall);
      runY = Held(kind == RUN_DIGITS ? y + (2LL * h) / 3 : y - h / 3LL);
    }
    TextOut(dc.hdc, x, runY, text + i, len);
    x = Held(static_cast<long long>(x) +
             EstimateRunExtent(dc, kind == RUN_TEXT ? 100 : 75, len).cx);
    i = end;
  }
  if (dc.hfontMain) SelectObject(dc.hdc, dc.hfontMain);
}

void DrawLabels(DRAWCONTEXT& dc) {
  const CSDRAWOPTS& opts = dc.rec->drawOpts;
  if (dc.hdc == dc.hdcRef) SetBkColor(dc.hdc, ItemColour(dc, ITEM_TEXTBACKGROUND));
  SetBkMode(dc.hdc, opts.wBkMode);
  SetTextColor(dc.hdc, ItemColour(dc, ITEM_TEXTSTRINGS));
  HFONT hfontSmall = CreateLabelFont(dc, 75);
  const POINT c = TargetCentre(dc.target);
  const char* label = RecLabels(dc.rec);
  for (int k = 0; k < dc.rec->nLabels; ++k) {
    const POINT p = RecPoint(dc.rec, dc.rec->iFirstLabel + k);
    const int len = static_cast<int>(std::strlen(label));
    const char* text = label;
    int n = len;
    const LONG y =
        Held(static_cast<long long>(FloatToLong(static_cast<float>(p.y) * dc.fit.yscale)) + c.y +
             FloatToLong(-6.0f * dc.fit.yscale));
    const LONG x0 =
        Held(static_cast<long long>(FloatToLong(static_cast<float>(p.x) * dc.fit.scale)) + c.x);
    LONG x;
    if (text[0] == '^' || text[0] == 'H') {
      // Right-anchored: the last character ends on the atom.
      if (text[0] == '^') ++text, --n;
      x = Held(static_cast<long long>(FloatToLong(
                   dc.fit.scale * static_cast<float>(static_cast<long long>(p.x) - 9 * n + 3))) +
               c.x);
    } else if (n <= 1 || (n == 2 && text[1] >= 'a' && text[1] <= 'z')) {
      x = Held(static_cast<long long>(x0) +
               FloatToLong(dc.fit.scale * static_cast<float>(-((9 * n) / 2))));
    } else {
      x = Held(static_cast<long long>(FloatToLong(
                   dc.fit.scale * static_cast<float>(static_cast<long long>(p.x) - 3))) +
               c.x);
    }
    DrawLabelText(dc, text, n, x, y, hfontSmall);
    label += len + 1;
  }
  if (hfontSmall) DeleteObject(hfontSmall);
}
