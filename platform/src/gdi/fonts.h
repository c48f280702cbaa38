// Fonts as cairo draws them. A LOGFONT's face is found through fontconfig;
// a face this machine lacks falls back to an installed one of the same kind
// (monospace, serif or sans, by the pitch and family bits or by the name),
// so "Lucida Console" draws in DejaVu Sans Mono. Faces are cached for the
// life of the process; cairo caches the sizes made of them.
#pragma once

#include <cairo.h>
#include <windows.h>

#include <string>

#include "mapping.h"

namespace platform::gdi {

struct FontFace {
  cairo_font_face_t* face;  // owned by the cache
  std::string family;       // what fontconfig chose
  const char* generic;      // "monospace", "serif" or "sans-serif"
  bool fixedPitch;
  double ascentPerEm;    // per unit of character height
  double cellPerEm;      // (ascent + descent) per unit of character height
  double avgWidthPerEm;  // average character width per unit of height
};
const FontFace& FaceFor(const LOGFONT& lf);

// A LOGFONT made real at a context's scale, in device units. The cell is
// what a positive lfHeight names, exactly; a negative one names em.
struct RealizedFont {
  const FontFace* face;
  double em;   // character height
  double emX;  // horizontal size, em unless lfWidth asks otherwise
  int ascent, descent;
  int cell() const { return ascent + descent; }
};
// Sets the font on cr (whose user space is device units) and measures it
// from the face's own proportions, so metrics do not depend on the device's
// hinting. A height of 0 asks for a cell of 16 pixels at 96 dpi.
RealizedFont UseFont(cairo_t* cr, const LOGFONT& lf, const Mapping& map, int logPixelsY);

}  // namespace platform::gdi
