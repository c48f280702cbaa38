// Dialog boxes as the plug-in uses them: templates compiled into a module as
// data, the standard controls (buttons, edits, statics, combo and list boxes,
// owner-drawn items) with their Win32 messages and notifications, the modal
// loop driven by the user's scripted actions, and the framework's CWnd and
// CDialog with thin control wrappers and data exchange.
//
// Template rectangles and sizes are in pixels (not dialog units), relative to
// the dialog's client area. A dialog is a top-level popup without non-client
// area: its client area is the whole window, so window and client rectangles
// have the same size, and a control's screen rectangle is the dialog's screen
// origin plus the control's offset.
#pragma once

#include <afxwin.h>

// ---------------------------------------------------------------- templates
struct DLGITEMDEF {
  int id;
  LPCSTR cls;  // "BUTTON", "EDIT", "STATIC", "COMBOBOX", "LISTBOX"
  LPCSTR text;
  DWORD style;  // WS_VISIBLE is needed for the control to show, as in a resource script
  RECT rc;      // pixels in the dialog's client area
};
struct DLGTEMPLATEDEF {
  int id;
  LPCSTR caption;
  SIZE size;  // client size in pixels
  const DLGITEMDEF* items;
  int nItems;
};

#define IDC_STATIC (-1)

// ---------------------------------------------------------------- control styles
#define BS_PUSHBUTTON 0x0000u
#define BS_DEFPUSHBUTTON 0x0001u
#define BS_CHECKBOX 0x0002u
#define BS_AUTOCHECKBOX 0x0003u
#define BS_RADIOBUTTON 0x0004u
#define BS_GROUPBOX 0x0007u
#define BS_AUTORADIOBUTTON 0x0009u
#define BS_TYPEMASK 0x000Fu
#define ES_LEFT 0x0000u
#define ES_AUTOHSCROLL 0x0080u
#define ES_READONLY 0x0800u
#define SS_LEFT 0x0000u
#define SS_CENTER 0x0001u
#define SS_RIGHT 0x0002u
#define SS_BLACKRECT 0x0004u
#define SS_GRAYRECT 0x0005u
#define SS_BLACKFRAME 0x0007u
#define SS_GRAYFRAME 0x0008u
#define SS_TYPEMASK 0x001Fu
#define CBS_SIMPLE 0x0001u
#define CBS_DROPDOWN 0x0002u
#define CBS_DROPDOWNLIST 0x0003u
#define CBS_OWNERDRAWFIXED 0x0010u
#define CBS_AUTOHSCROLL 0x0040u
#define CBS_SORT 0x0100u  // accepted; items keep the order they were added in
#define CBS_HASSTRINGS 0x0200u
#define LBS_NOTIFY 0x0001u  // list boxes always notify here
#define LBS_SORT 0x0002u    // accepted; items keep the order they were added in
#define LBS_OWNERDRAWFIXED 0x0010u
#define LBS_HASSTRINGS 0x0040u
#define LBS_NOINTEGRALHEIGHT 0x0100u
#define DS_MODALFRAME 0x0080u

// ---------------------------------------------------------------- messages
#define WM_DRAWITEM 0x002B
#define WM_MEASUREITEM 0x002C
#define WM_NEXTDLGCTL 0x0028
#define WM_CTLCOLORMSGBOX 0x0132
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORLISTBOX 0x0134
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSCROLLBAR 0x0137
#define WM_CTLCOLORSTATIC 0x0138
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define BN_CLICKED 0

#define EM_SETSEL 0x00B1
#define EM_GETMODIFY 0x00B8
#define EM_SETMODIFY 0x00B9
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_GETLIMITTEXT 0x00D5
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300

#define CB_ERR (-1)
#define CB_LIMITTEXT 0x0141
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_SETCURSEL 0x014E
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_SETITEMHEIGHT 0x0153
#define CB_GETITEMHEIGHT 0x0154
#define CB_FINDSTRINGEXACT 0x0158
#define CBN_SELCHANGE 1
#define CBN_DBLCLK 2
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_EDITCHANGE 5

