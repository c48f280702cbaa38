// The drawing view as a user sees it, and a user's hands on its windows.
//
// SaveView file$
//   Dispatches what is queued and paints what is invalid, then writes the
//   view's client area with its visible child windows (frames and captions
//   included) composited in Z order, as PNG. Only .png is written: the
//   platform pictures windows in no other format.
//
// ViewWindows$()
//   One line per child window of the view, in creation order, joined by LF:
//   `x y width height state "title"`, the window rectangle in the view's
//   client coordinates; state is shown, hidden, minimised or maximised. A
//   minimised window gives the rectangle it restores to. CR and LF in a
//   title show as blanks, so every window stays one line.
//
// UserKey w, key$ / UserDoubleClick w / UserClose w / UserMaximize w /
// UserSysCommand w, id
//   Post what the user's action makes the system post (the key-down and its
//   character; the button sequence of a double click at the client centre;
//   the system command of the close box, the maximise box or a system-menu
//   item), then run the thread's queue empty as the message loop would, so
//   the statement ends with the action handled.
//
// A value without a live window ("the window is gone"), an argument of the
// wrong kind, an unknown key or id, or a file that cannot be written is the
// host's own error.
#include <platform/env.h>
#include <platform/gdi_export.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "builtins.h"
#include "failure.h"
#include "picture.h"
#include "values.h"

#ifndef MK_LBUTTON
#define MK_LBUTTON 0x0001
#endif

