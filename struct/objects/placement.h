// Drawing a child of a plot into its placement: the plot's data range mapped
// onto the draw request's target, the default printer's reference context,
// and the arithmetic that keeps placements far out in the data range from
// overflowing device coordinates.
#pragma once

#include <cmdproc.h>

#include "core/common.h"

// A placement in a plot's data units, y growing upward. Records and pictures
// keep it in a RECT in the order left x, bottom y, right x, top y, so the
// RECT's top holds the bottom y and its bottom the top y.
struct PLACEMENT {
  LONG xLeft, yBottom, xRight, yTop;
};
inline PLACEMENT PlacementOf(const RECT& r) { return PLACEMENT{r.left, r.top, r.right, r.bottom}; }
inline RECT PlacementRect(const PLACEMENT& p) { return RECT{p.xLeft, p.yBottom, p.xRight, p.yTop}; }

// The default printer of a profile's "[windows] device=" entry (from the
// given settings file when path is not empty and it has one, else from the
// system profile): an information context (bInfoOnly) or a device context
// for its driver, device name and port; null (silent) when the entry lacks
// any of the three. The entry passes through szScratch2.
HDC OpenPrinterContext(STRUCT_DLL_INFO* info, LPCSTR path, BOOL bInfoOnly);

// v truncated toward zero and held to the 32-bit range (NaN: 0).
LONG SaturateToLong(double v);
// a + b held to the 32-bit range.
LONG AddSaturated(LONG a, LONG b);

// The plot's scale along one axis: target extent over data extent, single
// precision as drawings use it; false when the data extent is empty.
bool AxisScale(LONG targetExtent, long long from, long long to, float* scale);
// Device offset of a data value from the range's start: trunc((v - from) x s).
LONG ScaledOffset(LONG v, LONG from, float s);