#define LB_ERR (-1)
#define LB_ADDSTRING 0x0180
#define LB_INSERTSTRING 0x0181
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_GETITEMDATA 0x0199
#define LB_SETITEMDATA 0x019A
#define LB_SETITEMHEIGHT 0x01A0
#define LB_GETITEMHEIGHT 0x01A1
#define LB_FINDSTRINGEXACT 0x01A2
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2
#define LBN_SETFOCUS 4
#define LBN_KILLFOCUS 5

// ---------------------------------------------------------------- owner-drawn items
#define ODT_LISTBOX 2
#define ODT_COMBOBOX 3
#define ODA_DRAWENTIRE 0x0001
#define ODA_SELECT 0x0002
#define ODA_FOCUS 0x0004
#define ODS_SELECTED 0x0001
#define ODS_DISABLED 0x0004
#define ODS_FOCUS 0x0010
#define ODS_COMBOBOXEDIT 0x1000

struct MEASUREITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemWidth;
  UINT itemHeight;
  uintptr_t itemData;
};
typedef MEASUREITEMSTRUCT* LPMEASUREITEMSTRUCT;
struct DRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;  // (UINT)-1 for an empty list or combo field
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;      // on the control: its client coordinates
  RECT rcItem;  // in the control's client coordinates
  uintptr_t itemData;
};
typedef DRAWITEMSTRUCT* LPDRAWITEMSTRUCT;

// ---------------------------------------------------------------- system values
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXFRAME 32
#define SM_CYFRAME 33
#define SM_CXSIZEFRAME SM_CXFRAME
#define SM_CYSIZEFRAME SM_CYFRAME
#define SM_CYCAPTION 4
// Sizing frames are 4 pixels, captions 18 (the non-client area of framed children).
int GetSystemMetrics(int nIndex);
#define COLOR_WINDOW 5
#define COLOR_WINDOWTEXT 8
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
DWORD GetSysColor(int nIndex);
LONG GetDialogBaseUnits();  // average character width (low word) and height (high word)
BOOL DrawFocusRect(HDC hDC, const RECT* lprc);

// ---------------------------------------------------------------- dialog functions
typedef intptr_t INT_PTR;
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

// Runs a modal dialog made from the template of the current resource module
// (AfxGetResourceHandle(), or hInstance when that has none): WM_INITDIALOG
// (lParam = dwInitParam), then the user's actions until EndDialog. -1 when
// the template is missing.
INT_PTR DialogBoxParam(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                       DLGPROC lpDialogFunc, LPARAM dwInitParam);
#define DialogBox(i, t, p, f) DialogBoxParam(i, t, p, f, 0)
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
// The template by id in a module's resources, or nullptr.
const DLGTEMPLATEDEF* FindDialogTemplate(HINSTANCE hInstance, int id);

BOOL SetDlgItemText(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
UINT GetDlgItemText(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned);
UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned);
LRESULT SendDlgItemMessage(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);
BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
// The next (or previous) enabled, visible WS_TABSTOP control after hCtl.
HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious);

// ---------------------------------------------------------------- framework classes
class CDataExchange;

