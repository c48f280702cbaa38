// Window classes: registration by name (matched without regard to case) or
// atom, the framework's generated class names, and class queries.
#include <afxwin.h>
#include <strings.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "internal.h"
#include "window_internal.h"

namespace {

using platform::detail::WindowClass;

std::string Folded(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::map<std::string, std::unique_ptr<WindowClass>>& ClassesLocked() {
  static auto* m = new std::map<std::string, std::unique_ptr<WindowClass>>;
  return *m;
}

}  // namespace

namespace platform::detail {

WindowClass* FindClassLocked(LPCSTR nameOrAtom) {
  if (!nameOrAtom) return nullptr;
  auto& classes = ClassesLocked();
  if (IS_INTRESOURCE(nameOrAtom)) {
    ATOM atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(nameOrAtom));
    for (auto& [key, cls] : classes)
      if (cls->atom == atom) return cls.get();
    return nullptr;
  }
  auto it = classes.find(Folded(nameOrAtom));
  return it == classes.end() ? nullptr : it->second.get();
}

}  // namespace platform::detail

ATOM RegisterClass(const WNDCLASS* lpWndClass) {
  if (!lpWndClass || !lpWndClass->lpszClassName || IS_INTRESOURCE(lpWndClass->lpszClassName) ||
      !*lpWndClass->lpszClassName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  static ATOM nextAtom = 0xC000;
  std::lock_guard lock(platform::detail::WindowMutex());
  auto& classes = ClassesLocked();
  std::string key = Folded(lpWndClass->lpszClassName);
  if (classes.count(key)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto cls = std::make_unique<WindowClass>();
  cls->name = lpWndClass->lpszClassName;
  cls->wc = *lpWndClass;
  cls->wc.lpszClassName = cls->name.c_str();
  if (lpWndClass->lpszMenuName && !IS_INTRESOURCE(lpWndClass->lpszMenuName)) {
    cls->menuName = lpWndClass->lpszMenuName;
    cls->wc.lpszMenuName = cls->menuName.c_str();
  }
  cls->atom = nextAtom++;
  ATOM atom = cls->atom;
  classes[key] = std::move(cls);
  return atom;
}

BOOL UnregisterClass(LPCSTR lpClassName, HINSTANCE) {
  std::lock_guard lock(platform::detail::WindowMutex());
  WindowClass* cls = platform::detail::FindClassLocked(lpClassName);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (cls->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  ClassesLocked().erase(Folded(cls->name));
  return TRUE;
}

BOOL GetClassInfo(HINSTANCE, LPCSTR lpClassName, WNDCLASS* lpWndClass) {
  std::lock_guard lock(platform::detail::WindowMutex());
  WindowClass* cls = platform::detail::FindClassLocked(lpClassName);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (lpWndClass) *lpWndClass = cls->wc;
  return TRUE;
}

int GetClassName(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
  std::lock_guard lock(platform::detail::WindowMutex());
  platform::detail::Window* w = platform::detail::FindWindowLocked(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (!lpClassName || nMaxCount <= 0) return 0;
  size_t n = std::min(w->cls->name.size(), static_cast<size_t>(nMaxCount - 1));
  std::memcpy(lpClassName, w->cls->name.data(), n);
  lpClassName[n] = '\0';
  return static_cast<int>(n);
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  HINSTANCE inst = AfxGetInstanceHandle();
  char name[128];
  std::snprintf(name, sizeof name, "Afx:%llx:%x:%llx:%llx:%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(inst)), nClassStyle,
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hCursor)),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hbrBackground)),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hIcon)));
  // The same attributes give the same class, registered once.
  std::lock_guard lock(platform::detail::WindowMutex());
  if (WindowClass* cls = platform::detail::FindClassLocked(name)) return cls->name.c_str();
  WNDCLASS wc = {};
  wc.style = nClassStyle;
  wc.lpfnWndProc = AfxWndProc;
  wc.hInstance = inst;
  wc.hIcon = hIcon;
  wc.hCursor = hCursor;
  wc.hbrBackground = hbrBackground;
  wc.lpszClassName = name;
  if (!RegisterClass(&wc)) return nullptr;
  return platform::detail::FindClassLocked(name)->name.c_str();
}
