// Painting one primitive on a context's cairo surface: the clip rectangle,
// the current pen as cairo sees it (width in device units, GDI's dash
// patterns, gaps filled in OPAQUE mode), brushes (solid, hatched, hollow)
// and the ROP2 mode. Coordinates given to cairo are device units. On an SVG
// context the same path and the same reading of pens, brushes and modes
// become SVG elements instead (svg_doc.h).
#pragma once

#include <vector>

#include "dc.h"

namespace platform::gdi {

struct PenInk {
  bool visible;    // not PS_NULL
  int width;       // device units, at least 1
  int style;       // PS_xxx
  COLORREF color;  // as the pen says; the device's ink is applied when drawn
  // A one-pixel pen follows GDI's pixel rules: a line covers its first point
  // and stops short of its last.
  bool thin() const { return width <= 1; }
  // What puts the centre of a line of this width on whole pixels.
  double offset() const { return width % 2 ? 0.5 : 0.0; }
};
PenInk CurrentPen(const Dc& dc);

// Saves the cairo state and clips (an SVG context clips its elements
// instead); the destructor restores it.
class Primitive {
 public:
  explicit Primitive(Dc& dc);
  ~Primitive();
  Primitive(const Primitive&) = delete;
  Primitive& operator=(const Primitive&) = delete;

 private:
  cairo_t* cr_;
};

// Strokes and clears the current path with the pen.
void StrokePath(Dc& dc, const PenInk& pen);
// Fills the current path with the brush, keeping the path; ROP2 applies
// unless a FillRect asks for the brush as it is.
void FillPath(Dc& dc, const LOGBRUSH& brush, bool applyRop = true);
// Fills the current path with the brush, then strokes and clears it.
void FillAndStroke(Dc& dc, const LOGBRUSH& brush, const PenInk& pen);
// The selected brush.
LOGBRUSH CurrentBrush(const Dc& dc);

// Dash lengths of a one-pixel pen of that style; none for a solid pen.
std::vector<double> PenDashes(int style);
// Whether the pixel (x, y) of an 8 x 8 tile of the hatch is inked.
bool HatchPixel(int hatch, int x, int y);

}  // namespace platform::gdi
