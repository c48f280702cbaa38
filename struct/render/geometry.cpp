// Bounds, centring, quarter turns and the fit of a record into a target.
#include "render/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

LONG FloatToLong(float v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483648.0f) return INT32_MAX;
  if (v < -2147483648.0f) return INT32_MIN;
  return static_cast<LONG>(v);
}

LONG Held(long long v) { return static_cast<LONG>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); }

void ComputeStructureBounds(CSDRAWREC* rec) {
  // Plain starting values of the running extremes, not empty markers.
  long long left = 310, top = -175, right = -310, bottom = 175;
  for (int i = 0; i < 2 * rec->nBonds; ++i) {
    POINT pt = RecPoint(rec, i);
    left = std::min<long long>(left, pt.x);
    right = std::max<long long>(right, pt.x);
    top = std::max<long long>(top, pt.y);
    bottom = std::min<long long>(bottom, pt.y);
  }
  const long long h = std::llabs(static_cast<long long>(rec->drawOpts.lFontHeight));
  const long long half = h / 2;
  const char* label = RecLabels(rec);
  for (int k = 0; k < rec->nLabels; ++k) {
    POINT pt = RecPoint(rec, rec->iFirstLabel + k);
    const long long len = static_cast<long long>(std::strlen(label));
    const long long w = len * half + 1;
    left = std::min(left, pt.x - w);
    right = std::max(right, pt.x + w);
    top = std::max(top, pt.y + h);
    bottom = std::min(bottom, pt.y - h);
    label += len + 1;
  }
  rec->rcBounds = RECT{Held(left - 4), Held(top + 4), Held(right + 4), Held(bottom - 4)};
}

void CentreStructure(CSDRAWREC* rec) {
  ComputeStructureBounds(rec);
  RECT& b = rec->rcBounds;
  const long long cx = (static_cast<long long>(b.left) + b.right) / 2;
  const long long cy = (static_cast<long long>(b.top) + b.bottom) / 2;
  if (cx == 0 && cy == 0) return;
  const int n = RecPointCount(rec);
  for (int i = 0; i < n; ++i) {
    POINT pt = RecPoint(rec, i);
    SetRecPoint(rec, i, POINT{Held(pt.x - cx), Held(pt.y - cy)});
  }
  b.left = Held(b.left - cx);
  b.right = Held(b.right - cx);
  b.top = Held(b.top - cy);
  b.bottom = Held(b.bottom - cy);
}

void NormalizeStructure(CSDRAWREC* rec) {
  CentreStructure(rec);
  const int turns = rec->drawOpts.bRotate;
  const int n = RecPointCount(rec);
  for (int i = 0; i < n && turns; ++i) {
    POINT pt = RecPoint(rec, i);
    for (int t = 0; t < turns; ++t) pt = POINT{pt.y, Held(-static_cast<long long>(pt.x))};
    SetRecPoint(rec, i, pt);
  }
  rec->drawOpts.bRotate = 0;
  CentreStructure(rec);
}

DRAWSCALE FitStructure(const CSDRAWREC* rec, HDC hdcRef, const RECT* target) {
  auto span = [](LONG a, LONG b) { return static_cast<float>(static_cast<long long>(a) - b); };
  const float w = span(target->right, target->left);
  const float h = span(target->bottom, target->top);
  const float sx = std::fabs(w / span(rec->rcBounds.right, rec->rcBounds.left));
  const float sy = std::fabs(h / span(rec->rcBounds.top, rec->rcBounds.bottom));
  DRAWSCALE fit;
  fit.scale = sy <= sx ? sy : sx;
  SIZE ext{0, 0};
  fit.yscale = hdcRef && GetWindowExtEx(hdcRef, &ext) && ext.cy < 0 ? -fit.scale : fit.scale;
  return fit;
}

POINT TargetCentre(const RECT* target) {
  return POINT{static_cast<LONG>((static_cast<long long>(target->left) + target->right) >> 1),
               static_cast<LONG>((static_cast<long long>(target->top) + target->bottom) >> 1)};
}

POINT MapStructurePoint(const DRAWSCALE& fit, POINT pt, const RECT* target) {
  const POINT c = TargetCentre(target);
  return POINT{
      Held(static_cast<long long>(FloatToLong(static_cast<float>(pt.x) * fit.scale)) + c.x),
      Held(static_cast<long long>(FloatToLong(static_cast<float>(pt.y) * fit.yscale)) + c.y)};
}
