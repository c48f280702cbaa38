// Cairo surfaces: images filled with a background colour, vector documents
// that collect their bytes in memory, pixels read back as COLORREFs.
#include "surface.h"

#include <cairo-pdf.h>
#include <png.h>

#include <cstring>
#include <fstream>
#include <vector>

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
  cairo_rectangle_t extents{0, 0, width, height};
  cairo_surface_t* paths = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
  if (cairo_surface_status(paths) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(paths);
    return nullptr;
  }
  std::shared_ptr<Surface> s(new Surface(Kind::Svg, paths, 0, 0));
  s->svg_ = std::make_unique<SvgDocument>(width, height);
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

namespace {

void AppendPng(png_structp png, png_bytep data, png_size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

}  // namespace

// Fast compression without filters: a drawing is large areas of one colour,
// which deflate takes well on its own; the file is a little larger than the
// hardest setting gives and made four times as fast. Opaque pictures are
// written as RGB, others as RGBA with the alpha taken out of the colours.
bool Surface::EncodePng(std::string* out) const {
  if (kind_ != Kind::Image || !out) return false;
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  if (!data || width_ <= 0 || height_ <= 0) return false;
  bool opaque = true;
  for (int y = 0; y < height_ && opaque; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width_; ++x)
      if ((row[x] >> 24) != 0xFF) {
        opaque = false;
        break;
      }
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  const int channels = opaque ? 3 : 4;
  std::vector<unsigned char> line(static_cast<size_t>(width_) * channels);
  out->clear();
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    out->clear();
    return false;
  }
  png_set_write_fn(png, out, AppendPng, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_), 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    unsigned char* o = line.data();
    for (int x = 0; x < width_; ++x) {
      const uint32_t p = row[x];
      const unsigned a = p >> 24;
      unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (!opaque && a != 0 && a != 0xFF) {  // cairo's pixels carry premultiplied colour
        r = (r * 255 + a / 2) / a;
        g = (g * 255 + a / 2) / a;
        b = (b * 255 + a / 2) / a;
      }
      *o++ = static_cast<unsigned char>(r);
      *o++ = static_cast<unsigned char>(g);
      *o++ = static_cast<unsigned char>(b);
      if (!opaque) *o++ = static_cast<unsigned char>(a);
    }
    png_write_row(png, line.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool Surface::WritePng(const std::string& path) const {
  std::string bytes;
  if (!EncodePng(&bytes)) return false;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file.flush());
}

bool Surface::FinishTo(const std::string& path) {
  if (kind_ == Kind::Image) return false;
  if (svg_) return svg_->WriteTo(path);
  cairo_surface_finish(surface_);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace platform::gdi
