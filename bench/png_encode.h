// A PNG encoder written straight on libpng, to set against Cairo's own PNG
// writer on the same pixels: the compression level and the row filters are
// chosen by the caller (Cairo always writes at zlib's default level with
// every filter tried).
#pragma once

#include <cairo.h>

#include <string>

namespace bench {

// Appends the PNG of an ARGB32 image surface to out: 8-bit RGB when every
// pixel is opaque (as Cairo writes it), RGBA otherwise. level is zlib's
// (0-9); filters a mask of PNG_FILTER_* (PNG_ALL_FILTERS for libpng's
// choice); strategy zlib's (Z_DEFAULT_STRATEGY, Z_RLE, ...). False when
// libpng fails or the surface is not ARGB32/RGB24.
bool EncodePngLibpng(cairo_surface_t* image, int level, int filters, int strategy,
                     std::string& out);

// An 8-bit palette PNG when the opaque image has at most 256 colours (row
// filter none), else EncodePngLibpng with filter none. *paletted tells which.
bool EncodePngPalette(cairo_surface_t* image, int level, int strategy, std::string& out,
                      bool* paletted);

// A PNG written by hand (RGB, row filter none) with libdeflate's zlib stream
// at level (1-12); false when libdeflate was not there at build time.
bool EncodePngLibdeflate(cairo_surface_t* image, int level, std::string& out);

// Cairo's own writer into memory: cairo_surface_write_to_png_stream.
bool EncodePngCairo(cairo_surface_t* image, std::string& out);

}  // namespace bench
