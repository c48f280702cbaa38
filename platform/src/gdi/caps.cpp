// Device metrics: the screen (and windows and memory contexts) at 96 dpi,
// the printers as an A4 page at 300 dpi (a recording printer too), vector
// pictures at 96 dpi, and a metafile context, which Windows describes only by
// its technology.
#include <cmath>

#include "dc.h"
#include "metadc.h"
#include "window_internal.h"

namespace platform::gdi {

namespace {

int Millimetres(double units, double dpi) {
  return static_cast<int>(std::lround(units * 25.4 / dpi));
}

}  // namespace

Caps ScreenCaps() {
  using platform::detail::kScreenHeight;
  using platform::detail::kScreenWidth;
  return {DT_RASDISPLAY,
          kScreenWidth,
          kScreenHeight,
          Millimetres(kScreenWidth, 96),
          Millimetres(kScreenHeight, 96),
          32,
          -1,
          96,
          96,
          0,
          0};
}

Caps PrinterCaps(bool mono) {
  return {DT_RASPRINTER, 2480, 3508, 210, 297, mono ? 1 : 24, mono ? 2 : -1, 300, 300, 2480, 3508};
}

Caps VectorCaps(double width, double height) {
  int w = static_cast<int>(std::ceil(width));
  int h = static_cast<int>(std::ceil(height));
  return {DT_RASDISPLAY, w, h, Millimetres(w, 96), Millimetres(h, 96), 32, -1, 96, 96, 0, 0};
}

}  // namespace platform::gdi

int GetDeviceCaps(HDC hdc, int index) {
  if (platform::gdi::IsMetaFileOnly(hdc)) return index == TECHNOLOGY ? DT_METAFILE : 0;
  return platform::gdi::WithDc(hdc, 0, [index](platform::gdi::Dc& dc) {
    const platform::gdi::Caps& c = dc.caps;
    switch (index) {
      case TECHNOLOGY:
        return c.technology;
      case HORZSIZE:
        return c.horzSize;
      case VERTSIZE:
        return c.vertSize;
      case HORZRES:
        return c.horzRes;
      case VERTRES:
        return c.vertRes;
      case BITSPIXEL:
        return c.bitsPixel;
      case PLANES:
        return 1;
      case NUMCOLORS:
        return c.numColors;
      case LOGPIXELSX:
        return c.logPixelsX;
      case LOGPIXELSY:
        return c.logPixelsY;
      case PHYSICALWIDTH:
        return c.physicalWidth;
      case PHYSICALHEIGHT:
        return c.physicalHeight;
      default:
        return 0;
    }
  });
}
