// The window system's shared state: classes, the window records, the tree with
// its Z order, and the per-thread message queues. One lock guards it all; it
// is never held while a window procedure runs, so procedures may call back.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::detail {

struct WindowClass {
  std::string name;
  std::string menuName;
  WNDCLASS wc;  // lpszClassName and lpszMenuName point into the strings above
  ATOM atom;
  int windows = 0;
};

struct PostedMessage {
  unsigned long seq;  // tells a message from an identical one posted later
  MSG msg;
};

struct MessageQueue {
  std::mutex mutex;
  std::condition_variable posted;
  std::deque<PostedMessage> messages;
  unsigned long nextSeq = 0;
  bool quit = false;
  int quitCode = 0;
};

// A window's system menu: items by position. Its address is the menu handle.
struct MenuItem {
  UINT flags;  // MF_STRING or MF_SEPARATOR
  UINT_PTR id;
  std::string text;
};
struct Menu {
  std::vector<MenuItem> items;
};
// The standard child-window system menu.
std::unique_ptr<Menu> MakeSystemMenu();

struct Window {
  HWND hwnd;
  WindowClass* cls;
  WNDPROC proc;
  DWORD style;
  DWORD exStyle;
  intptr_t id;
  intptr_t userData = 0;
  HINSTANCE instance;
  HWND parent = nullptr;       // for WS_CHILD windows
  HWND owner = nullptr;        // for the others
  std::vector<HWND> children;  // topmost first
  std::string title;
  // The window rectangle, relative to the parent's client area (children)
  // or the screen. Only children with a thick frame or a caption have a
  // non-client area (see ClientInsetsLocked); for the others the client
  // area is the whole window.
  RECT rect;
  RECT restore;  // the normal placement while minimised or maximised
  bool restoreToMaximized = false;
  bool invalid = false;
  bool erase = false;
  RECT update = {};
  bool destroying = false;
  bool captionActive = false;      // as WM_NCACTIVATE last drew it
  unsigned long minimizedSeq = 0;  // order of minimising, for the caption bars' slots
  std::vector<BYTE> extra;         // cbWndExtra bytes for positive GetWindowLong indices
  std::shared_ptr<MessageQueue> queue;
  std::unique_ptr<Menu> systemMenu;
};

// Screen size, for top-level windows that are maximised or placed by default.
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
// A minimised window keeps its position and shrinks to a caption; a child
// with a non-client area goes to a slot along the bottom of its parent.
constexpr int kMinimizedWidth = 160;
constexpr int kMinimizedHeight = 24;
// The non-client area of framed children: GetSystemMetrics gives the same.
constexpr int kFrameWidth = 4;
constexpr int kCaptionHeight = 18;

// Distances of the client area from the window rectangle's edges (all zero
// for windows without a non-client area).
RECT ClientInsetsLocked(const Window* w);

std::recursive_mutex& WindowMutex();
// With the lock held: the record of a live window, or nullptr.
Window* FindWindowLocked(HWND h);
// With the lock held: the siblings' list holding h (top-level list for NULL parent).
std::vector<HWND>& SiblingsLocked(HWND parent);
std::vector<HWND>& TopLevelLocked();
// With the lock held: every live window, in creation order.
std::map<uintptr_t, std::unique_ptr<Window>>& AllWindowsLocked();

// Class lookup by name or atom, without regard to case.
WindowClass* FindClassLocked(LPCSTR nameOrAtom);

// The calling thread's queue.
std::shared_ptr<MessageQueue> CurrentQueue();
// Drops messages posted to a window that is going away.
void PurgeMessages(const std::shared_ptr<MessageQueue>& q, HWND h);

// The window's client-area origin in screen coordinates.
POINT ScreenOriginLocked(const Window* w);

// Focus and activation forget a destroyed window.
void ForgetFocus(HWND h);

// Minimises, maximises or restores a window, sending WM_MOVE and WM_SIZE;
// nothing happens when it already is in that state.
enum class ShowState { Normal, Minimized, Maximized };
void ChangeShowState(HWND h, ShowState to);

}  // namespace platform::detail
