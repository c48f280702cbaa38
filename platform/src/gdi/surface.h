// Surfaces behind contexts: cairo ARGB32 images (windows, off-screen
// pictures) and vector documents kept in memory and written to a file only
// when finished, so an abandoned document leaves no file. A PDF is cairo's;
// an SVG is written by svg_doc.h, its cairo surface a recording surface that
// is never drawn on, there for the contexts that build paths and measure text
// (without hinting, which Dc::Attach asks for).
#pragma once

#include <cairo.h>
#include <windows.h>

#include <memory>
#include <string>

#include "svg_doc.h"

namespace platform::gdi {

class Surface {
 public:
  enum class Kind { Image, Pdf, Svg };

  // Null when cairo cannot make the surface (a size out of range). An image
  // with background CLR_INVALID starts transparent.
  static std::shared_ptr<Surface> Image(int width, int height, COLORREF background);
  static std::shared_ptr<Surface> Pdf(double widthPt, double heightPt);
  static std::shared_ptr<Surface> Svg(double width, double height);

  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  ~Surface();

  Kind kind() const { return kind_; }
  cairo_surface_t* get() const { return surface_; }
  SvgDocument* svg() const { return svg_.get(); }  // SVG surfaces only
  int width() const { return width_; }             // image surfaces only
  int height() const { return height_; }

  // Image surfaces: the pixel as a COLORREF (CLR_INVALID outside).
  COLORREF Pixel(int x, int y) const;
  bool WritePng(const std::string& path) const;
  // Image surfaces: the PNG file's bytes into *out.
  bool EncodePng(std::string* out) const;
  // Vector surfaces: ends the document and writes it to path.
  bool FinishTo(const std::string& path);

 private:
  Surface(Kind kind, cairo_surface_t* s, int width, int height);
  static cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length);

  Kind kind_;
  cairo_surface_t* surface_;
  int width_, height_;
  std::string bytes_;  // the PDF document as cairo writes it
  std::unique_ptr<SvgDocument> svg_;
};

void SetSourceColor(cairo_t* cr, COLORREF c);

}  // namespace platform::gdi
