// Contexts on windows. Each window (a child too) has its own raster surface
// of its client size, kept between paints and remade when the size changes
// (the old pixels are kept where they fit, new ones take the class
// background). GetDC and BeginPaint draw on it; a screen context (GetDC(NULL))
// draws on a surface of the screen's size. Nothing is clipped to the update
// area: a paint handler may paint all of its window.
#include <map>

#include "dc.h"
#include "internal.h"
#include "window_internal.h"

namespace {

using platform::gdi::Dc;
using platform::gdi::DcKind;
using platform::gdi::GdiMutex;
using platform::gdi::Surface;

struct WindowLook {
  SIZE client;
  HBRUSH background;
};

bool Look(HWND h, WindowLook& look) {
  if (!h) {
    look = {{platform::detail::kScreenWidth, platform::detail::kScreenHeight}, nullptr};
    return true;
  }
  RECT rc;
  if (!GetClientRect(h, &rc)) return false;
  std::lock_guard lock(platform::detail::WindowMutex());
  platform::detail::Window* w = platform::detail::FindWindowLocked(h);
  if (!w) return false;
  look = {{rc.right, rc.bottom}, w->cls->wc.hbrBackground};
  return true;
}

// With the GDI lock held.
std::map<HWND, std::shared_ptr<Surface>>& SurfacesLocked() {
  static auto* m = new std::map<HWND, std::shared_ptr<Surface>>;
  return *m;
}

// With the GDI lock held: what a surface starts as, the class brush's colour
// when it is solid.
COLORREF BackgroundColor(HBRUSH brush) {
  const platform::gdi::GdiObject* o = platform::gdi::FindObject(brush);
  if (o && o->kind == platform::gdi::ObjKind::Brush && o->brush.lbStyle == BS_SOLID)
    return o->brush.lbColor;
  return RGB(255, 255, 255);
}

// With the GDI lock held.
std::shared_ptr<Surface> SurfaceLocked(HWND h, const WindowLook& look) {
  std::shared_ptr<Surface>& s = SurfacesLocked()[h];
  if (s && s->width() == look.client.cx && s->height() == look.client.cy) return s;
  auto fresh = Surface::Image(look.client.cx, look.client.cy, BackgroundColor(look.background));
  if (fresh && s) {
    cairo_t* cr = cairo_create(fresh->get());
    cairo_set_source_surface(cr, s->get(), 0, 0);
    cairo_rectangle(cr, 0, 0, std::min(s->width(), fresh->width()),
                    std::min(s->height(), fresh->height()));
    cairo_fill(cr);
    cairo_destroy(cr);
  }
  s = fresh;
  return s;
}

}  // namespace

namespace platform::detail {

void GdiForgetWindow(HWND h) {
  std::lock_guard lock(GdiMutex());
  SurfacesLocked().erase(h);
}

}  // namespace platform::detail

HDC GetDC(HWND hWnd) {
  WindowLook look;
  if (!Look(hWnd, look)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  std::lock_guard lock(GdiMutex());
  auto dc =
      std::make_unique<Dc>(hWnd ? DcKind::Window : DcKind::Screen, platform::gdi::ScreenCaps());
  dc->hwnd = hWnd;
  dc->Attach(SurfaceLocked(hWnd, look));
  if (!dc->CanDraw()) return nullptr;
  return platform::gdi::AddDc(std::move(dc));
}

int ReleaseDC(HWND, HDC hDC) {
  std::unique_ptr<Dc> dc;
  std::lock_guard lock(GdiMutex());
  Dc* found = platform::gdi::FindDc(hDC);
  if (!found || (found->kind != DcKind::Window && found->kind != DcKind::Screen)) return 0;
  dc = platform::gdi::TakeDc(hDC);
  return 1;
}

// The window is validated; a pending erase is done by WM_ERASEBKGND, whose
// default handling fills the client area with the class brush. fErase tells
// the caller that the background still needs erasing.
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint) {
  if (!lpPaint) return nullptr;
  bool erase;
  RECT update;
  {
    std::lock_guard lock(platform::detail::WindowMutex());
    platform::detail::Window* w = platform::detail::FindWindowLocked(hWnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    erase = w->erase;
    update = w->update;
    if (!w->invalid) GetClientRect(hWnd, &update);
  }
  ValidateRect(hWnd, nullptr);
  HDC hdc = GetDC(hWnd);
  *lpPaint = {};
  lpPaint->hdc = hdc;
  lpPaint->rcPaint = update;
  if (hdc && erase)
    lpPaint->fErase =
        SendMessage(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
  return hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (!lpPaint) return FALSE;
  ReleaseDC(hWnd, lpPaint->hdc);
  return TRUE;
}

namespace {

// A window to composite: where its client area lies on the picture and the
// part of the picture its ancestors let it show in.
struct Layer {
  HWND hwnd;
  WindowLook look;
  POINT at;
  RECT clip;
};

// With the window lock held: h and its visible descendants, bottom first.
void CollectLocked(HWND h, POINT at, RECT clip, std::vector<Layer>& out) {
  platform::detail::Window* w = platform::detail::FindWindowLocked(h);
  if (!w || (w->style & WS_MINIMIZE)) return;
  SIZE size{w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  clip = {std::max(clip.left, at.x), std::max(clip.top, at.y), std::min(clip.right, at.x + size.cx),
          std::min(clip.bottom, at.y + size.cy)};
  if (clip.right <= clip.left || clip.bottom <= clip.top) return;
  out.push_back({h, {size, w->cls->wc.hbrBackground}, at, clip});
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
    platform::detail::Window* c = platform::detail::FindWindowLocked(*it);
    if (c && (c->style & WS_VISIBLE))
      CollectLocked(*it, {at.x + c->rect.left, at.y + c->rect.top}, clip, out);
  }
}

}  // namespace

namespace platform {

bool SaveWindowPNG(HWND hwnd, const std::string& path) {
  WindowLook look;
  if (!hwnd || !Look(hwnd, look)) return false;
  std::vector<Layer> layers;
  {
    std::lock_guard lock(platform::detail::WindowMutex());
    CollectLocked(hwnd, {0, 0}, {0, 0, look.client.cx, look.client.cy}, layers);
  }
  std::lock_guard lock(GdiMutex());
  auto picture = Surface::Image(look.client.cx, look.client.cy, RGB(255, 255, 255));
  if (!picture) return false;
  cairo_t* cr = cairo_create(picture->get());
  for (const Layer& l : layers) {
    std::shared_ptr<Surface> s = SurfaceLocked(l.hwnd, l.look);
    if (!s) continue;
    cairo_save(cr);
    cairo_rectangle(cr, l.clip.left, l.clip.top, l.clip.right - l.clip.left,
                    l.clip.bottom - l.clip.top);
    cairo_clip(cr);
    cairo_set_source_surface(cr, s->get(), l.at.x, l.at.y);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  return picture->WritePng(path);
}

}  // namespace platform
