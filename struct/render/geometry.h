// Drawing geometry: bounds of a record in structure units, centring on the
// origin, pending quarter turns, and the one scale that fits a record into a
// target rectangle. The scale pair is shared by every step of one drawing and
// travels in its drawing context.
#pragma once

#include <windows.h>

#include "database/drawrec.h"

// Device units per structure unit for one drawing; yscale is scale negated
// for a reference context whose vertical window extent is negative.
struct DRAWSCALE {
  float scale;
  float yscale;
};

// Records and files may carry coordinates and sizes anywhere in 32 bits:
// sums and products are taken in 64 bits (or in floating point) and held to
// the 32-bit range. Held clamps; FloatToLong truncates toward zero as a cast
// would, clamped where the cast would be undefined (NaN: 0).
LONG Held(long long v);
LONG FloatToLong(float v);

void ComputeStructureBounds(CSDRAWREC* rec);
void CentreStructure(CSDRAWREC* rec);
void NormalizeStructure(CSDRAWREC* rec);
// The scale that fits rec's bounds into target (logical units of the drawing
// context): the smaller of the two axes' ratios.
DRAWSCALE FitStructure(const CSDRAWREC* rec, HDC hdcRef, const RECT* target);
// A structure point in device coordinates of the target.
POINT MapStructurePoint(const DRAWSCALE& fit, POINT pt, const RECT* target);
// The centre of a target: the floor of each half.
POINT TargetCentre(const RECT* target);
