// Windows: creation and destruction with their messages, the tree of parents,
// children and owners with its Z order, window longs and extra bytes, titles,
// control ids, enabling, the system menu, focus and activation.
#include <algorithm>
#include <cstring>

#include "internal.h"
#include "window_internal.h"

namespace platform::detail {

namespace {

struct Tree {
  std::map<uintptr_t, std::unique_ptr<Window>> all;
  std::vector<HWND> topLevel;  // topmost first
  HWND focus = nullptr;
  HWND active = nullptr;
};

Tree& TreeLocked() {
  static auto* t = new Tree;
  return *t;
}

}  // namespace

std::recursive_mutex& WindowMutex() {
  static auto* m = new std::recursive_mutex;
  return *m;
}

Window* FindWindowLocked(HWND h) {
  auto& all = TreeLocked().all;
  auto it = all.find(reinterpret_cast<uintptr_t>(h));
  return it == all.end() ? nullptr : it->second.get();
}

std::vector<HWND>& TopLevelLocked() { return TreeLocked().topLevel; }

std::vector<HWND>& SiblingsLocked(HWND parent) {
  Window* p = parent ? FindWindowLocked(parent) : nullptr;
  return p ? p->children : TreeLocked().topLevel;
}

std::map<uintptr_t, std::unique_ptr<Window>>& AllWindowsLocked() { return TreeLocked().all; }

void ForgetFocus(HWND h) {
  std::lock_guard lock(WindowMutex());
  if (TreeLocked().focus == h) TreeLocked().focus = nullptr;
  if (TreeLocked().active == h) TreeLocked().active = nullptr;
}

}  // namespace platform::detail

namespace {

using platform::detail::FindWindowLocked;
using platform::detail::Window;
using platform::detail::WindowMutex;

Window* Require(HWND h) {
  Window* w = FindWindowLocked(h);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

// Takes a window out of the tree after its WM_NCDESTROY.
void Remove(HWND h) {
  std::shared_ptr<platform::detail::MessageQueue> queue;
  {
    std::lock_guard lock(WindowMutex());
    Window* w = FindWindowLocked(h);
    if (!w) return;
    auto& siblings = platform::detail::SiblingsLocked(w->parent);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
    for (auto& [id, other] : platform::detail::AllWindowsLocked())
      if (other->owner == h) other->owner = nullptr;
    --w->cls->windows;
    queue = w->queue;
    platform::detail::AllWindowsLocked().erase(reinterpret_cast<uintptr_t>(h));
  }
  platform::detail::PurgeMessages(queue, h);
  platform::detail::ForgetFocus(h);
  platform::detail::ClipboardForgetWindow(h);
  platform::detail::GdiForgetWindow(h);
}

HWND RootOf(HWND h) {
  Window* w = FindWindowLocked(h);
  while (w && (w->style & WS_CHILD) && w->parent) {
    h = w->parent;
    w = FindWindowLocked(h);
  }
  return h;
}

}  // namespace

HWND CreateWindowEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                    int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                    HINSTANCE hInstance, LPVOID lpParam) {
  bool child = dwStyle & WS_CHILD;
  if (X == CW_USEDEFAULT) X = Y = 0;
  if (nWidth == CW_USEDEFAULT) {
    nWidth = child ? 0 : 640;
    nHeight = child ? 0 : 480;
  }
  nWidth = std::max(nWidth, 0);
  nHeight = std::max(nHeight, 0);
  HWND hwnd;
  {
    std::lock_guard lock(WindowMutex());
    platform::detail::WindowClass* cls = platform::detail::FindClassLocked(lpClassName);
    if (!cls) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    if (hWndParent && !FindWindowLocked(hWndParent)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    if (child && !hWndParent) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    auto w = std::make_unique<Window>();
    hwnd = reinterpret_cast<HWND>(platform::detail::NewHandleValue());
    w->hwnd = hwnd;
    w->cls = cls;
    w->proc = cls->wc.lpfnWndProc ? cls->wc.lpfnWndProc : DefWindowProc;
    // Visibility and the show state are applied once creation succeeded.
    w->style = dwStyle & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    w->exStyle = dwExStyle;
    w->id = child ? reinterpret_cast<intptr_t>(hMenu) : 0;
    w->instance = hInstance;
    if (child)
      w->parent = hWndParent;
    else
      w->owner = hWndParent ? RootOf(hWndParent) : nullptr;
    w->rect = {X, Y, X + nWidth, Y + nHeight};
    w->restore = w->rect;
    w->extra.assign(static_cast<size_t>(std::max(cls->wc.cbWndExtra, 0)), 0);
    w->queue = platform::detail::CurrentQueue();
    if (dwStyle & WS_SYSMENU) w->systemMenu = platform::detail::MakeSystemMenu();
    ++cls->windows;
    auto& siblings = platform::detail::SiblingsLocked(w->parent);
    siblings.insert(siblings.begin(), hwnd);  // a new window comes on top
    platform::detail::AllWindowsLocked()[reinterpret_cast<uintptr_t>(hwnd)] = std::move(w);
  }
  CREATESTRUCT cs = {};
  cs.lpCreateParams = lpParam;
  cs.hInstance = hInstance;
  cs.hMenu = hMenu;
  cs.hwndParent = hWndParent;
  cs.cy = nHeight;
  cs.cx = nWidth;
  cs.y = Y;
  cs.x = X;
  cs.style = static_cast<LONG>(dwStyle);
  cs.lpszName = lpWindowName;
  cs.lpszClass = lpClassName;
  cs.dwExStyle = dwExStyle;
  if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    SendMessage(hwnd, WM_NCDESTROY, 0, 0);
    Remove(hwnd);
    return nullptr;
  }
  if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!IsWindow(hwnd)) return nullptr;  // destroyed while being created
  SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(nWidth, nHeight));
  SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(X, Y));
  if (dwStyle & WS_MINIMIZE)
    platform::detail::ChangeShowState(hwnd, platform::detail::ShowState::Minimized);
  else if (dwStyle & WS_MAXIMIZE)
    platform::detail::ChangeShowState(hwnd, platform::detail::ShowState::Maximized);
  if (dwStyle & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return IsWindow(hwnd) ? hwnd : nullptr;
}

