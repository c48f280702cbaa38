// A window class whose procedure records every message it gets, for tests
// that check which messages the platform sends and in what order.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

struct Recorded {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

inline std::vector<Recorded>& Log() {
  static std::vector<Recorded> log;
  return log;
}

// Lets a test answer one message itself; returning false falls through to
// DefWindowProc.
inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>& Answer() {
  static std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> f;
  return f;
}

inline LRESULT CALLBACK RecordingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Log().push_back({h, m, w, l});
  LRESULT r = 0;
  if (Answer() && Answer()(h, m, w, l, r)) return r;
  return DefWindowProc(h, m, w, l);
}

inline const char* RecordingClass() {
  static bool registered = [] {
    WNDCLASS wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = RecordingProc;
    wc.cbWndExtra = 16;
    wc.lpszClassName = "RecordingWindow";
    return RegisterClass(&wc) != 0;
  }();
  return registered ? "RecordingWindow" : nullptr;
}

// The messages of one kind a window got, in order.
inline std::vector<Recorded> Got(HWND h, UINT message) {
  std::vector<Recorded> out;
  for (const auto& r : Log())
    if (r.hwnd == h && r.message == message) out.push_back(r);
  return out;
}
