// Mapping-mode arithmetic. Device coordinates are rounded to the nearest
// integer, as GDI computes them, so drawing lands on whole device pixels.
#include "mapping.h"

#include <cmath>
#include <cstdlib>

namespace platform::gdi {

double ScaleX(const Mapping& m) {
  return static_cast<double>(m.viewportExt.cx) / static_cast<double>(m.windowExt.cx);
}

double ScaleY(const Mapping& m) {
  return static_cast<double>(m.viewportExt.cy) / static_cast<double>(m.windowExt.cy);
}

double DeviceX(const Mapping& m, double x) {
  return (x - m.windowOrg.x) * ScaleX(m) + m.viewportOrg.x;
}

double DeviceY(const Mapping& m, double y) {
  return (y - m.windowOrg.y) * ScaleY(m) + m.viewportOrg.y;
}

POINT ToDevice(const Mapping& m, POINT p) {
  return {static_cast<LONG>(std::lround(DeviceX(m, p.x))),
          static_cast<LONG>(std::lround(DeviceY(m, p.y)))};
}

POINT ToLogical(const Mapping& m, POINT p) {
  double x = (p.x - m.viewportOrg.x) / ScaleX(m) + m.windowOrg.x;
  double y = (p.y - m.viewportOrg.y) / ScaleY(m) + m.windowOrg.y;
  return {static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
}

namespace {

// Logical units per inch of the metric modes.
int UnitsPerInch(int mode) {
  switch (mode) {
    case MM_LOMETRIC:
    case MM_ISOTROPIC:
      return 254;
    case MM_HIMETRIC:
      return 2540;
    case MM_LOENGLISH:
      return 100;
    case MM_HIENGLISH:
      return 1000;
    case MM_TWIPS:
      return 1440;
    default:
      return 0;
  }
}

}  // namespace

void SetMode(Mapping& m, int mode, int logPixelsX, int logPixelsY) {
  m.mode = mode;
  if (mode == MM_TEXT) {
    m.windowExt = m.viewportExt = {1, 1};
  } else if (int units = UnitsPerInch(mode)) {
    m.windowExt = {units, units};
    m.viewportExt = {logPixelsX, -logPixelsY};
  }
  // MM_ANISOTROPIC keeps the extents it finds.
}

bool ExtentsSettable(const Mapping& m) {
  return m.mode == MM_ISOTROPIC || m.mode == MM_ANISOTROPIC;
}

void KeepIsotropic(Mapping& m) {
  if (m.mode != MM_ISOTROPIC) return;
  double sx = std::fabs(ScaleX(m));
  double sy = std::fabs(ScaleY(m));
  auto sign = [](LONG v) { return v < 0 ? -1.0 : 1.0; };
  if (sx < sy) {
    m.viewportExt.cy =
        static_cast<LONG>(std::lround(sign(m.viewportExt.cy) * sx * std::abs(m.windowExt.cy)));
  } else if (sy < sx) {
    m.viewportExt.cx =
        static_cast<LONG>(std::lround(sign(m.viewportExt.cx) * sy * std::abs(m.windowExt.cx)));
  }
}

}  // namespace platform::gdi
