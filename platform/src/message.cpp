// Messages: each thread's queue of posted messages, sending straight to a
// window procedure, peeking and getting with window and range filters,
// WM_PAINT for windows left invalid, key translation, dispatch, and the
// default window procedure.
#include <algorithm>
#include <cstring>

#include "internal.h"
#include "window_internal.h"

namespace {

using platform::detail::FindWindowLocked;
using platform::detail::MessageQueue;
using platform::detail::Window;
using platform::detail::WindowMutex;

bool InRange(UINT message, UINT min, UINT max) {
  return (min == 0 && max == 0) || (message >= min && message <= max);
}

// hWnd NULL takes every message of the thread, (HWND)-1 only those posted
// to no window, any other the window's and its descendants'.
bool ForWindow(HWND message, HWND filter) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(-1)) return message == nullptr;
  return message == filter || IsChild(filter, message);
}

MSG Make(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m = {};
  m.hwnd = h;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = GetTickCount();
  return m;
}

// An invalid, visible window of this thread that the filter lets through.
HWND PaintCandidate(const std::shared_ptr<MessageQueue>& q, HWND filter, UINT min, UINT max) {
  if (!InRange(WM_PAINT, min, max) || filter == reinterpret_cast<HWND>(-1)) return nullptr;
  std::vector<HWND> candidates;
  {
    std::lock_guard lock(WindowMutex());
    for (auto& [id, w] : platform::detail::AllWindowsLocked())
      if (w->invalid && w->queue == q) candidates.push_back(w->hwnd);
  }
  for (HWND h : candidates)
    if (IsWindowVisible(h) && ForWindow(h, filter)) return h;
  return nullptr;
}

}  // namespace

namespace platform::detail {

std::shared_ptr<MessageQueue> CurrentQueue() {
  thread_local std::shared_ptr<MessageQueue> q = std::make_shared<MessageQueue>();
  return q;
}

void PurgeMessages(const std::shared_ptr<MessageQueue>& q, HWND h) {
  if (!q) return;
  std::lock_guard lock(q->mutex);
  auto& m = q->messages;
  m.erase(std::remove_if(m.begin(), m.end(),
                         [h](const platform::detail::PostedMessage& p) { return p.msg.hwnd == h; }),
          m.end());
}

}  // namespace platform::detail

BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<MessageQueue> q;
  if (!hWnd) {
    q = platform::detail::CurrentQueue();
  } else {
    std::lock_guard lock(WindowMutex());
    Window* w = FindWindowLocked(hWnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    q = w->queue;
  }
  {
    std::lock_guard lock(q->mutex);
    q->messages.push_back({q->nextSeq++, Make(hWnd, Msg, wParam, lParam)});
  }
  q->posted.notify_all();
  return TRUE;
}

void PostQuitMessage(int nExitCode) {
  auto q = platform::detail::CurrentQueue();
  {
    std::lock_guard lock(q->mutex);
    q->quit = true;
    q->quitCode = nExitCode;
  }
  q->posted.notify_all();
}

// Windows of other threads are called directly too: there is one UI thread.
LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc;
  {
    std::lock_guard lock(WindowMutex());
    Window* w = FindWindowLocked(hWnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    proc = w->proc;
  }
  return proc ? proc(hWnd, Msg, wParam, lParam) : DefWindowProc(hWnd, Msg, wParam, lParam);
}

LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

// Posted messages first, then the quit request, then painting; a paint
// message is never removed: it comes until the window is validated.
BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  auto q = platform::detail::CurrentQueue();
  {
    std::unique_lock lock(q->mutex);
    std::vector<platform::detail::PostedMessage> snapshot(q->messages.begin(), q->messages.end());
    lock.unlock();  // the window filter takes the window lock
    for (const auto& p : snapshot) {
      if (!InRange(p.msg.message, wMsgFilterMin, wMsgFilterMax) || !ForWindow(p.msg.hwnd, hWnd))
        continue;
      lock.lock();
      auto it =
          std::find_if(q->messages.begin(), q->messages.end(),
                       [&](const platform::detail::PostedMessage& x) { return x.seq == p.seq; });
      if (it == q->messages.end()) {  // taken meanwhile
        lock.unlock();
        continue;
      }
      if (lpMsg) *lpMsg = it->msg;
      if (wRemoveMsg & PM_REMOVE) q->messages.erase(it);
      return TRUE;
    }
    lock.lock();
    if (q->quit && InRange(WM_QUIT, wMsgFilterMin, wMsgFilterMax)) {
      if (lpMsg) *lpMsg = Make(nullptr, WM_QUIT, static_cast<WPARAM>(q->quitCode), 0);
      if (wRemoveMsg & PM_REMOVE) q->quit = false;
      return TRUE;
    }
  }
  if (HWND h = PaintCandidate(q, hWnd, wMsgFilterMin, wMsgFilterMax)) {
    if (lpMsg) *lpMsg = Make(h, WM_PAINT, 0, 0);
    return TRUE;
  }
  return FALSE;
}

