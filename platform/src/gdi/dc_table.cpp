// The table of device contexts: registration, lookup, memory contexts made by
// CreateCompatibleDC and sized by their owner, and DeleteDC.
#include <map>

#include "dc.h"
#include "internal.h"
#include "metadc.h"
#include "platform/gdi_export.h"

namespace platform::gdi {

namespace {

std::map<uintptr_t, std::unique_ptr<Dc>>& TableLocked() {
  static auto* t = new std::map<uintptr_t, std::unique_ptr<Dc>>;
  return *t;
}

}  // namespace

void Dc::Attach(std::shared_ptr<Surface> s, double unit) {
  Detach();
  surface = std::move(s);
  if (!surface) return;
  cr = cairo_create(surface->get());
  cairo_scale(cr, unit, unit);
  if (surface->svg()) {
    // Text measured as cairo's own vector documents measure it, without
    // hinting: an SVG is drawn at any scale.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
  }
}

void Dc::Detach() {
  if (cr) cairo_destroy(cr);
  cr = nullptr;
  surface.reset();
}

COLORREF Dc::Ink(COLORREF c) const {
  c &= 0xFFFFFF;
  if (!mono) return c;
  return c == RGB(255, 255, 255) ? c : RGB(0, 0, 0);
}

HDC AddDc(std::unique_ptr<Dc> dc) {
  std::lock_guard lock(GdiMutex());
  uintptr_t h = platform::detail::NewHandleValue();
  dc->handle = reinterpret_cast<HDC>(h);
  TableLocked()[h] = std::move(dc);
  return reinterpret_cast<HDC>(h);
}

Dc* FindDc(HDC hdc) {
  auto& t = TableLocked();
  auto it = t.find(reinterpret_cast<uintptr_t>(hdc));
  return it == t.end() ? nullptr : it->second.get();
}

std::unique_ptr<Dc> TakeDc(HDC hdc) {
  auto& t = TableLocked();
  auto it = t.find(reinterpret_cast<uintptr_t>(hdc));
  if (it == t.end()) return nullptr;
  std::unique_ptr<Dc> dc = std::move(it->second);
  t.erase(it);
  return dc;
}

}  // namespace platform::gdi

using platform::gdi::Dc;
using platform::gdi::DcKind;

// A memory context takes the metrics of the device it is compatible with.
HDC CreateCompatibleDC(HDC hdc) {
  platform::gdi::Caps caps = platform::gdi::ScreenCaps();
  bool mono = false;
  if (hdc && !platform::gdi::IsMetaFileOnly(hdc)) {
    std::lock_guard lock(platform::gdi::GdiMutex());
    Dc* src = platform::gdi::FindDc(hdc);
    if (!src) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    caps = src->caps;
    mono = src->mono;
  }
  caps.technology = DT_RASDISPLAY;
  auto dc = std::make_unique<Dc>(DcKind::Memory, caps);
  dc->mono = mono;
  dc->Attach(platform::gdi::Surface::Image(1, 1, RGB(255, 255, 255)));
  return platform::gdi::AddDc(std::move(dc));
}

// Any context goes this way: window contexts are released, a printer's open
// document (or recording) and a vector context's drawing are discarded.
BOOL DeleteDC(HDC hdc) {
  std::unique_ptr<Dc> dc;
  {
    std::lock_guard lock(platform::gdi::GdiMutex());
    dc = platform::gdi::TakeDc(hdc);
  }
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  platform::gdi::EndDeviceRecording(hdc);
  std::lock_guard lock(platform::gdi::GdiMutex());
  dc.reset();
  return TRUE;
}

namespace platform {

bool SetRasterSize(HDC hdc, int width, int height, COLORREF background) {
  return gdi::WithDc(hdc, false, [&](gdi::Dc& dc) {
    if (dc.kind != DcKind::Memory) return false;
    auto s = gdi::Surface::Image(width, height, background);
    if (!s) return false;
    dc.Attach(std::move(s));
    return true;
  });
}

int LiveDeviceContexts() {
  std::lock_guard lock(gdi::GdiMutex());
  return static_cast<int>(gdi::TableLocked().size());
}

}  // namespace platform
