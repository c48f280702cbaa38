// Device contexts: the state a context carries (selected objects, colours and
// modes, current position, mapping, clip rectangle), its saved states, its
// device's metrics, and the cairo surface it draws on. Information contexts
// and printers between documents have no surface and draw nothing; nor has a
// printer whose pages are recorded as a metafile instead.
#pragma once

#include <cairo.h>
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "mapping.h"
#include "objects.h"
#include "surface.h"

namespace platform::gdi {

struct Caps {
  int technology;
  int horzRes, vertRes;    // device units
  int horzSize, vertSize;  // millimetres
  int bitsPixel;
  int numColors;
  int logPixelsX, logPixelsY;
  int physicalWidth, physicalHeight;
};
Caps ScreenCaps();
Caps PrinterCaps(bool mono);
Caps VectorCaps(double width, double height);

enum class DcKind { Screen, Window, Memory, Printer, Info, Vector };

struct DcState {
  ObjRef pen{GetStockObject(BLACK_PEN)};
  ObjRef brush{GetStockObject(WHITE_BRUSH)};
  ObjRef font{GetStockObject(SYSTEM_FONT)};
  int bkMode = OPAQUE;
  COLORREF bkColor = RGB(255, 255, 255);
  COLORREF textColor = RGB(0, 0, 0);
  UINT textAlign = TA_LEFT | TA_TOP;
  int rop2 = R2_COPYPEN;
  POINT pos{0, 0};  // logical
  Mapping map;
  bool clipped = false;
  RECT clip{};  // device coordinates, right and bottom exclusive
};

class Dc {
 public:
  Dc(DcKind kind, const Caps& caps) : kind(kind), caps(caps) {}
  Dc(const Dc&) = delete;
  Dc& operator=(const Dc&) = delete;
  ~Dc() { Detach(); }

  // Draws on s from now on; unit is surface units per device unit.
  void Attach(std::shared_ptr<Surface> s, double unit = 1.0);
  void Detach();
  bool CanDraw() const { return cr != nullptr; }
  // The document an SVG context writes, which paints instead of cairo.
  SvgDocument* svg() const { return surface ? surface->svg() : nullptr; }
  // A two-colour device draws everything that is not white in black.
  COLORREF Ink(COLORREF c) const;

  HDC handle = nullptr;
  DcKind kind;
  Caps caps;
  bool mono = false;
  HWND hwnd = nullptr;  // window and screen contexts
  DcState state;
  std::vector<DcState> saved;
  std::shared_ptr<Surface> surface;
  cairo_t* cr = nullptr;
  // Printers: where the document goes and whether one is open.
  std::string port;
  std::string output;
  bool inDoc = false;
  // A printer whose pages are recorded as a metafile (metadc.h) rather than
  // drawn on a surface.
  bool recorded = false;
};

// Registers a context and gives it its handle.
HDC AddDc(std::unique_ptr<Dc> dc);
// With the lock held: the context behind hdc, or nullptr.
Dc* FindDc(HDC hdc);
// With the lock held: takes the context out of the table.
std::unique_ptr<Dc> TakeDc(HDC hdc);

// Runs f(Dc&) under the lock, or returns fail when hdc names no context.
template <class R, class F>
R WithDc(HDC hdc, R fail, F&& f) {
  std::lock_guard lock(GdiMutex());
  Dc* dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return fail;
  }
  return std::forward<F>(f)(*dc);
}

}  // namespace platform::gdi
