// Cairo surfaces: images filled with a background colour, vector documents
// that collect their bytes in memory, pixels read back as COLORREFs.
#include "surface.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <cstring>
#include <fstream>

namespace platform::gdi {

void SetSourceColor(cairo_t* cr, COLORREF c) {
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

Surface::Surface(Kind kind, cairo_surface_t* s, int width, int height)
    : kind_(kind), surface_(s), width_(width), height_(height) {}

Surface::~Surface() { cairo_surface_destroy(surface_); }

cairo_status_t Surface::Append(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<Surface*>(closure)->bytes_.append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

std::shared_ptr<Surface> Surface::Image(int width, int height, COLORREF background) {
  if (width < 0 || height < 0) return nullptr;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  if (background != CLR_INVALID) {  // a new image surface is transparent
    cairo_t* cr = cairo_create(s);
    SetSourceColor(cr, background);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  return std::shared_ptr<Surface>(new Surface(Kind::Image, s, width, height));
}

// The stream surfaces need their closure before cairo writes anything, so the
// object is made first and given its surface after.
std::shared_ptr<Surface> Surface::Pdf(double widthPt, double heightPt) {
  if (!(widthPt > 0 && heightPt > 0)) return nullptr;
  std::shared_ptr<Surface> s(new Surface(Kind::Pdf, nullptr, 0, 0));
  s->surface_ = cairo_pdf_surface_create_for_stream(Append, s.get(), widthPt, heightPt);
  if (cairo_surface_status(s->surface_) != CAIRO_STATUS_SUCCESS) return nullptr;
  return s;
}

std::shared_ptr<Surface> Surface::Svg(double width, double height) {
  if (!(width > 0 && height > 0)) return nullptr;
  std::shared_ptr<Surface> s(new Surface(Kind::Svg, nullptr, 0, 0));
  s->surface_ = cairo_svg_surface_create_for_stream(Append, s.get(), width, height);
  if (cairo_surface_status(s->surface_) != CAIRO_STATUS_SUCCESS) return nullptr;
  // Pixels, as the drawing's device units are.
  cairo_svg_surface_set_document_unit(s->surface_, CAIRO_SVG_UNIT_PX);
  return s;
}

COLORREF Surface::Pixel(int x, int y) const {
  if (kind_ != Kind::Image || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  cairo_surface_flush(surface_);
  const unsigned char* row =
      cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
  uint32_t argb;
  std::memcpy(&argb, row + 4 * x, 4);
  unsigned a = argb >> 24;
  auto channel = [a](uint32_t premultiplied) {
    return static_cast<BYTE>(a == 0 ? 0 : (premultiplied * 255 + a / 2) / a);
  };
  return RGB(channel((argb >> 16) & 0xFF), channel((argb >> 8) & 0xFF), channel(argb & 0xFF));
}

bool Surface::WritePng(const std::string& path) const {
  if (kind_ != Kind::Image) return false;
  return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool Surface::FinishTo(const std::string& path) {
  if (kind_ == Kind::Image) return false;
  cairo_surface_finish(surface_);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace platform::gdi
