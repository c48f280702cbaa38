// SVG documents written element by element as a context draws. The context's
// primitives still build their paths with cairo, in device units; an SVG
// context hands each finished path here instead of stroking or filling it,
// and its text as a run with its font and box. Coordinates are written in
// hundredths of a device unit at most, colours as #rrggbb. Consecutive solid
// strokes of one pen go into one <path>; clip rectangles and hatch tiles are
// defined once and referred to by id. A hatched brush fills with a <pattern>
// of its 8 x 8 tile's pixels, as the raster devices draw it; R2_NOT paints
// white with mix-blend-mode:difference, which inverts what lies beneath (a
// viewer without CSS blending shows white).
#pragma once

#include <cairo.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform::gdi {

struct FontFace;

struct SvgFill {
  bool on = false;
  COLORREF color = 0;
  int hatch = -1;  // HS_xxx: an 8 x 8 tile of the colour on nothing
  bool evenOdd = false;
};

struct SvgStroke {
  bool on = false;
  COLORREF color = 0;
  int width = 1;
  bool round = false;    // round caps and joins; butt caps and miter joins else
  int style = PS_SOLID;  // the dash pattern of a one-pixel GDI pen
};

// One painting of the current path: fill first, then stroke, as GDI does.
struct SvgPaint {
  SvgFill fill;
  SvgStroke stroke;
  bool invert = false;         // the colour is white and inverts what lies beneath
  const RECT* clip = nullptr;  // device units, right and bottom exclusive
};

// One TextOut: the run hangs from the device point (x, y), turned by angle
// degrees (clockwise on the page); the other positions are relative to it.
struct SvgText {
  double x = 0, y = 0, angle = 0;
  double left = 0, top = 0, baseline = 0;
  double boxWidth = 0, cell = 0;  // the background box
  bool opaque = false;
  COLORREF background = 0, color = 0;
  std::string_view utf8;
  const FontFace* face = nullptr;
  double em = 0, emX = 0;
  bool bold = false, italic = false;
  struct Bar {
    double x, y, w, h;
  };
  Bar bars[2]{};  // underline and strike-out, in the text colour
  int nbars = 0;
  const RECT* clip = nullptr;
};

class SvgDocument {
 public:
  SvgDocument(double width, double height);

  // Takes cr's current path (user space = device units) as the path the
  // next Paint calls draw. The path on cr is left as it is.
  void TakePath(cairo_t* cr);
  void Paint(const SvgPaint& p);
  void Text(const SvgText& t);
  // The whole document.
  bool WriteTo(const std::string& path);

 private:
  void CloseOpen();
  // The clip's id, defined here when new; -1 for none.
  int ClipId(const RECT* clip);
  int FindClip(const RECT* clip) const;
  int HatchId(int hatch, COLORREF color);
  void Attributes(const SvgPaint& p, int clip, int hatch);
  void Num(double v);  // to hundredths
  void Int(int v);
  void Color(COLORREF c);

  double width_, height_;
  std::string body_;
  std::string path_;        // the current path's data
  bool pathDraws_ = false;  // it has more than moves
  size_t firstMove_ = 0;    // the length of its opening "Mx y"
  // Its first and last points, in hundredths.
  int startX_ = 0, startY_ = 0, endX_ = 0, endY_ = 0;
  // The last <path> is left open, its data unfinished, while strokes of the
  // same pen may follow.
  bool open_ = false;
  SvgStroke openStroke_;
  int openClip_ = -1;
  int openX_ = 0, openY_ = 0;  // where its data ends
  std::vector<RECT> clips_;
  struct Hatch {
    int hatch;
    COLORREF color;
  };
  std::vector<Hatch> hatches_;
};

}  // namespace platform::gdi
