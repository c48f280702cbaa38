#include "png_encode.h"

#include <png.h>
#include <zlib.h>

#ifdef HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <cstdint>
#include <cstring>
#include <vector>

namespace bench {
namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void Flush(png_structp) {}

cairo_status_t AppendCairo(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool EncodePngCairo(cairo_surface_t* image, std::string& out) {
  return cairo_surface_write_to_png_stream(image, AppendCairo, &out) == CAIRO_STATUS_SUCCESS;
}

bool EncodePngLibpng(cairo_surface_t* image, int level, int filters, int strategy,
                     std::string& out) {
  const cairo_format_t format = cairo_image_surface_get_format(image);
  if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return false;
  cairo_surface_flush(image);
  const int w = cairo_image_surface_get_width(image);
  const int h = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const unsigned char* data = cairo_image_surface_get_data(image);

  bool opaque = true;
  if (format == CAIRO_FORMAT_ARGB32) {
    for (int y = 0; y < h && opaque; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
      for (int x = 0; x < w; ++x)
        if ((row[x] >> 24) != 0xFF) {
          opaque = false;
          break;
        }
    }
  }

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> row(static_cast<size_t>(w) * 4);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, &out, Append, Flush);
  png_set_compression_level(png, level);
  png_set_compression_strategy(png, strategy);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(data + y * stride);
    png_byte* dst = row.data();
    for (int x = 0; x < w; ++x) {
      const uint32_t p = src[x];
      const unsigned a = opaque ? 255 : p >> 24;
      unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (a != 255) {  // Cairo keeps colours premultiplied
        r = a ? (r * 255 + a / 2) / a : 0;
        g = a ? (g * 255 + a / 2) / a : 0;
        b = a ? (b * 255 + a / 2) / a : 0;
      }
      *dst++ = static_cast<png_byte>(r);
      *dst++ = static_cast<png_byte>(g);
      *dst++ = static_cast<png_byte>(b);
      if (!opaque) *dst++ = static_cast<png_byte>(a);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool EncodePngPalette(cairo_surface_t* image, int level, int strategy, std::string& out,
                      bool* paletted) {
  *paletted = false;
  if (cairo_image_surface_get_format(image) != CAIRO_FORMAT_ARGB32 &&
      cairo_image_surface_get_format(image) != CAIRO_FORMAT_RGB24)
    return false;
  cairo_surface_flush(image);
  const int w = cairo_image_surface_get_width(image);
  const int h = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const unsigned char* data = cairo_image_surface_get_data(image);

  // Colours to indexes in an open-addressed table of 1024 slots.
  constexpr unsigned kSlots = 1024;
  uint32_t keys[kSlots];
  int16_t values[kSlots];
  std::memset(values, -1, sizeof values);
  png_color palette[256];
  int colours = 0;
  std::vector<png_byte> indexed(static_cast<size_t>(w) * static_cast<size_t>(h));
  uint32_t lastColour = 0;
  int lastIndex = -1;
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
    png_byte* dst = indexed.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    for (int x = 0; x < w; ++x) {
      const uint32_t p = row[x] | 0xFF000000u;
      if ((row[x] >> 24) != 0xFF && cairo_image_surface_get_format(image) == CAIRO_FORMAT_ARGB32)
        return EncodePngLibpng(image, level, PNG_FILTER_NONE, strategy, out);
      if (p != lastColour || lastIndex < 0) {
        unsigned slot = (p * 2654435761u) >> 22;
        while (values[slot] >= 0 && keys[slot] != p) slot = (slot + 1) & (kSlots - 1);
        if (values[slot] < 0) {
          if (colours == 256) return EncodePngLibpng(image, level, PNG_FILTER_NONE, strategy, out);
          keys[slot] = p;
          values[slot] = static_cast<int16_t>(colours);
          palette[colours] = {static_cast<png_byte>(p >> 16), static_cast<png_byte>(p >> 8),
                              static_cast<png_byte>(p)};
          ++colours;
        }
        lastColour = p;
        lastIndex = values[slot];
      }
      dst[x] = static_cast<png_byte>(lastIndex);
    }
  }

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, &out, Append, Flush);
  png_set_compression_level(png, level);
  png_set_compression_strategy(png, strategy);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
               PNG_FILTER_TYPE_BASE);
  png_set_PLTE(png, info, palette, colours);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y)
    png_write_row(png, indexed.data() + static_cast<size_t>(y) * static_cast<size_t>(w));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  *paletted = true;
  return true;
}

#ifdef HAVE_LIBDEFLATE
namespace {

void PutBE32(std::string& out, uint32_t v) {
  const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 8), static_cast<char>(v)};
  out.append(b, 4);
}

// A chunk: length, type, data, CRC of type and data.
void PutChunk(std::string& out, const char* type, const void* data, size_t cb) {
  PutBE32(out, static_cast<uint32_t>(cb));
  const size_t at = out.size();
  out.append(type, 4);
  out.append(static_cast<const char*>(data), cb);
  PutBE32(out, static_cast<uint32_t>(libdeflate_crc32(0, out.data() + at, cb + 4)));
}

}  // namespace

bool EncodePngLibdeflate(cairo_surface_t* image, int level, std::string& out) {
  if (cairo_image_surface_get_format(image) != CAIRO_FORMAT_ARGB32 &&
      cairo_image_surface_get_format(image) != CAIRO_FORMAT_RGB24)
    return false;
  cairo_surface_flush(image);
  const int w = cairo_image_surface_get_width(image);
  const int h = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const unsigned char* data = cairo_image_surface_get_data(image);
  // Rows of a filter byte (none) and RGB; an opaque image is assumed, as the
  // raster's background makes it.
  const size_t rowBytes = 1 + 3 * static_cast<size_t>(w);
  std::vector<unsigned char> raw(rowBytes * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(data + y * stride);
    unsigned char* dst = raw.data() + rowBytes * static_cast<size_t>(y);
    *dst++ = 0;
    for (int x = 0; x < w; ++x) {
      const uint32_t p = src[x];
      *dst++ = static_cast<unsigned char>(p >> 16);
      *dst++ = static_cast<unsigned char>(p >> 8);
      *dst++ = static_cast<unsigned char>(p);
    }
  }
  // A compressor is large (its hash tables) and is kept, one per level, as
  // an encoder in a program would keep it.
  static libdeflate_compressor* kept[13] = {};
  if (level < 1 || level > 12) return false;
  if (!kept[level]) kept[level] = libdeflate_alloc_compressor(level);
  libdeflate_compressor* c = kept[level];
  if (!c) return false;
  std::vector<unsigned char> z(libdeflate_zlib_compress_bound(c, raw.size()));
  const size_t cz = libdeflate_zlib_compress(c, raw.data(), raw.size(), z.data(), z.size());
  if (cz == 0) return false;
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  out.append(reinterpret_cast<const char*>(kSignature), 8);
  unsigned char ihdr[13] = {0};
  for (int i = 0; i < 4; ++i) {
    ihdr[i] = static_cast<unsigned char>(static_cast<uint32_t>(w) >> (24 - 8 * i));
    ihdr[4 + i] = static_cast<unsigned char>(static_cast<uint32_t>(h) >> (24 - 8 * i));
  }
  ihdr[8] = 8;  // bits per channel
  ihdr[9] = 2;  // RGB
  PutChunk(out, "IHDR", ihdr, sizeof ihdr);
  PutChunk(out, "IDAT", z.data(), cz);
  PutChunk(out, "IEND", nullptr, 0);
  return true;
}
#else
bool EncodePngLibdeflate(cairo_surface_t*, int, std::string&) { return false; }
#endif

}  // namespace bench
