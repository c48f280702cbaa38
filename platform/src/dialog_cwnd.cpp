// The framework's window objects: CWnd around a handle (objects handed out
// by FromHandle live until their window is gone), CDialog running a template
// modally with its messages sent to virtual handlers, and data exchange.
#include <map>
#include <memory>
#include <mutex>

#include "dialog_internal.h"

namespace {

struct Objects {
  std::recursive_mutex mutex;      // FromHandle drops objects, whose destructors look here too
  std::map<HWND, CWnd*> attached;  // dialogs running now, CreateEx windows
  std::map<HWND, std::unique_ptr<CWnd>> temporary;  // made by FromHandle
};

Objects& Table() {
  static auto* t = new Objects;
  return *t;
}

// The object whose CreateEx is running on this thread: its window's first
// message attaches it, so WindowProc sees WM_NCCREATE and WM_CREATE.
thread_local CWnd* t_creating = nullptr;

CWnd* AttachedTo(HWND h) {
  std::lock_guard lock(Table().mutex);
  auto it = Table().attached.find(h);
  return it == Table().attached.end() ? nullptr : it->second;
}

void Attach(CWnd* wnd, HWND h) {
  wnd->m_hWnd = h;
  std::lock_guard lock(Table().mutex);
  Table().attached[h] = wnd;
}

}  // namespace

CWnd::~CWnd() {
  std::lock_guard lock(Table().mutex);
  for (auto it = Table().attached.begin(); it != Table().attached.end();)
    it = it->second == this ? Table().attached.erase(it) : std::next(it);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
  CWnd* outer = t_creating;  // a window made while another is being created
  t_creating = this;
  HWND h = ::CreateWindowEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth,
                            nHeight, hWndParent, nIDorHMenu, AfxGetInstanceHandle(), lpParam);
  // A class with a procedure of its own never took the hook: the object is
  // attached now, so FromHandle finds it, though its messages do not reach it.
  if (t_creating == this && h) Attach(this, h);
  t_creating = outer;
  if (!h) m_hWnd = nullptr;
  return h ? TRUE : FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  if (!m_pCurrentMsg) return 0;
  const MSG& m = *m_pCurrentMsg;
  return ::DefWindowProc(m.hwnd, m.message, m.wParam, m.lParam);
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = AttachedTo(hWnd);
  if (!wnd && t_creating) {
    wnd = t_creating;
    t_creating = nullptr;
    Attach(wnd, hWnd);
  }
  if (!wnd) return ::DefWindowProc(hWnd, message, wParam, lParam);
  MSG current = {};
  current.hwnd = hWnd;
  current.message = message;
  current.wParam = wParam;
  current.lParam = lParam;
  const MSG* outer = wnd->m_pCurrentMsg;  // messages sent from a handler nest
  wnd->m_pCurrentMsg = &current;
  LRESULT r = wnd->WindowProc(message, wParam, lParam);
  wnd->m_pCurrentMsg = outer;
  if (message == WM_NCDESTROY) {
    {
      std::lock_guard lock(Table().mutex);
      Table().attached.erase(hWnd);
    }
    wnd->m_hWnd = nullptr;
    wnd->PostNcDestroy();  // may delete the object: it is not touched after
  }
  return r;
}

CWnd* CWnd::FromHandle(HWND h) {
  if (!h) return nullptr;
  Objects& t = Table();
  std::lock_guard lock(t.mutex);
  if (auto it = t.attached.find(h); it != t.attached.end()) return it->second;
  // Handles are never reused, so objects of windows that are gone are only
  // dropped here, when the table is next looked at.
  for (auto it = t.temporary.begin(); it != t.temporary.end();)
    it = IsWindow(it->first) ? std::next(it) : t.temporary.erase(it);
  std::unique_ptr<CWnd>& obj = t.temporary[h];
  if (!obj) {
    obj = std::make_unique<CWnd>();
    obj->m_hWnd = h;
  }
  return obj.get();
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

void CWnd::GetWindowText(CString& s) const {
  int n = ::GetWindowTextLength(m_hWnd);
  s.ReleaseBuffer(::GetWindowText(m_hWnd, s.GetBuffer(n + 1), n + 1));
}

void CWnd::ScreenToClient(LPRECT r) const {
  POINT a = {r->left, r->top}, b = {r->right, r->bottom};
  ::ScreenToClient(m_hWnd, &a);
  ::ScreenToClient(m_hWnd, &b);
  *r = {a.x, a.y, b.x, b.y};
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

// ---------------------------------------------------------------- CDialog

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
  std::lock_guard lock(Table().mutex);
  for (auto it = Table().attached.begin(); it != Table().attached.end();)
    it = it->second == this ? Table().attached.erase(it) : std::next(it);
}

INT_PTR CDialog::DoModal() {
  HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  INT_PTR r = DialogBoxParam(AfxGetInstanceHandle(), MAKEINTRESOURCE(m_lpszTemplateName), parent,
                             DialogProc, reinterpret_cast<LPARAM>(this));
  m_hWnd = nullptr;
  return r;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CDialog*>(platform::detail::DialogCreateParam(h));
  if (!self) return FALSE;
  if (!self->m_hWnd) {
    self->m_hWnd = h;
    std::lock_guard lock(Table().mutex);
    Table().attached[h] = self;
  }
  if (msg == WM_NCDESTROY) {
    std::lock_guard lock(Table().mutex);
    Table().attached.erase(h);
    return FALSE;
  }
  return self->WindowProc(msg, wParam, lParam);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_PAINT:
      OnPaint();
      return TRUE;
    case WM_MEASUREITEM:
      OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      return TRUE;
    case WM_DRAWITEM:
      OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      return TRUE;
  }
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    HBRUSH b = OnCtlColor(reinterpret_cast<HDC>(wParam), FromHandle(reinterpret_cast<HWND>(lParam)),
                          message - WM_CTLCOLORMSGBOX);
    return reinterpret_cast<LRESULT>(b);
  }
  return FALSE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(UINT nID, UINT nCode) {
  if (nCode != BN_CLICKED) return FALSE;
  if (nID == IDOK) {
    OnOK();
    return TRUE;
  }
  if (nID == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

void CDialog::OnPaint() {}

HBRUSH CDialog::OnCtlColor(HDC, CWnd*, UINT) { return nullptr; }

void CDialog::OnMeasureItem(int, LPMEASUREITEMSTRUCT) {}

void CDialog::OnDrawItem(int, LPDRAWITEMSTRUCT) {}

void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

void CDialog::NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }

// ---------------------------------------------------------------- data exchange

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  rControl.m_hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND c = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
  if (pDX->m_bSaveAndValidate)
    CWnd::FromHandle(c)->GetWindowText(value);
  else
    ::SetWindowText(c, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  HWND dlg = pDX->m_pDlgWnd->m_hWnd;
  if (pDX->m_bSaveAndValidate) {
    BOOL ok = FALSE;
    UINT v = GetDlgItemInt(dlg, nIDC, &ok, TRUE);
    if (ok) value = static_cast<int>(v);
  } else {
    SetDlgItemInt(dlg, nIDC, static_cast<UINT>(value), TRUE);
  }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND dlg = pDX->m_pDlgWnd->m_hWnd;
  if (pDX->m_bSaveAndValidate)
    value = static_cast<int>(IsDlgButtonChecked(dlg, nIDC));
  else
    CheckDlgButton(dlg, nIDC, static_cast<UINT>(value));
}
