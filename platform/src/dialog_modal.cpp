// Modal dialogs: the dialog window class with its default behaviour, making
// a dialog from a module's template, and the modal loop that takes the user's
// actions from the interaction driver until the dialog ends. With nothing
// queued the dialog is sent IDCANCEL and, when it does not end on that, ended
// with IDCANCEL, so a script never hangs in a dialog.
#include <map>
#include <mutex>

#include "dialog_internal.h"
#include "internal.h"
#include "window_internal.h"

namespace {

using platform::detail::DialogState;

std::recursive_mutex& Mutex() {
  static auto* m = new std::recursive_mutex;
  return *m;
}
std::map<HWND, DialogState>& Dialogs() {
  static auto* m = new std::map<HWND, DialogState>;
  return *m;
}

// The dialog being made: its state is filed at WM_NCCREATE, before the
// window handle is known to the caller.
thread_local const DialogState* t_creating = nullptr;

HFONT DialogFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

LRESULT CALLBACK DialogWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    if (t_creating) {
      std::lock_guard lock(Mutex());
      Dialogs()[h] = *t_creating;
    }
    return DefWindowProc(h, msg, wParam, lParam);
  }
  if (msg == WM_NCDESTROY) {
    platform::detail::CallDialogProc(h, msg, wParam, lParam);
    std::lock_guard lock(Mutex());
    Dialogs().erase(h);
    return 0;
  }
  if (msg == WM_PAINT) {
    // The dialog and its controls first; the procedure may draw over them.
    platform::detail::PaintDialog(h);
    platform::detail::CallDialogProc(h, msg, wParam, lParam);
    return 0;
  }
  INT_PTR handled = platform::detail::CallDialogProc(h, msg, wParam, lParam);
  bool ctlColor = msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
  if (handled) return ctlColor || msg == WM_INITDIALOG ? handled : TRUE;
  switch (msg) {
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(DialogFont());
    case WM_CLOSE:
      // Closing a dialog is cancelling it; the procedure decides what follows.
      PostMessage(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                  reinterpret_cast<LPARAM>(GetDlgItem(h, IDCANCEL)));
      return 0;
    case DM_GETDEFID:
      for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (platform::detail::KindOf(c) == platform::detail::ControlKind::Button &&
            (static_cast<DWORD>(GetWindowLong(c, GWL_STYLE)) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
          return MAKELONG(GetDlgCtrlID(c), DC_HASDEFID);
      return 0;
    case WM_NEXTDLGCTL: {
      HWND target = lParam ? reinterpret_cast<HWND>(wParam)
                           : GetNextDlgTabItem(h, GetFocus(), wParam ? TRUE : FALSE);
      if (target) SetFocus(target);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

// Makes the dialog window with its controls, hidden, and initialises it.
HWND CreateFromTemplate(const DLGTEMPLATEDEF& t, HWND parent, DLGPROC proc, LPARAM param) {
  DialogState state;
  state.templateId = t.id;
  state.proc = proc;
  state.param = param;
  state.font = DialogFont();
  // Centred on the screen, as a dialog without a position is.
  int x = (platform::detail::kScreenWidth - t.size.cx) / 2;
  int y = (platform::detail::kScreenHeight - t.size.cy) / 2;
  t_creating = &state;
  HWND owner = parent;
  while (owner && (GetWindowLong(owner, GWL_STYLE) & WS_CHILD)) owner = GetParent(owner);
  HWND dlg = CreateWindowEx(0, platform::detail::kDialogClass, t.caption,
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y, t.size.cx, t.size.cy, owner,
                            nullptr, nullptr, nullptr);
  t_creating = nullptr;
  if (!dlg) return nullptr;
  for (int i = 0; i < t.nItems; ++i) {
    const DLGITEMDEF& d = t.items[i];
    HWND c = CreateWindowEx(0, d.cls, d.text ? d.text : "", d.style | WS_CHILD, d.rc.left, d.rc.top,
                            d.rc.right - d.rc.left, d.rc.bottom - d.rc.top, dlg,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(d.id)), nullptr, nullptr);
    if (c) SendMessage(c, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
  }
  HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
  if (SendMessage(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && first &&
      IsWindow(first))
    SetFocus(first);
  return IsWindow(dlg) ? dlg : nullptr;
}

bool Ended(HWND dlg, INT_PTR& result) {
  std::lock_guard lock(Mutex());
  DialogState* s = platform::detail::FindDialogLocked(dlg);
  if (!s) return true;
  result = s->result;
  return s->ended;
}

}  // namespace

namespace platform::detail {

void RegisterDialogClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS wc = {};
    wc.lpfnWndProc = DialogWndProc;
    wc.hbrBackground = GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = kDialogClass;
    RegisterClass(&wc);
  });
}

DialogState* FindDialogLocked(HWND h) {
  std::lock_guard lock(Mutex());
  auto it = Dialogs().find(h);
  return it == Dialogs().end() ? nullptr : &it->second;
}

INT_PTR CallDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  DLGPROC proc;
  {
    std::lock_guard lock(Mutex());
    DialogState* s = FindDialogLocked(dlg);
    if (!s || !s->proc) return FALSE;
    proc = s->proc;
  }
  return proc(dlg, msg, wParam, lParam);
}

LPARAM DialogCreateParam(HWND dlg) {
  std::lock_guard lock(Mutex());
  if (DialogState* s = FindDialogLocked(dlg)) return s->param;
  return t_creating ? t_creating->param : 0;
}

void PumpMessages() {
  // Bounded, so a window that keeps invalidating itself cannot hold the loop.
  MSG m;
  for (int i = 0; i < 10000 && PeekMessage(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));  // for the owner's loop
      break;
    }
    DispatchMessage(&m);
  }
}

}  // namespace platform::detail

