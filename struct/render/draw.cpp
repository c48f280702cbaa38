// DrawStructure and its bonds and circles.
#include "render/draw.h"

#include <cmath>

#include "core/common.h"
#include "render/drawsteps.h"
#include "resources/resource.h"

namespace {

// A parallel line at device distance d beside the bond p1-p2, on the side
// given by sign.
void ParallelLine(DRAWCONTEXT& dc, POINT p1, POINT p2, double k, int sign) {
  const double dx = p2.x - p1.x, dy = p2.y - p1.y;
  MoveToEx(dc.hdc, TruncToLong(p1.x - sign * dy * k), TruncToLong(p1.y + sign * dx * k), nullptr);
  LineTo(dc.hdc, TruncToLong(p2.x - sign * dy * k), TruncToLong(p2.y + sign * dx * k));
}

}  // namespace

COLORREF ItemColour(const DRAWCONTEXT& dc, int item) {
  if (dc.bColour) return dc.rec->drawOpts.crItem[item];
  return item == ITEM_TEXTBACKGROUND ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

void DrawBond(DRAWCONTEXT& dc, int type, POINT p1, POINT p2) {
  if (type < BOND_SINGLE || type > BOND_AROMATIC) return;
  if (dc.hpenItem[type]) SelectObject(dc.hdc, dc.hpenItem[type]);
  if (type == BOND_SINGLE || type == BOND_AROMATIC || type == BOND_TRIPLE) {
    MoveToEx(dc.hdc, p1.x, p1.y, nullptr);
    LineTo(dc.hdc, p2.x, p2.y);
    if (type != BOND_TRIPLE) return;
  }
  const double d = (type == BOND_DOUBLE ? 2.0 : 3.0) * dc.fit.scale;
  const double dx = p2.x - p1.x, dy = p2.y - p1.y;
  const double len2 = dx * dx + dy * dy;
  double k = 0;
  if (len2 == 0)
    ReportError(dc.pcp, IDS_ERR_BADBONDLINE);
  else
    k = d / std::sqrt(len2);
  ParallelLine(dc, p1, p2, k, 1);
  ParallelLine(dc, p1, p2, k, -1);
}

void DrawBonds(DRAWCONTEXT& dc) {
  const BYTE* types = RecBondTypes(dc.rec);
  for (int i = 0; i < dc.rec->nBonds; ++i) {
    POINT p1 = MapStructurePoint(dc.fit, RecPoint(dc.rec, 2 * i), dc.target);
    POINT p2 = MapStructurePoint(dc.fit, RecPoint(dc.rec, 2 * i + 1), dc.target);
    DrawBond(dc, static_cast<signed char>(types[i]), p1, p2);
  }
}

void DrawAromaticCircles(DRAWCONTEXT& dc) {
  const CSDRAWOPTS& opts = dc.rec->drawOpts;
  if (opts.bCircles == 0) return;
  SaveDC(dc.hdc);
  if (dc.hdc == dc.hdcRef) SetBkColor(dc.hdc, ItemColour(dc, ITEM_TEXTBACKGROUND));
  SetBkMode(dc.hdc, opts.wBkMode);
  HPEN pen = CreatePen(opts.bCircles == 1 ? PS_SOLID : PS_DOT, opts.bThickBonds ? 1 : 0,
                       ItemColour(dc, ITEM_AROMATICRINGS));
  if (pen) SelectObject(dc.hdc, pen);
  SelectObject(dc.hdc, GetStockObject(NULL_BRUSH));
  const long long r = FloatToLong(13.0f * dc.fit.scale);
  for (int k = 0; k < dc.rec->nCircles; ++k) {
    POINT c = MapStructurePoint(dc.fit, RecPoint(dc.rec, dc.rec->iFirstCircle + k), dc.target);
    Ellipse(dc.hdc, Held(c.x - r), Held(c.y - r), Held(c.x + r), Held(c.y + r));
  }
  RestoreDC(dc.hdc, -1);
  if (pen) DeleteObject(pen);
}

short DrawStructure(CCommandProcessor* pcp, CSDRAWREC* rec, HDC hdc, HDC hdcRef, const RECT* target,
                    short forceColour) {
  if (!rec) return 0;
  SaveDC(hdc);
  NormalizeStructure(rec);
  const DRAWSCALE fit = FitStructure(rec, hdcRef, target);

  DRAWCONTEXT dc{pcp, rec, hdc, hdcRef, target, fit, false, {}, nullptr};
  const int colours = hdcRef ? GetDeviceCaps(hdcRef, NUMCOLORS) : 0;
  dc.bColour = forceColour == 1 || colours > 2 || colours == -1;
  dc.bPrinter = GetDeviceCaps(hdc, TECHNOLOGY) == DT_RASPRINTER;
  const CSDRAWOPTS& opts = rec->drawOpts;
  const int bondWidth = opts.bThickBonds ? Held(FloatToLong(fit.scale) + 1LL) : 0;
  for (int i = 0; i < 4; ++i) dc.hpenItem[i] = CreatePen(PS_SOLID, bondWidth, ItemColour(dc, i));
  HPEN hpenBorder = CreatePen(PS_SOLID, 0, ItemColour(dc, ITEM_BORDER));
  dc.hfontMain = CreateLabelFont(dc, 100);
  if (dc.hfontMain) SelectObject(hdc, dc.hfontMain);

  DrawBonds(dc);
  DrawAromaticCircles(dc);
  DrawLabels(dc);
  if (opts.bBorder && hpenBorder) {
    SelectObject(hdc, hpenBorder);
    SelectObject(hdc, GetStockObject(NULL_BRUSH));
    Rectangle(hdc, target->left, target->top, target->right, target->bottom);
  }

  RestoreDC(hdc, -1);
  for (HPEN pen : dc.hpenItem)
    if (pen) DeleteObject(pen);
  if (hpenBorder) DeleteObject(hpenBorder);
  if (dc.hfontMain) DeleteObject(dc.hfontMain);
  return 0;
}