// WM_DESTROY goes to the window before its children, WM_NCDESTROY after them,
// so each handler may rely on its children still existing.
BOOL DestroyWindow(HWND hWnd) {
  std::vector<HWND> owned;
  {
    std::lock_guard lock(WindowMutex());
    Window* w = Require(hWnd);
    if (!w || w->destroying) return FALSE;
    w->destroying = true;
    w->style &= ~WS_VISIBLE;
    for (auto& [id, other] : platform::detail::AllWindowsLocked())
      if (other->owner == hWnd) owned.push_back(other->hwnd);
  }
  for (HWND o : owned) DestroyWindow(o);
  SendMessage(hWnd, WM_DESTROY, 0, 0);
  std::vector<HWND> children;
  {
    std::lock_guard lock(WindowMutex());
    if (Window* w = FindWindowLocked(hWnd)) children = w->children;
  }
  for (HWND c : children) DestroyWindow(c);
  SendMessage(hWnd, WM_NCDESTROY, 0, 0);
  Remove(hWnd);
  return TRUE;
}

BOOL IsWindow(HWND hWnd) {
  std::lock_guard lock(WindowMutex());
  return FindWindowLocked(hWnd) ? TRUE : FALSE;
}

HWND GetParent(HWND hWnd) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return w->parent;
  return (w->style & WS_POPUP) ? w->owner : nullptr;
}

