// Mapping modes: how logical coordinates become device coordinates through
// the window and viewport origins and extents, the fixed scales of the metric
// modes, and the isotropic mode's equal scales.
#pragma once

#include <windows.h>

namespace platform::gdi {

struct Mapping {
  int mode = MM_TEXT;
  POINT windowOrg{0, 0};
  POINT viewportOrg{0, 0};
  SIZE windowExt{1, 1};
  SIZE viewportExt{1, 1};
};

// Device units per logical unit (signed: negative where an axis turns over).
double ScaleX(const Mapping& m);
double ScaleY(const Mapping& m);

// Exact device coordinates of a logical point, and the rounded ones GDI uses.
double DeviceX(const Mapping& m, double x);
double DeviceY(const Mapping& m, double y);
POINT ToDevice(const Mapping& m, POINT p);
POINT ToLogical(const Mapping& m, POINT p);

// Sets the mode; the metric modes take their extents from the device's
// resolution, the isotropic mode starts as MM_LOMETRIC does.
void SetMode(Mapping& m, int mode, int logPixelsX, int logPixelsY);
// Whether extents may be set in the current mode (the constrained modes
// ignore them).
bool ExtentsSettable(const Mapping& m);
// In MM_ISOTROPIC, shrinks one viewport extent so both axes scale alike.
void KeepIsotropic(Mapping& m);

}  // namespace platform::gdi
