// Contexts on windows. Each window (a child too) has its own raster surface
// of its client size, kept between paints and remade when the size changes
// (the old pixels are kept where they fit, new ones take the class
// background). GetDC and BeginPaint draw on it; a screen context (GetDC(NULL))
// draws on a surface of the screen's size. Nothing is clipped to the update
// area: a paint handler may paint all of its window.
#include <algorithm>
#include <map>
#include <string>

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
// part of the picture its ancestors let it show in; a framed child also has
// its non-client area drawn (window rectangle, caption state and title).
struct Layer {
  HWND hwnd = nullptr;
  WindowLook look = {};
  POINT at = {};
  RECT clip = {};
  bool nonClient = false;
  RECT window = {};  // picture coordinates
  RECT insets = {};
  bool active = false;
  std::string title;
};

RECT Intersect(const RECT& a, const RECT& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// With the window lock held: the visible children of w (whose client area is
// at `at`), bottom first, each followed by its own children. A minimised
// child shows its caption bar only.
void CollectChildrenLocked(const platform::detail::Window* w, POINT at, RECT clip,
                           std::vector<Layer>& out) {
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
    platform::detail::Window* c = platform::detail::FindWindowLocked(*it);
    if (!c || !(c->style & WS_VISIBLE)) continue;
    RECT in = platform::detail::ClientInsetsLocked(c);
    RECT window = {at.x + c->rect.left, at.y + c->rect.top, at.x + c->rect.right,
                   at.y + c->rect.bottom};
    RECT shown = Intersect(clip, window);
    if (Empty(shown)) continue;
    bool minimized = c->style & WS_MINIMIZE;
    bool nonClient = in.left || in.top || in.right || in.bottom;
    if (minimized && !nonClient) continue;
    POINT client = {window.left + in.left, window.top + in.top};
    SIZE size = {0, 0};
    if (!minimized) {
      size.cx = std::max(window.right - window.left - in.left - in.right, LONG{0});
      size.cy = std::max(window.bottom - window.top - in.top - in.bottom, LONG{0});
    }
    Layer l;
    l.hwnd = *it;
    l.look = {size, c->cls->wc.hbrBackground};
    l.at = client;
    l.clip = shown;
    l.nonClient = nonClient;
    l.window = window;
    l.insets = in;
    l.active = c->captionActive;
    l.title = c->title;
    out.push_back(l);
    if (minimized) continue;
    RECT inner = Intersect(shown, {client.x, client.y, client.x + size.cx, client.y + size.cy});
    if (!Empty(inner)) CollectChildrenLocked(c, client, inner, out);
  }
}

// The frame in light grey, the caption dark blue (active) or grey with the
// title in white or light grey, as the classic child-window look.
void DrawNonClient(cairo_t* cr, const Layer& l) {
  const RECT& r = l.window;
  cairo_set_source_rgb(cr, 192 / 255.0, 192 / 255.0, 192 / 255.0);
  cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
  cairo_fill(cr);
  LONG caption = l.insets.top - l.insets.left;
  if (caption <= 0) return;
  double x = r.left + l.insets.left, y = r.top + l.insets.left;
  double width = r.right - r.left - l.insets.left - l.insets.right;
  if (l.active)
    cairo_set_source_rgb(cr, 0, 0, 128 / 255.0);
  else
    cairo_set_source_rgb(cr, 128 / 255.0, 128 / 255.0, 128 / 255.0);
  cairo_rectangle(cr, x, y, width, caption);
  cairo_fill(cr);
  if (l.title.empty()) return;
  cairo_save(cr);
  cairo_rectangle(cr, x, y, width, caption);
  cairo_clip(cr);
  double shade = l.active ? 1.0 : 192 / 255.0;
  cairo_set_source_rgb(cr, shade, shade, shade);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, caption * 0.65);
  cairo_move_to(cr, x + 3, y + caption * 0.75);
  cairo_show_text(cr, l.title.c_str());
  cairo_restore(cr);
}

}  // namespace

namespace platform {

bool SaveWindowPNG(HWND hwnd, const std::string& path) {
  WindowLook look;
  if (!hwnd || !Look(hwnd, look)) return false;
  // The picture shows what the windows would show: paints still pending are
  // done first.
  UpdateWindow(hwnd);
  if (!Look(hwnd, look)) return false;
  std::vector<Layer> layers;
  {
    std::lock_guard lock(platform::detail::WindowMutex());
    platform::detail::Window* w = platform::detail::FindWindowLocked(hwnd);
    if (!w) return false;
    RECT all = {0, 0, look.client.cx, look.client.cy};
    if (!(w->style & WS_MINIMIZE) && !Empty(all)) {
      Layer root;
      root.hwnd = hwnd;
      root.look = look;
      root.at = {0, 0};
      root.clip = all;
      layers.push_back(root);
      CollectChildrenLocked(w, {0, 0}, all, layers);
    }
  }
  std::lock_guard lock(GdiMutex());
  auto picture = Surface::Image(look.client.cx, look.client.cy, RGB(255, 255, 255));
  if (!picture) return false;
  cairo_t* cr = cairo_create(picture->get());
  for (const Layer& l : layers) {
    cairo_save(cr);
    cairo_rectangle(cr, l.clip.left, l.clip.top, l.clip.right - l.clip.left,
                    l.clip.bottom - l.clip.top);
    cairo_clip(cr);
    if (l.nonClient) DrawNonClient(cr, l);
    std::shared_ptr<Surface> s =
        l.look.client.cx > 0 && l.look.client.cy > 0 ? SurfaceLocked(l.hwnd, l.look) : nullptr;
    if (s) {
      cairo_rectangle(cr, l.at.x, l.at.y, l.look.client.cx, l.look.client.cy);
      cairo_clip(cr);
      cairo_set_source_surface(cr, s->get(), l.at.x, l.at.y);
      cairo_paint(cr);
    }
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  return picture->WritePng(path);
}

}  // namespace platform