// A window object around a handle. GetDlgItem and FromHandle hand out objects
// owned by the platform, kept until their window is destroyed.
//
// A window made by CreateEx is attached to its object from its first message
// on: when its class comes from AfxRegisterWndClass, every message goes to
// the object's WindowProc, and FromHandle gives the object. At WM_NCDESTROY
// the object is detached (m_hWnd becomes null) after WindowProc, then
// PostNcDestroy runs; the framework never deletes the object.
class AFX_PLATFORM_API CWnd {
 public:
  CWnd() = default;
  // Detaches the object from a window still alive (which then gets the
  // default processing only); the window is not destroyed.
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // CreateWindowEx with the current module's instance; nIDorHMenu is a
  // child's id. FALSE (and m_hWnd null) when the window was not made.
  BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x,
                int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                LPVOID lpParam = nullptr);
  // Every message of an attached window; the default is DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The default processing of the message being handled (0 outside one).
  LRESULT Default();

  static CWnd* FromHandle(HWND h);
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  CWnd* GetDlgItem(int nID) const;
  CWnd* GetParent() const;
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  void SetWindowText(LPCSTR s) { ::SetWindowText(m_hWnd, s); }
  void GetWindowText(CString& s) const;
  int GetWindowText(LPSTR buf, int n) const { return ::GetWindowText(m_hWnd, buf, n); }
  int GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  void GetWindowRect(LPRECT r) const { ::GetWindowRect(m_hWnd, r); }
  void GetClientRect(LPRECT r) const { ::GetClientRect(m_hWnd, r); }
  void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
  void ScreenToClient(LPRECT r) const;
  void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
  void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, w, h, repaint);
  }
  void MoveWindow(LPCRECT r, BOOL repaint = TRUE) {
    MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, repaint);
  }
  BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags);
  }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void InvalidateRect(LPCRECT r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  CWnd* SetFocus();
  HDC GetDC() { return ::GetDC(m_hWnd); }
  int ReleaseDC(HDC h) { return ::ReleaseDC(m_hWnd, h); }
  LRESULT SendMessage(UINT m, WPARAM w = 0, LPARAM l = 0) { return ::SendMessage(m_hWnd, m, w, l); }
  BOOL PostMessage(UINT m, WPARAM w = 0, LPARAM l = 0) { return ::PostMessage(m_hWnd, m, w, l); }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0)); }
  void SetFont(HFONT f, BOOL redraw = TRUE) {
    ::SendMessage(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(f), redraw);
  }
  BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }

  HWND m_hWnd = nullptr;

 protected:
  // After the window's last message, once the object is detached.
  virtual void PostNcDestroy() {}

 private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  // The message WindowProc is handling now, for Default.
  const MSG* m_pCurrentMsg = nullptr;
};

class CButton : public CWnd {
 public:
  int GetCheck() const { return static_cast<int>(::SendMessage(m_hWnd, BM_GETCHECK, 0, 0)); }
  void SetCheck(int c) { ::SendMessage(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(c), 0); }
};
class CStatic : public CWnd {};
class CEdit : public CWnd {
 public:
  void LimitText(int n = 0) { ::SendMessage(m_hWnd, EM_LIMITTEXT, static_cast<WPARAM>(n), 0); }
  BOOL GetModify() const { return ::SendMessage(m_hWnd, EM_GETMODIFY, 0, 0) ? TRUE : FALSE; }
  void SetModify(BOOL m = TRUE) { ::SendMessage(m_hWnd, EM_SETMODIFY, static_cast<WPARAM>(m), 0); }
  void SetSel(int start, int end) { ::SendMessage(m_hWnd, EM_SETSEL, start, end); }
};
class CComboBox : public CWnd {
 public:
  int AddString(LPCSTR s) { return Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s)); }
  int InsertString(int i, LPCSTR s) {
    return Send(CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(s));
  }
  int DeleteString(int i) { return Send(CB_DELETESTRING, i, 0); }
  void ResetContent() { Send(CB_RESETCONTENT, 0, 0); }
  int GetCount() const { return Send(CB_GETCOUNT, 0, 0); }
  int GetCurSel() const { return Send(CB_GETCURSEL, 0, 0); }
  int SetCurSel(int i) { return Send(CB_SETCURSEL, static_cast<WPARAM>(i), 0); }
  int GetLBText(int i, LPSTR buf) const {
    return Send(CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
  }
  int GetLBTextLen(int i) const { return Send(CB_GETLBTEXTLEN, i, 0); }
  void GetLBText(int i, CString& s) const {
    int n = GetLBTextLen(i);
    s.Empty();
    if (n >= 0) s.ReleaseBuffer(GetLBText(i, s.GetBuffer(n + 1)));
  }
  int FindStringExact(int start, LPCSTR s) const {
    return Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(s));
  }
  intptr_t GetItemData(int i) const { return ::SendMessage(m_hWnd, CB_GETITEMDATA, i, 0); }
  int SetItemData(int i, intptr_t d) { return Send(CB_SETITEMDATA, i, d); }
  void ShowDropDown(BOOL show = TRUE) { Send(CB_SHOWDROPDOWN, show, 0); }
  int LimitText(int n) { return Send(CB_LIMITTEXT, n, 0); }

 private:
  int Send(UINT m, WPARAM w, LPARAM l) const {
    return static_cast<int>(::SendMessage(m_hWnd, m, w, l));
  }
};
class CListBox : public CWnd {
 public:
  int AddString(LPCSTR s) { return Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s)); }
  int InsertString(int i, LPCSTR s) {
    return Send(LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(s));
  }
  int DeleteString(int i) { return Send(LB_DELETESTRING, i, 0); }
  void ResetContent() { Send(LB_RESETCONTENT, 0, 0); }
  int GetCount() const { return Send(LB_GETCOUNT, 0, 0); }
  int GetCurSel() const { return Send(LB_GETCURSEL, 0, 0); }
  int SetCurSel(int i) { return Send(LB_SETCURSEL, static_cast<WPARAM>(i), 0); }
  int GetText(int i, LPSTR buf) const { return Send(LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf)); }
  int GetTextLen(int i) const { return Send(LB_GETTEXTLEN, i, 0); }
  void GetText(int i, CString& s) const {
    int n = GetTextLen(i);
    s.Empty();
    if (n >= 0) s.ReleaseBuffer(GetText(i, s.GetBuffer(n + 1)));
  }
  intptr_t GetItemData(int i) const { return ::SendMessage(m_hWnd, LB_GETITEMDATA, i, 0); }
  int SetItemData(int i, intptr_t d) { return Send(LB_SETITEMDATA, i, d); }

 private:
  int Send(UINT m, WPARAM w, LPARAM l) const {
    return static_cast<int>(::SendMessage(m_hWnd, m, w, l));
  }
};

