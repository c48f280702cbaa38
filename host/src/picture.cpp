#include "picture.h"

#include <platform/env.h>
#include <platform/gdi_export.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <vector>

#include "failure.h"

namespace host {
namespace {

// 0.01 mm units to pixels at 96 dpi or to points.
constexpr double kUnitsPerInch = 2540.0;

// The last window extent the metafile sets, or (0, 0).
SIZE WindowExtent(HMETAFILE hmf) {
  SIZE ext{0, 0};
  EnumMetaFile(
      nullptr, hmf,
      [](HDC, HANDLETABLE*, METARECORD* r, int, LPARAM p) -> int {
        if (r->rdFunction == META_SETWINDOWEXT && r->rdSize >= 5) {
          auto* e = reinterpret_cast<SIZE*>(p);
          e->cy = static_cast<int16_t>(r->rdParm[0]);
          e->cx = static_cast<int16_t>(r->rdParm[1]);
        }
        return 1;
      },
      reinterpret_cast<LPARAM>(&ext));
  return ext;
}

// Size in the given units per inch (96 for pixels, 72 for points).
void PictureSize(const METAFILEPICT& pict, double perInch, double* w, double* h) {
  const double yExt = pict.yExt > 0 ? pict.yExt : 5000;  // no size given: 50 mm high
  *h = yExt / kUnitsPerInch * perInch;
  if (pict.xExt > 0) {
    *w = pict.xExt / kUnitsPerInch * perInch;
  } else {
    SIZE ext = WindowExtent(pict.hMF);
    *w = ext.cy != 0 ? *h * std::abs(static_cast<double>(ext.cx) / ext.cy) : *h;
  }
}

void Play(HDC hdc, const METAFILEPICT& pict, int w, int h) {
  SetMapMode(hdc, MM_ANISOTROPIC);
  SetViewportExtEx(hdc, w, h, nullptr);
  // Without a window extent of its own the picture keeps one unit a pixel.
  SetWindowExtEx(hdc, w, h, nullptr);
  if (!PlayMetaFile(hdc, pict.hMF)) throw HostError{"cannot play the picture"};
}

}  // namespace

std::string FileExtension(const std::string& path) {
  // A dot in a directory name is no extension ("out.d/plot").
  const size_t dot = path.rfind('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

COLORREF ParseColour(const std::string& text) {
  const HostError bad{"a background colour is \"R G B\", each 0 to 255"};
  int rgb[3];
  size_t at = 0;
  auto blanks = [&] {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  };
  auto digit = [&] {
    return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]));
  };
  for (int& part : rgb) {
    blanks();
    const size_t start = at;
    part = 0;
    // At most three digits, so the value stays small before its range check.
    while (digit() && at - start < 3) part = part * 10 + (text[at++] - '0');
    if (at == start || digit() || part > 255) throw bad;
  }
  blanks();
  if (at != text.size()) throw bad;
  return RGB(rgb[0], rgb[1], rgb[2]);
}

SIZE PicturePixels(const METAFILEPICT& pict) {
  double w, h;
  PictureSize(pict, 96.0, &w, &h);
  return SIZE{static_cast<LONG>(std::max(1L, std::lround(w))),
              static_cast<LONG>(std::max(1L, std::lround(h)))};
}

void SavePicture(const METAFILEPICT& pict, const std::string& path, COLORREF background) {
  const std::string ext = FileExtension(path);
  const std::string hostPath = platform::ToHostPath(path);
  if (hostPath.empty()) throw HostError{"cannot write " + path};
  if (ext == "wmf") {
    UINT size = GetMetaFileBitsEx(pict.hMF, 0, nullptr);
    std::vector<char> bytes(size);
    if (size == 0 || GetMetaFileBitsEx(pict.hMF, size, bytes.data()) != size)
      throw HostError{"cannot read the picture's metafile"};
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw HostError{"cannot write " + path};
    return;
  }
  if (ext == "png") {
    SIZE px = PicturePixels(pict);
    HDC hdc = platform::CreateRasterDC(px.cx, px.cy, background);
    if (!hdc) throw HostError{"cannot make a picture of that size"};
    try {
      Play(hdc, pict, px.cx, px.cy);
    } catch (...) {
      DeleteDC(hdc);
      throw;
    }
    bool ok = platform::SaveRasterPNG(hdc, hostPath);
    DeleteDC(hdc);
    if (!ok) throw HostError{"cannot write " + path};
    return;
  }
  if (ext == "svg" || ext == "pdf") {
    const bool pdf = ext == "pdf";
    double w, h;
    PictureSize(pict, pdf ? 72.0 : 96.0, &w, &h);
    HDC hdc = platform::CreateVectorDC(hostPath, pdf, w, h);
    if (!hdc) throw HostError{"cannot write " + path};
    if (!pdf) {
      // Paint the background under the picture, as the PNG has it.
      HBRUSH brush = CreateSolidBrush(background);
      RECT all{0, 0, static_cast<LONG>(std::ceil(w)), static_cast<LONG>(std::ceil(h))};
      FillRect(hdc, &all, brush);
      DeleteObject(brush);
    }
    try {
      Play(hdc, pict, static_cast<int>(std::lround(w)), static_cast<int>(std::lround(h)));
    } catch (...) {
      platform::CloseVectorDC(hdc);
      throw;
    }
    if (!platform::CloseVectorDC(hdc)) throw HostError{"cannot write " + path};
    return;
  }
  throw HostError{"a picture is saved as .png, .svg, .pdf or .wmf, not " + path};
}

}  // namespace host
