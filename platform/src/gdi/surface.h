// Cairo surfaces behind contexts: ARGB32 images (windows, off-screen
// pictures) and vector documents (PDF, SVG) recorded in memory and written to
// a file only when finished, so an abandoned document leaves no file.
#pragma once

#include <cairo.h>
#include <windows.h>

#include <memory>
#include <string>

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
  int width() const { return width_; }  // image surfaces only
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
  std::string bytes_;  // the vector document as cairo writes it
};

void SetSourceColor(cairo_t* cr, COLORREF c);

}  // namespace platform::gdi