BOOL IsChild(HWND hWndParent, HWND hWnd) {
  std::lock_guard lock(WindowMutex());
  for (Window* w = FindWindowLocked(hWnd); w && (w->style & WS_CHILD) && w->parent;
       w = FindWindowLocked(w->parent)) {
    if (w->parent == hWndParent) return TRUE;
  }
  return FALSE;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w) return nullptr;
  if (uCmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (uCmd == GW_OWNER) return w->owner;
  const auto& siblings = platform::detail::SiblingsLocked(w->parent);
  auto it = std::find(siblings.begin(), siblings.end(), hWnd);
  switch (uCmd) {
    case GW_HWNDFIRST:
      return siblings.front();
    case GW_HWNDLAST:
      return siblings.back();
    case GW_HWNDNEXT:
      return it + 1 == siblings.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
      return it == siblings.begin() ? nullptr : *(it - 1);
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

HWND GetTopWindow(HWND hWnd) {
  std::lock_guard lock(WindowMutex());
  if (!hWnd) {
    const auto& top = platform::detail::TopLevelLocked();
    return top.empty() ? nullptr : top.front();
  }
  Window* w = Require(hWnd);
  return w && !w->children.empty() ? w->children.front() : nullptr;
}

intptr_t GetWindowLongPtr(HWND hWnd, int nIndex) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w) return 0;
  switch (nIndex) {
    case GWL_WNDPROC:
      return reinterpret_cast<intptr_t>(w->proc);
    case GWL_HINSTANCE:
      return reinterpret_cast<intptr_t>(w->instance);
    case GWL_ID:
      return w->id;
    case GWL_STYLE:
      return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(w->exStyle);
    case GWL_USERDATA:
      return w->userData;
  }
  if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(intptr_t) <= w->extra.size()) {
    intptr_t v;
    std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
    return v;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

intptr_t SetWindowLongPtr(HWND hWnd, int nIndex, intptr_t dwNewLong) {
  std::lock_guard lock(WindowMutex());
  SetLastError(ERROR_SUCCESS);  // a previous value of 0 is told from failure by this
  Window* w = Require(hWnd);
  if (!w) return 0;
  intptr_t old;
  switch (nIndex) {
    case GWL_WNDPROC:
      old = reinterpret_cast<intptr_t>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
      return old;
    case GWL_HINSTANCE:
      old = reinterpret_cast<intptr_t>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(dwNewLong);
      return old;
    case GWL_ID:
      old = w->id;
      w->id = dwNewLong;
      return old;
    case GWL_STYLE:
      old = static_cast<LONG>(w->style);
      w->style = static_cast<DWORD>(dwNewLong);
      if ((w->style & WS_SYSMENU) && !w->systemMenu)
        w->systemMenu = platform::detail::MakeSystemMenu();
      return old;
    case GWL_EXSTYLE:
      old = static_cast<LONG>(w->exStyle);
      w->exStyle = static_cast<DWORD>(dwNewLong);
      return old;
    case GWL_USERDATA:
      old = w->userData;
      w->userData = dwNewLong;
      return old;
  }
  if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(intptr_t) <= w->extra.size()) {
    std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
    std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return old;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

// The 32-bit forms: the same values cut to 32 bits, and extra bytes read as
// 32-bit words.
LONG GetWindowLong(HWND hWnd, int nIndex) {
  if (nIndex >= 0) {
    std::lock_guard lock(WindowMutex());
    Window* w = Require(hWnd);
    if (!w) return 0;
    if (static_cast<size_t>(nIndex) + sizeof(LONG) > w->extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG v;
    std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
    return v;
  }
  return static_cast<LONG>(GetWindowLongPtr(hWnd, nIndex));
}

LONG SetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong) {
  if (nIndex >= 0) {
    std::lock_guard lock(WindowMutex());
    SetLastError(ERROR_SUCCESS);
    Window* w = Require(hWnd);
    if (!w) return 0;
    if (static_cast<size_t>(nIndex) + sizeof(LONG) > w->extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG old;
    std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
    std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return old;
  }
  intptr_t value = dwNewLong;
  if (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE) value = static_cast<DWORD>(dwNewLong);
  return static_cast<LONG>(SetWindowLongPtr(hWnd, nIndex, value));
}

// Titles go through messages, so a window procedure may keep its own text.
int GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (!lpString || nMaxCount <= 0) return 0;
  lpString[0] = '\0';
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(SendMessage(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                      reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLength(HWND hWnd) {
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(SendMessage(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowText(HWND hWnd, LPCSTR lpString) {
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessage(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

int GetDlgCtrlID(HWND hWnd) { return static_cast<int>(GetWindowLongPtr(hWnd, GWL_ID)); }

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hDlg);
  if (!w) return nullptr;
  for (HWND c : w->children) {
    Window* cw = FindWindowLocked(c);
    if (cw && cw->id == nIDDlgItem) return c;
  }
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return nullptr;
}

HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  if (!w || bRevert || !(w->style & WS_SYSMENU) || !w->systemMenu) return nullptr;
  return reinterpret_cast<HMENU>(w->systemMenu.get());
}

namespace {

// With the lock held: the menu behind a handle (menus are only system menus).
platform::detail::Menu* FindMenuLocked(HMENU h) {
  if (!h) return nullptr;
  for (auto& [id, w] : platform::detail::AllWindowsLocked())
    if (reinterpret_cast<HMENU>(w->systemMenu.get()) == h) return w->systemMenu.get();
  return nullptr;
}

// With the lock held: the index of an item by position or command, or -1.
int ItemIndex(const platform::detail::Menu& m, UINT item, UINT flags) {
  if (flags & MF_BYPOSITION) return item < m.items.size() ? static_cast<int>(item) : -1;
  for (size_t i = 0; i < m.items.size(); ++i)
    if (!(m.items[i].flags & MF_SEPARATOR) && m.items[i].id == item) return static_cast<int>(i);
  return -1;
}

}  // namespace

namespace platform::detail {

std::unique_ptr<Menu> MakeSystemMenu() {
  auto m = std::make_unique<Menu>();
  m->items = {{MF_STRING, SC_RESTORE, "&Restore"},
              {MF_STRING, SC_MOVE, "&Move"},
              {MF_STRING, SC_SIZE, "&Size"},
              {MF_STRING, SC_MINIMIZE, "Mi&nimize"},
              {MF_STRING, SC_MAXIMIZE, "Ma&ximize"},
              {MF_SEPARATOR, 0, ""},
              {MF_STRING, SC_CLOSE, "&Close\tCtrl+F4"},
              {MF_SEPARATOR, 0, ""},
              {MF_STRING, SC_NEXTWINDOW, "Nex&t\tCtrl+F6"}};
  return m;
}

}  // namespace platform::detail

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
  std::lock_guard lock(WindowMutex());
  platform::detail::Menu* m = FindMenuLocked(hMenu);
  int i = m ? ItemIndex(*m, uPosition, uFlags) : -1;
  if (i < 0) {
    SetLastError(m ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  m->items.erase(m->items.begin() + i);
  return TRUE;
}

BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  std::lock_guard lock(WindowMutex());
  platform::detail::Menu* m = FindMenuLocked(hMenu);
  if (!m) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  bool separator = uFlags & MF_SEPARATOR;
  m->items.push_back({separator ? MF_SEPARATOR : uFlags, separator ? 0 : uIDNewItem,
                      separator || !lpNewItem ? "" : lpNewItem});
  return TRUE;
}

int GetMenuItemCount(HMENU hMenu) {
  std::lock_guard lock(WindowMutex());
  platform::detail::Menu* m = FindMenuLocked(hMenu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
  std::lock_guard lock(WindowMutex());
  platform::detail::Menu* m = FindMenuLocked(hMenu);
  if (!m || nPos < 0 || static_cast<size_t>(nPos) >= m->items.size()) return static_cast<UINT>(-1);
  return static_cast<UINT>(m->items[static_cast<size_t>(nPos)].id);
}

int GetMenuString(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
  std::lock_guard lock(WindowMutex());
  platform::detail::Menu* m = FindMenuLocked(hMenu);
  int i = m ? ItemIndex(*m, uIDItem, flags) : -1;
  if (i < 0) return 0;
  const std::string& text = m->items[static_cast<size_t>(i)].text;
  if (!lpString || cchMax <= 0) return static_cast<int>(text.size());
  size_t n = std::min(text.size(), static_cast<size_t>(cchMax - 1));
  std::memcpy(lpString, text.data(), n);
  lpString[n] = '\0';
  return static_cast<int>(n);
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  bool wasDisabled;
  {
    std::lock_guard lock(WindowMutex());
    Window* w = Require(hWnd);
    if (!w) return FALSE;
    wasDisabled = w->style & WS_DISABLED;
    if (wasDisabled == !bEnable) return wasDisabled;
    if (bEnable)
      w->style &= ~WS_DISABLED;
    else
      w->style |= WS_DISABLED;
  }
  if (!bEnable && GetFocus() == hWnd) SetFocus(nullptr);
  SendMessage(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd) {
  std::lock_guard lock(WindowMutex());
  Window* w = Require(hWnd);
  return w && !(w->style & WS_DISABLED);
}

HWND SetFocus(HWND hWnd) {
  HWND old;
  {
    std::lock_guard lock(WindowMutex());
    if (hWnd && !Require(hWnd)) return nullptr;
    auto& tree = platform::detail::TreeLocked();
    old = tree.focus;
    if (old == hWnd) return old;
    tree.focus = hWnd;
  }
  if (old && IsWindow(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
  if (hWnd) SendMessage(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() {
  std::lock_guard lock(WindowMutex());
  return platform::detail::TreeLocked().focus;
}

HWND SetActiveWindow(HWND hWnd) {
  HWND old;
  {
    std::lock_guard lock(WindowMutex());
    if (hWnd && !Require(hWnd)) return nullptr;
    auto& tree = platform::detail::TreeLocked();
    old = tree.active;
    if (old == hWnd) return old;
    tree.active = hWnd;
  }
  if (old && IsWindow(old))
    SendMessage(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hWnd));
  if (hWnd) SendMessage(hWnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
  return old;
}

HWND GetActiveWindow() {
  std::lock_guard lock(WindowMutex());
  return platform::detail::TreeLocked().active;
}

namespace platform {
int LiveWindows() {
  std::lock_guard lock(detail::WindowMutex());
  return static_cast<int>(detail::AllWindowsLocked().size());
}
}  // namespace platform
