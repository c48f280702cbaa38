// Bounds, centring, quarter turns and the fit of a record into a target.
#include "render/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

void ComputeStructureBounds(CSDRAWREC* rec) {
  // Plain starting values of the running extremes, not empty markers.
  LONG left = 310, top = -175, right = -310, bottom = 175;
  for (int i = 0; i < 2 * rec->nBonds; ++i) {
    POINT pt = RecPoint(rec, i);
    left = std::min(left, pt.x);
    right = std::max(right, pt.x);
    top = std::max(top, pt.y);
    bottom = std::min(bottom, pt.y);
  }
  const LONG h = std::abs(rec->drawOpts.lFontHeight);
  const LONG half = h / 2;
  const char* label = RecLabels(rec);
  for (int k = 0; k < rec->nLabels; ++k) {
    POINT pt = RecPoint(rec, rec->iFirstLabel + k);
    const LONG len = static_cast<LONG>(std::strlen(label));
    const LONG w = len * half + 1;
    left = std::min(left, pt.x - w);
    right = std::max(right, pt.x + w);
    top = std::max(top, pt.y + h);
    bottom = std::min(bottom, pt.y - h);
    label += len + 1;
  }
  rec->rcBounds = RECT{left - 4, top + 4, right + 4, bottom - 4};
}

void CentreStructure(CSDRAWREC* rec) {
  ComputeStructureBounds(rec);
  RECT& b = rec->rcBounds;
  const LONG cx = (b.left + b.right) / 2;
  const LONG cy = (b.top + b.bottom) / 2;
  if (cx == 0 && cy == 0) return;
  const int n = RecPointCount(rec);
  for (int i = 0; i < n; ++i) {
    POINT pt = RecPoint(rec, i);
    SetRecPoint(rec, i, POINT{pt.x - cx, pt.y - cy});
  }
  b.left -= cx;
  b.right -= cx;
  b.top -= cy;
  b.bottom -= cy;
}

void NormalizeStructure(CSDRAWREC* rec) {
  CentreStructure(rec);
  const int turns = rec->drawOpts.bRotate;
  const int n = RecPointCount(rec);
  for (int i = 0; i < n && turns; ++i) {
    POINT pt = RecPoint(rec, i);
    for (int t = 0; t < turns; ++t) pt = POINT{pt.y, -pt.x};
    SetRecPoint(rec, i, pt);
  }
  rec->drawOpts.bRotate = 0;
  CentreStructure(rec);
}

DRAWSCALE FitStructure(const CSDRAWREC* rec, HDC hdcRef, const RECT* target) {
  const float w = static_cast<float>(target->right - target->left);
  const float h = static_cast<float>(target->bottom - target->top);
  const float sx = std::fabs(w / static_cast<float>(rec->rcBounds.right - rec->rcBounds.left));
  const float sy = std::fabs(h / static_cast<float>(rec->rcBounds.top - rec->rcBounds.bottom));
  DRAWSCALE fit;
  fit.scale = sy <= sx ? sy : sx;
  SIZE ext{0, 0};
  fit.yscale = hdcRef && GetWindowExtEx(hdcRef, &ext) && ext.cy < 0 ? -fit.scale : fit.scale;
  return fit;
}

POINT TargetCentre(const RECT* target) {
  return POINT{(target->left + target->right) >> 1, (target->top + target->bottom) >> 1};
}

POINT MapStructurePoint(const DRAWSCALE& fit, POINT pt, const RECT* target) {
  const POINT c = TargetCentre(target);
  return POINT{static_cast<LONG>(static_cast<float>(pt.x) * fit.scale) + c.x,
               static_cast<LONG>(static_cast<float>(pt.y) * fit.yscale) + c.y};
}
