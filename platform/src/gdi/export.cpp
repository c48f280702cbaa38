// The owner's GDI services: off-screen raster contexts saved as PNG, vector
// contexts written as SVG or PDF, and drawing straight into a picture file.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "dc.h"
#include "platform/gdi_export.h"

namespace platform {

using gdi::Dc;
using gdi::DcKind;

HDC CreateRasterDC(int width, int height, COLORREF background) {
  if (width <= 0 || height <= 0) return nullptr;
  HDC hdc = CreateCompatibleDC(nullptr);
  if (hdc && !SetRasterSize(hdc, width, height, background)) {
    DeleteDC(hdc);
    return nullptr;
  }
  return hdc;
}

bool SaveRasterPNG(HDC hdc, const std::string& path) {
  return gdi::WithDc(hdc, false, [&](Dc& dc) {
    if (!dc.surface || dc.surface->kind() != gdi::Surface::Kind::Image) return false;
    return dc.surface->WritePng(path);
  });
}

bool EncodeRasterPNG(HDC hdc, std::string* png) {
  return gdi::WithDc(hdc, false, [&](Dc& dc) {
    if (!dc.surface || dc.surface->kind() != gdi::Surface::Kind::Image) return false;
    return dc.surface->EncodePng(png);
  });
}

HDC CreateVectorDC(const std::string& path, bool pdf, double width, double height) {
  auto surface = pdf ? gdi::Surface::Pdf(width, height) : gdi::Surface::Svg(width, height);
  if (!surface || path.empty()) return nullptr;
  auto dc = std::make_unique<Dc>(DcKind::Vector, gdi::VectorCaps(width, height));
  dc->Attach(std::move(surface));
  dc->output = path;
  return gdi::AddDc(std::move(dc));
}

bool CloseVectorDC(HDC hdc) {
  std::lock_guard lock(gdi::GdiMutex());
  Dc* found = gdi::FindDc(hdc);
  if (!found || found->kind != DcKind::Vector) return false;
  std::unique_ptr<Dc> dc = gdi::TakeDc(hdc);
  std::shared_ptr<gdi::Surface> doc = dc->surface;
  dc->Detach();
  return doc->FinishTo(dc->output);
}

bool RenderToFile(const std::string& path, double width, double height, COLORREF background,
                  const std::function<void(HDC)>& draw) {
  std::string ext = path.substr(std::min(path.size(), path.rfind('.') + 1));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "png") {
    HDC hdc = CreateRasterDC(static_cast<int>(std::ceil(width)),
                             static_cast<int>(std::ceil(height)), background);
    if (!hdc) return false;
    draw(hdc);
    bool ok = SaveRasterPNG(hdc, path);
    DeleteDC(hdc);
    return ok;
  }
  if (ext != "svg" && ext != "pdf") return false;
  HDC hdc = CreateVectorDC(path, ext == "pdf", width, height);
  if (!hdc) return false;
  if (background != CLR_INVALID) {
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, static_cast<LONG>(std::ceil(width)), static_cast<LONG>(std::ceil(height))};
    FillRect(hdc, &all, brush);
    DeleteObject(brush);
  }
  draw(hdc);
  return CloseVectorDC(hdc);
}

}  // namespace platform