// Data exchange between members and controls, as far as plug-in dialogs use it.
class AFX_PLATFORM_API CDataExchange {
 public:
  CDataExchange(CWnd* dlg, BOOL save) : m_bSaveAndValidate(save), m_pDlgWnd(dlg) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
};
// Binds control (a member) to the dialog's control nIDC.
AFX_PLATFORM_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
AFX_PLATFORM_API void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
AFX_PLATFORM_API void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
AFX_PLATFORM_API void DDX_Check(CDataExchange* pDX, int nIDC, int& value);

#define CTLCOLOR_MSGBOX 0
#define CTLCOLOR_EDIT 1
#define CTLCOLOR_LISTBOX 2
#define CTLCOLOR_BTN 3
#define CTLCOLOR_DLG 4
#define CTLCOLOR_SCROLLBAR 5
#define CTLCOLOR_STATIC 6

// The framework's modal dialog. Messages reach WindowProc, whose default
// hands them to the virtual handlers below (instead of message maps); a
// handler that is not overridden gets the default dialog behaviour.
class AFX_PLATFORM_API CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Runs the dialog: IDOK, IDCANCEL or what EndDialog gave; -1 when the
  // template is missing.
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  void NextDlgCtrl() const;

  // Every message to the dialog; the default dispatches to the handlers.
  // The result is the dialog procedure's: non-zero when handled (for
  // WM_CTLCOLOR* the brush).
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The default calls UpdateData(FALSE); TRUE lets the first tab stop take the focus.
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange* pDX);
  // The default: UpdateData(TRUE), then EndDialog(IDOK) when that succeeded.
  virtual void OnOK();
  virtual void OnCancel();  // EndDialog(IDCANCEL)
  // WM_COMMAND by control id and notification code; the default sends IDOK
  // and IDCANCEL to OnOK and OnCancel. TRUE when handled.
  virtual BOOL OnCommand(UINT nID, UINT nCode);
  // Called after the dialog and its controls have painted (the window is
  // validated already), so the dialog may draw over them.
  virtual void OnPaint();
  // WM_CTLCOLOR*: a brush for the control's background (nullptr for the
  // default); the text colour may be set on pDC.
  virtual HBRUSH OnCtlColor(HDC pDC, CWnd* pWnd, UINT nCtlColor);
  virtual void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  virtual void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);

  UINT m_nIDHelp = 0;
  UINT m_lpszTemplateName;  // the template id
  CWnd* m_pParentWnd;

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
};
