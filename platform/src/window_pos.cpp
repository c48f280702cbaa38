// Where windows are and whether they show: rectangles in client, parent and
// screen coordinates, moving and sizing with WM_MOVE and WM_SIZE, Z order,
// show states (hidden, normal, minimised, maximised), and the invalid state
// that painting clears. Children with a thick frame or a caption have a
// non-client area (the frame around, the caption below the top frame); other
// windows, dialogs included, have none. A maximised child covers its
// parent's client area with its window rectangle, a maximised top-level
// window the screen. A minimised window has an empty client area: a framed
// child becomes a caption bar in a slot along the bottom of its parent's
// client area, any other window keeps its position and shrinks to a caption.
#include <algorithm>

#include "internal.h"
#include "window_internal.h"

namespace {

using platform::detail::FindWindowLocked;
using platform::detail::ShowState;
using platform::detail::Window;
using platform::detail::WindowMutex;

Window* Require(HWND h) {
  Window* w = FindWindowLocked(h);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

ShowState StateOf(const Window* w) {
  if (w->style & WS_MINIMIZE) return ShowState::Minimized;
  if (w->style & WS_MAXIMIZE) return ShowState::Maximized;
  return ShowState::Normal;
}

bool HasNonClient(const Window* w) {
  return (w->style & WS_CHILD) &&
         ((w->style & WS_THICKFRAME) || (w->style & WS_CAPTION) == WS_CAPTION);
}

SIZE ClientSize(const Window* w) {
  if (w->style & WS_MINIMIZE) return {0, 0};
  RECT in = platform::detail::ClientInsetsLocked(w);
  LONG cx = w->rect.right - w->rect.left - in.left - in.right;
  LONG cy = w->rect.bottom - w->rect.top - in.top - in.bottom;
  return {std::max(cx, LONG{0}), std::max(cy, LONG{0})};
}

// With the lock held: the caption bar of a minimised framed child, in the
// first slot from the left along the bottom of the parent's client area that
// no minimised sibling holds, so bars line up in the order of minimising.
RECT MinimizedSlotLocked(const Window* w) {
  const int height = platform::detail::kCaptionHeight + 2 * platform::detail::kFrameWidth;
  const Window* p = FindWindowLocked(w->parent);
  SIZE area = p ? ClientSize(p) : SIZE{0, 0};
  std::vector<LONG> taken;
  if (p)
    for (HWND s : p->children) {
      const Window* o = FindWindowLocked(s);
      if (o && o != w && (o->style & WS_MINIMIZE)) taken.push_back(o->rect.left);
    }
  using platform::detail::kMinimizedWidth;
  LONG x = 0;
  while (std::find(taken.begin(), taken.end(), x) != taken.end()) x += kMinimizedWidth;
  return {x, area.cy - height, x + kMinimizedWidth, area.cy};
}

UINT SizeType(const Window* w) {
  switch (StateOf(w)) {
    case ShowState::Minimized:
      return SIZE_MINIMIZED;
    case ShowState::Maximized:
      return SIZE_MAXIMIZED;
    default:
      return SIZE_RESTORED;
  }
}

void InvalidateLocked(Window* w, const RECT* r, bool erase) {
  SIZE size = ClientSize(w);
  RECT area = {0, 0, size.cx, size.cy};
  if (r) {
    area.left = std::max(area.left, r->left);
    area.top = std::max(area.top, r->top);
    area.right = std::min(area.right, r->right);
    area.bottom = std::min(area.bottom, r->bottom);
    if (area.left >= area.right || area.top >= area.bottom) return;
  }
  if (w->invalid) {
    area.left = std::min(area.left, w->update.left);
    area.top = std::min(area.top, w->update.top);
    area.right = std::max(area.right, w->update.right);
    area.bottom = std::max(area.bottom, w->update.bottom);
  }
  w->update = area;
  w->invalid = true;
  w->erase = w->erase || erase;
}

bool VisibleLocked(const Window* w) {
  while (w) {
    if (!(w->style & WS_VISIBLE)) return false;
    if (!(w->style & WS_CHILD) || !w->parent) return true;
    w = FindWindowLocked(w->parent);
  }
  return false;
}

// Reports what a placement change did: WM_MOVE when the position changed,
// WM_SIZE when the size or the show state did.
void Notify(HWND h, bool moved, bool sized) {
  UINT type;
  SIZE size;
  POINT pos;
  {
    std::lock_guard lock(WindowMutex());
    Window* w = FindWindowLocked(h);
    if (!w) return;
    type = SizeType(w);
    size = ClientSize(w);
    pos = {w->rect.left, w->rect.top};
  }
  if (moved) SendMessage(h, WM_MOVE, 0, MAKELPARAM(pos.x, pos.y));
  if (sized) SendMessage(h, WM_SIZE, type, MAKELPARAM(size.cx, size.cy));
}

// Shows or hides; WM_SHOWWINDOW comes before the change, as on Windows.
void SetVisible(HWND h, bool visible) {
  {
    std::lock_guard lock(WindowMutex());
    Window* w = FindWindowLocked(h);
    if (!w || ((w->style & WS_VISIBLE) != 0) == visible) return;
  }
  SendMessage(h, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
  std::lock_guard lock(WindowMutex());
  Window* w = FindWindowLocked(h);
  if (!w) return;
  if (visible) {
    w->style |= WS_VISIBLE;
    InvalidateLocked(w, nullptr, true);
  } else {
    w->style &= ~WS_VISIBLE;
  }
}

void CollectPaintable(HWND h, std::vector<HWND>& out) {
  Window* w = FindWindowLocked(h);
  if (!w) return;
  if (w->invalid && VisibleLocked(w)) out.push_back(h);
  for (HWND c : w->children) CollectPaintable(c, out);
}

}  // namespace

namespace platform::detail {

RECT ClientInsetsLocked(const Window* w) {
  if (!HasNonClient(w)) return {0, 0, 0, 0};
  LONG frame = (w->style & WS_THICKFRAME) ? kFrameWidth : 0;
  LONG caption = (w->style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0;
  return {frame, frame + caption, frame, frame};
}

POINT ScreenOriginLocked(const Window* w) {
  POINT p = {0, 0};
  while (w) {
    RECT in = ClientInsetsLocked(w);
    p.x += w->rect.left + in.left;
    p.y += w->rect.top + in.top;
    if (!(w->style & WS_CHILD) || !w->parent) break;
    w = FindWindowLocked(w->parent);
  }
  return p;
}

void ChangeShowState(HWND h, ShowState to) {
  bool moved;
  {
    std::lock_guard lock(WindowMutex());
    Window* w = FindWindowLocked(h);
    if (!w) return;
    ShowState from = StateOf(w);
    if (from == to) return;
    if (from == ShowState::Normal) w->restore = w->rect;
    RECT old = w->rect;
    w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    switch (to) {
      case ShowState::Maximized: {
        Window* p = (w->style & WS_CHILD) ? FindWindowLocked(w->parent) : nullptr;
        SIZE area = p ? ClientSize(p) : SIZE{kScreenWidth, kScreenHeight};
        w->rect = {0, 0, area.cx, area.cy};
        w->style |= WS_MAXIMIZE;
        break;
      }
      case ShowState::Minimized:
        w->restoreToMaximized = from == ShowState::Maximized;
        if (HasNonClient(w))
          w->rect = MinimizedSlotLocked(w);
        else
          w->rect = {w->restore.left, w->restore.top, w->restore.left + kMinimizedWidth,
                     w->restore.top + kMinimizedHeight};
        w->style |= WS_MINIMIZE;
        break;
      case ShowState::Normal:
        w->rect = w->restore;
        break;
    }
    moved = old.left != w->rect.left || old.top != w->rect.top;
    InvalidateLocked(w, nullptr, true);
  }
  Notify(h, moved, true);
}

}  // namespace platform::detail

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  bool wasVisible;
  bool restoreToMaximized;
  {
    std::lock_guard lock(WindowMutex());
    Window* w = Require(hWnd);
    if (!w) return FALSE;
    wasVisible = w->style & WS_VISIBLE;
    restoreToMaximized = (w->style & WS_MINIMIZE) && w->restoreToMaximized;
  }
  using platform::detail::ChangeShowState;
  switch (nCmdShow) {
    case SW_HIDE:
      SetVisible(hWnd, false);
      break;
    case SW_SHOWNORMAL:
    case SW_SHOWNOACTIVATE:
    case SW_SHOWDEFAULT:
      SetVisible(hWnd, true);
      ChangeShowState(hWnd, ShowState::Normal);
      break;
    case SW_RESTORE:
      SetVisible(hWnd, true);
      ChangeShowState(hWnd, restoreToMaximized ? ShowState::Maximized : ShowState::Normal);
      break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      SetVisible(hWnd, true);
      ChangeShowState(hWnd, ShowState::Minimized);
      break;
    case SW_SHOWMAXIMIZED:
      SetVisible(hWnd, true);
      ChangeShowState(hWnd, ShowState::Maximized);
      break;
    case SW_SHOW:
    case SW_SHOWNA:
      SetVisible(hWnd, true);
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
  return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
  std::lock_guard lock(WindowMutex());
  return VisibleLocked(FindWindowLocked(hWnd)) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hWnd) {
  std::lock_guard lock(WindowMutex());
  Window* w = FindWindowLocked(hWnd);
  return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hWnd) {
  std::lock_guard lock(WindowMutex());
  Window* w = FindWindowLocked(hWnd);
  return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w || !lpRect) return FALSE;
  SIZE s = ClientSize(w);
  *lpRect = {0, 0, s.cx, s.cy};
  return TRUE;
}

BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w || !lpwndpl) return FALSE;
  ShowState state = StateOf(w);
  lpwndpl->flags = 0;
  lpwndpl->showCmd = state == ShowState::Minimized   ? SW_SHOWMINIMIZED
                     : state == ShowState::Maximized ? SW_SHOWMAXIMIZED
                                                     : SW_SHOWNORMAL;
  lpwndpl->ptMinPosition =
      state == ShowState::Minimized ? POINT{w->rect.left, w->rect.top} : POINT{-1, -1};
  lpwndpl->ptMaxPosition = {-1, -1};
  lpwndpl->rcNormalPosition = state == ShowState::Normal ? w->rect : w->restore;
  return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w || !lpRect) return FALSE;
  POINT o = platform::detail::ScreenOriginLocked(w);
  RECT in = platform::detail::ClientInsetsLocked(w);
  o.x -= in.left;
  o.y -= in.top;
  *lpRect = {o.x, o.y, o.x + w->rect.right - w->rect.left, o.y + w->rect.bottom - w->rect.top};
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, POINT* lpPoint) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w || !lpPoint) return FALSE;
  POINT o = platform::detail::ScreenOriginLocked(w);
  lpPoint->x -= o.x;
  lpPoint->y -= o.y;
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, POINT* lpPoint) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w || !lpPoint) return FALSE;
  POINT o = platform::detail::ScreenOriginLocked(w);
  lpPoint->x += o.x;
  lpPoint->y += o.y;
  return TRUE;
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  bool moved, sized;
  {
    std::lock_guard lock(WindowMutex());
    Window* w = Require(hWnd);
    if (!w) return FALSE;
    RECT r = w->rect;
    if (!(uFlags & SWP_NOMOVE)) {
      r = {X, Y, X + (r.right - r.left), Y + (r.bottom - r.top)};
    }
    if (!(uFlags & SWP_NOSIZE)) {
      r.right = r.left + std::max(cx, 0);
      r.bottom = r.top + std::max(cy, 0);
    }
    moved = r.left != w->rect.left || r.top != w->rect.top;
    sized = r.right - r.left != w->rect.right - w->rect.left ||
            r.bottom - r.top != w->rect.bottom - w->rect.top;
    w->rect = r;
    if (!(uFlags & SWP_NOZORDER)) {
      auto& siblings = platform::detail::SiblingsLocked(w->parent);
      auto target = std::find(siblings.begin(), siblings.end(), hWndInsertAfter);
      bool known = hWndInsertAfter != hWnd && target != siblings.end();
      siblings.erase(std::remove(siblings.begin(), siblings.end(), hWnd), siblings.end());
      if (hWndInsertAfter == HWND_BOTTOM) {
        siblings.push_back(hWnd);
      } else if (known) {  // just below the given sibling
        siblings.insert(std::find(siblings.begin(), siblings.end(), hWndInsertAfter) + 1, hWnd);
      } else {
        siblings.insert(siblings.begin(), hWnd);
      }
    }
    if (uFlags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (uFlags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
    if ((moved || sized || (uFlags & SWP_SHOWWINDOW)) && !(uFlags & SWP_NOREDRAW))
      InvalidateLocked(w, nullptr, true);
  }
  Notify(hWnd, moved, sized);
  return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                      SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hWnd) {
  return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  std::lock_guard lock(WindowMutex());
  if (!hWnd) {  // every window
    for (auto& [id, w] : platform::detail::AllWindowsLocked())
      InvalidateLocked(w.get(), nullptr, bErase);
    return TRUE;
  }
  Window* w = Require(hWnd);
  if (!w) return FALSE;
  InvalidateLocked(w, lpRect, bErase);
  return TRUE;
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w) return FALSE;
  // A part of the update area stays invalid only when the rectangle given
  // does not cover it all.
  if (!lpRect || (lpRect->left <= w->update.left && lpRect->top <= w->update.top &&
                  lpRect->right >= w->update.right && lpRect->bottom >= w->update.bottom)) {
    w->invalid = false;
    w->erase = false;
    w->update = {};
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w) return FALSE;
  if (lpRect) *lpRect = w->invalid ? w->update : RECT{};
  return w->invalid ? TRUE : FALSE;
}

// Paints the window and its children that need it, at once. A window
// procedure that leaves its window invalid gets it validated afterwards, so
// no caller loops on paint messages.
BOOL UpdateWindow(HWND hWnd) {
  std::vector<HWND> targets;
  {
    std::lock_guard lock(WindowMutex());
    if (!Require(hWnd)) return FALSE;
    CollectPaintable(hWnd, targets);
  }
  for (HWND h : targets) {
    if (!IsWindow(h)) continue;
    SendMessage(h, WM_PAINT, 0, 0);
    if (IsWindow(h)) ValidateRect(h, nullptr);
  }
  return TRUE;
}
