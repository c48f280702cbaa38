// Drawing geometry: bounds of a record in structure units, centring on the
// origin, pending quarter turns, and the one scale that fits a record into a
// target rectangle. The scale pair is shared by every step of one drawing.
#pragma once

#include <windows.h>

#include "database/drawrec.h"

// Device units per structure unit; yscale is negated for a reference context
// whose vertical window extent is negative.
extern float g_scale;
extern float g_yscale;

void ComputeStructureBounds(CSDRAWREC* rec);
void CentreStructure(CSDRAWREC* rec);
void NormalizeStructure(CSDRAWREC* rec);
// Sets g_scale and g_yscale for drawing rec into target (hdc logical units).
void FitStructure(const CSDRAWREC* rec, HDC hdcRef, const RECT* target);
// A structure point in device coordinates of the target.
POINT MapStructurePoint(POINT pt, const RECT* target);
// The centre of a target: the floor of each half.
POINT TargetCentre(const RECT* target);