namespace {
[[maybe_unused]] const bool kRegistered = (platform::detail::RegisterDialogClass(), true);
}  // namespace

const DLGTEMPLATEDEF* FindDialogTemplate(HINSTANCE hInstance, int id) {
  return platform::detail::ModuleDialog(hInstance, id);
}

INT_PTR DialogBoxParam(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                       DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  int id = static_cast<int>(reinterpret_cast<uintptr_t>(lpTemplateName));
  const DLGTEMPLATEDEF* t = nullptr;
  if (IS_INTRESOURCE(lpTemplateName)) {
    t = FindDialogTemplate(AfxGetResourceHandle(), id);
    if (!t) t = FindDialogTemplate(hInstance, id);
  }
  if (!t) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return -1;
  }
  HWND dlg = CreateFromTemplate(*t, hWndParent, lpDialogFunc, dwInitParam);
  if (!dlg) return -1;
  // The owner takes no input while its dialog runs.
  HWND owner = GetWindow(dlg, GW_OWNER);
  bool reenable = owner && IsWindowEnabled(owner);
  INT_PTR result = IDCANCEL;
  if (!Ended(dlg, result)) {  // EndDialog may come from WM_INITDIALOG
    if (reenable) EnableWindow(owner, FALSE);
    ShowWindow(dlg, SW_SHOW);
    for (;;) {
      platform::detail::PumpMessages();
      if (Ended(dlg, result)) break;
      std::string action;
      if (!platform::NextAction(action)) {
        SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                    reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
        platform::detail::PumpMessages();
        if (!Ended(dlg, result)) EndDialog(dlg, IDCANCEL);
        Ended(dlg, result);
        break;
      }
      if (!platform::detail::ApplyDialogAction(dlg, action))
        platform::GetConsole().ignoredAnswer(action);
    }
    if (reenable && IsWindow(owner)) EnableWindow(owner, TRUE);
  }
  if (IsWindow(dlg)) DestroyWindow(dlg);
  return result;
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
  {
    std::lock_guard lock(Mutex());
    DialogState* s = platform::detail::FindDialogLocked(hDlg);
    if (!s) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    s->ended = true;
    s->result = nResult;
  }
  ShowWindow(hDlg, SW_HIDE);
  return TRUE;
}