BOOL GetMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  auto q = platform::detail::CurrentQueue();
  MSG m;
  for (;;) {
    unsigned long seen;
    {
      std::lock_guard lock(q->mutex);
      seen = q->nextSeq;
    }
    if (PeekMessage(&m, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE)) break;
    std::unique_lock lock(q->mutex);
    q->posted.wait(lock, [&] { return q->nextSeq != seen || q->quit; });
  }
  if (lpMsg) *lpMsg = m;
  return m.message == WM_QUIT ? FALSE : TRUE;
}

// Without keyboard state there is no shift or control: keys give their plain
// characters, letters in lower case.
BOOL TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN)) return FALSE;
  WPARAM vk = lpMsg->wParam;
  int ch = 0;
  if (vk >= 'A' && vk <= 'Z')
    ch = static_cast<int>(vk - 'A' + 'a');
  else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE ||
           vk == VK_BACK || vk == VK_TAB)
    ch = static_cast<int>(vk);
  if (ch)
    PostMessage(lpMsg->hwnd, lpMsg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                static_cast<WPARAM>(ch), lpMsg->lParam);
  return TRUE;
}

LRESULT DispatchMessage(const MSG* lpMsg) {
  if (!lpMsg || !lpMsg->hwnd) return 0;
  LRESULT r = SendMessage(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
  // A paint handler that did not validate would be asked again forever.
  if (lpMsg->message == WM_PAINT && IsWindow(lpMsg->hwnd)) ValidateRect(lpMsg->hwnd, nullptr);
  return r;
}

LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  switch (Msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      std::lock_guard lock(WindowMutex());
      if (Window* w = FindWindowLocked(hWnd); w && cs && cs->lpszName) w->title = cs->lpszName;
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_NCACTIVATE: {
      // Only recorded: pictures of the window draw the caption from it.
      std::lock_guard lock(WindowMutex());
      if (Window* w = FindWindowLocked(hWnd)) w->captionActive = wParam != 0;
      return TRUE;
    }
    case WM_SETTEXT: {
      std::lock_guard lock(WindowMutex());
      Window* w = FindWindowLocked(hWnd);
      if (!w) return FALSE;
      w->title = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
      return TRUE;
    }
    case WM_GETTEXT: {
      std::lock_guard lock(WindowMutex());
      Window* w = FindWindowLocked(hWnd);
      char* buf = reinterpret_cast<char*>(lParam);
      if (!w || !buf || wParam == 0) return 0;
      size_t n = std::min(w->title.size(), static_cast<size_t>(wParam) - 1);
      std::memcpy(buf, w->title.data(), n);
      buf[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: {
      std::lock_guard lock(WindowMutex());
      Window* w = FindWindowLocked(hWnd);
      return w ? static_cast<LRESULT>(w->title.size()) : 0;
    }
    case WM_PAINT:
      ValidateRect(hWnd, nullptr);
      return 0;
    case WM_ERASEBKGND: {
      // The class brush fills the client area; without one nothing is erased.
      HBRUSH brush = nullptr;
      {
        std::lock_guard lock(WindowMutex());
        if (Window* w = FindWindowLocked(hWnd)) brush = w->cls->wc.hbrBackground;
      }
      RECT rc;
      if (!brush || !wParam || !GetClientRect(hWnd, &rc)) return 0;
      return FillRect(reinterpret_cast<HDC>(wParam), &rc, brush) ? 1 : 0;
    }
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          SendMessage(hWnd, WM_CLOSE, 0, 0);
          break;
        case SC_MINIMIZE:
          ShowWindow(hWnd, SW_MINIMIZE);
          break;
        case SC_MAXIMIZE:
          ShowWindow(hWnd, SW_SHOWMAXIMIZED);
          break;
        case SC_RESTORE:
          ShowWindow(hWnd, SW_RESTORE);
          break;
      }
      return 0;
    case WM_SETCURSOR: {
      // The parent decides first; otherwise the class cursor applies.
      HWND parent = nullptr;
      HCURSOR cursor = nullptr;
      {
        std::lock_guard lock(WindowMutex());
        Window* w = FindWindowLocked(hWnd);
        if (!w) return FALSE;
        if (w->style & WS_CHILD) parent = w->parent;
        cursor = w->cls->wc.hCursor;
      }
      if (parent && SendMessage(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      if (!cursor) return FALSE;
      SetCursor(cursor);
      return TRUE;
    }
    default:
      return 0;
  }
}