namespace host {
namespace {

// A window procedure that keeps posting would hold the statement forever.
constexpr int kMaxPumped = 100000;

// A key-down this host posted with its character already beside it: the
// pump must not translate it into a second character.
struct OwnKey {
  HWND hwnd;
  WPARAM vk;
};

void Pump(std::vector<OwnKey> own = {}) {
  MSG m;
  for (int n = 0; PeekMessage(&m, nullptr, 0, 0, PM_REMOVE); ++n) {
    if (m.message == WM_QUIT) return;  // the loop would end here too
    if (n == kMaxPumped) throw HostError{"the windows' messages never end"};
    auto mine = std::find_if(own.begin(), own.end(), [&m](const OwnKey& k) {
      return m.message == WM_KEYDOWN && k.hwnd == m.hwnd && k.vk == m.wParam;
    });
    if (mine != own.end())
      own.erase(mine);
    else
      TranslateMessage(&m);
    DispatchMessage(&m);
  }
}

HWND WindowArg(const BuiltinCall& c) {
  const OBJ_BASECLASS* v = c.args[0];
  const Runtime& rt = c.rt;
  if (!IsObject(v) || v->idType == rt.rangeType() || v->idType == rt.msType() ||
      v->idType == rt.chroType())
    throw HostError{c.name + ": argument 1 is not a window"};
  HWND h = WindowOfValue(v);
  if (!h || !IsWindow(h)) throw HostError{"the window is gone"};
  return h;
}

void Post(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (!PostMessage(h, msg, wp, lp)) throw HostError{"the window is gone"};
}

// The key a US keyboard types a character with (shifted or not), or 0.
WPARAM VirtualKey(char ch) {
  if (ch >= 'a' && ch <= 'z') return static_cast<WPARAM>(ch - 'a' + 'A');
  if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == ' ')
    return static_cast<WPARAM>(ch);
  static const std::string shiftedDigits = ")!@#$%^&*(";
  if (size_t i = shiftedDigits.find(ch); i != std::string::npos) return '0' + i;
  static const struct {
    const char* chars;
    WPARAM vk;
  } oem[] = {{";:", 0xBA}, {"=+", 0xBB}, {",<", 0xBC},  {"-_", 0xBD}, {".>", 0xBE}, {"/?", 0xBF},
             {"`~", 0xC0}, {"[{", 0xDB}, {"\\|", 0xDC}, {"]}", 0xDD}, {"'\"", 0xDE}};
  for (const auto& k : oem) {
    if (std::string(k.chars).find(ch) != std::string::npos) return k.vk;
  }
  return 0;
}

void UserKey(BuiltinCall& c) {
  c.Arity(2, 2);
  HWND h = WindowArg(c);
  const std::string key = c.String(1);
  WPARAM vk = 0, ch = 0;
  if (key == "^C") {
    vk = 'C';
    ch = 3;  // what Ctrl turns the C key's character into
  } else if (key.size() == 1 && (vk = VirtualKey(key[0])) != 0) {
    ch = static_cast<unsigned char>(key[0]);
  } else {
    throw HostError{c.name + ": \"" + key + "\" is not a key (one character or \"^C\")"};
  }
  constexpr LPARAM kOnePress = 1;  // repeat count 1
  Post(h, WM_KEYDOWN, vk, kOnePress);
  Post(h, WM_CHAR, ch, kOnePress);
  Pump({OwnKey{h, vk}});
}

void UserDoubleClick(BuiltinCall& c) {
  c.Arity(1, 1);
  HWND h = WindowArg(c);
  RECT r{};
  GetClientRect(h, &r);
  const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
  // A class with CS_DBLCLKS gets the second press as a double click.
  Post(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
  Post(h, WM_LBUTTONUP, 0, at);
  Post(h, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  Post(h, WM_LBUTTONUP, 0, at);
  Pump();
}

void SysCommand(BuiltinCall& c, WPARAM id) {
  Post(WindowArg(c), WM_SYSCOMMAND, id, 0);
  Pump();
}

void UserClose(BuiltinCall& c) {
  c.Arity(1, 1);
  SysCommand(c, SC_CLOSE);
}

void UserMaximize(BuiltinCall& c) {
  c.Arity(1, 1);
  SysCommand(c, SC_MAXIMIZE);
}

void UserSysCommand(BuiltinCall& c) {
  c.Arity(2, 2);
  WindowArg(c);
  const double id = c.Number(1);
  if (!(id >= 0 && id <= 65535) || id != std::floor(id))
    throw HostError{c.name + ": the command id is a whole number from 0 to 65535"};
  SysCommand(c, static_cast<WPARAM>(id));
}

HWND View(const BuiltinCall& c) {
  if (!c.rt.hwndView || !IsWindow(c.rt.hwndView)) throw HostError{"there is no drawing view"};
  return c.rt.hwndView;
}

void SaveView(BuiltinCall& c) {
  c.Arity(1, 1);
  const std::string path = c.String(0);
  if (FileExtension(path) != "png") throw HostError{c.name + " writes .png, not " + path};
  HWND view = View(c);
  Pump();
  UpdateWindow(view);  // the view and every child with something to paint
  const std::string hostPath = platform::ToHostPath(path);
  if (hostPath.empty() || !platform::SaveWindowPNG(view, hostPath))
    throw HostError{"cannot write " + path};
}

std::string Title(HWND h) {
  std::string title(static_cast<size_t>(std::max(GetWindowTextLength(h), 0)) + 1, '\0');
  title.resize(static_cast<size_t>(
      std::max(GetWindowText(h, title.data(), static_cast<int>(title.size())), 0)));
  std::replace(title.begin(), title.end(), '\r', ' ');
  std::replace(title.begin(), title.end(), '\n', ' ');
  return title;
}

std::string WindowLine(HWND view, HWND h) {
  const bool visible = (GetWindowLong(h, GWL_STYLE) & WS_VISIBLE) != 0;
  const char* state = !visible      ? "hidden"
                      : IsIconic(h) ? "minimised"
                      : IsZoomed(h) ? "maximised"
                                    : "shown";
  RECT r{};
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (IsIconic(h) && GetWindowPlacement(h, &placement)) {
    r = placement.rcNormalPosition;  // a child's is in its parent's client coordinates
  } else {
    GetWindowRect(h, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ScreenToClient(view, &corners[0]);
    ScreenToClient(view, &corners[1]);
    r = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  }
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + " " + state +
         " \"" + Title(h) + "\"";
}

void ViewWindows(BuiltinCall& c) {
  c.Arity(0, 0);
  HWND view = View(c);
  std::vector<HWND> children;
  for (HWND h = GetWindow(view, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
  // Siblings come in Z order, which activation changes; the platform hands
  // out window handles in increasing order, so the handles give creation order.
  std::sort(children.begin(), children.end(), [](HWND a, HWND b) {
    return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b);
  });
  std::string text;
  for (HWND h : children) text += (text.empty() ? "" : "\n") + WindowLine(view, h);
  c.result = NewString(text);
}

}  // namespace

void AddViewBuiltins(BuiltinTable& t) {
  t.Add(BuiltinKind::Command, "SaveView", SaveView);
  t.Add(BuiltinKind::Function, "ViewWindows$", ViewWindows);
  t.Add(BuiltinKind::Command, "UserKey", UserKey);
  t.Add(BuiltinKind::Command, "UserDoubleClick", UserDoubleClick);
  t.Add(BuiltinKind::Command, "UserClose", UserClose);
  t.Add(BuiltinKind::Command, "UserMaximize", UserMaximize);
  t.Add(BuiltinKind::Command, "UserSysCommand", UserSysCommand);
}

}  // namespace host
