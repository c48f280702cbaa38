// Creates the main window and the drawing view.
#include "host_window.h"

namespace host {

const char kViewClass[] = "ViewDrawClass";

namespace {

const char kMainClass[] = "StructHostMain";

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProc(hwnd, msg, wp, lp);
}

bool EnsureClass(const char* name, WNDPROC proc, HBRUSH background) {
  WNDCLASS existing{};
  if (GetClassInfo(nullptr, name, &existing)) return true;
  WNDCLASS wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClass(&wc) != 0;
}

}  // namespace

bool HostWindows::Create(int viewWidth, int viewHeight, std::string& error) {
  if (!EnsureClass(kMainClass, MainProc, GetStockObject(LTGRAY_BRUSH)) ||
      !EnsureClass(kViewClass, ViewProc, GetStockObject(WHITE_BRUSH))) {
    error = "cannot register the host's window classes";
    return false;
  }
  main_ = CreateWindowEx(0, kMainClass, "structhost", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                         viewWidth, viewHeight, nullptr, nullptr, nullptr, nullptr);
  if (main_) {
    view_ = CreateWindowEx(0, kViewClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                           viewWidth, viewHeight, main_, nullptr, nullptr, nullptr);
  }
  if (!main_ || !view_) {
    error = "cannot create the host's windows";
    Destroy();
    return false;
  }
  // Hidden windows paint nothing, and neither would the plug-in's windows in
  // the view: a user sees both from the start.
  ShowWindow(main_, SW_SHOW);
  ShowWindow(view_, SW_SHOW);
  return true;
}

void HostWindows::Destroy() {
  if (main_ && IsWindow(main_)) DestroyWindow(main_);
  main_ = nullptr;
  view_ = nullptr;
}

}  // namespace host
