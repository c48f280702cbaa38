// Painting dialogs: the background and every visible control, drawn plainly
// on the dialog's own surface in creation order (buttons as bordered boxes,
// edits as white fields, statics as text or frames, group boxes as captioned
// frames, combo boxes as a field with a drop arrow, list boxes with their
// items and the selection). Colours come from the WM_CTLCOLOR* answers of the
// dialog; owner-drawn items are drawn by the dialog through WM_DRAWITEM.
// Drawing everything on one surface lets the dialog draw over its controls
// afterwards through a context of its own, as a dialog without
// WS_CLIPCHILDREN does on Windows.
#include <algorithm>

#include "dialog_internal.h"
#include "window_internal.h"
#include "platform/gdi_export.h"

namespace {

using platform::detail::ControlInfo;
using platform::detail::ControlKind;

const COLORREF kFace = RGB(192, 192, 192);
const COLORREF kShadow = RGB(128, 128, 128);
const COLORREF kHighlight = RGB(0, 0, 128);

// A caption without its mnemonic markers ("&Add" shows as "Add").
std::string Shown(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

SIZE Extent(HDC hdc, const std::string& s) {
  SIZE size = {0, 0};
  GetTextExtentPoint32(hdc, s.c_str(), static_cast<int>(s.size()), &size);
  if (size.cy == 0) {
    TEXTMETRIC tm;
    if (GetTextMetrics(hdc, &tm)) size.cy = tm.tmHeight;
  }
  return size;
}

void Text(HDC hdc, int x, int y, const std::string& s) {
  TextOut(hdc, x, y, s.c_str(), static_cast<int>(s.size()));
}

void Fill(HDC hdc, RECT r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(hdc, &r, b);
  DeleteObject(b);
}

void Frame(HDC hdc, RECT r, COLORREF c) {
  HPEN pen = CreatePen(PS_SOLID, 1, c);
  HGDIOBJ oldPen = SelectObject(hdc, pen);
  HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
  Rectangle(hdc, r.left, r.top, r.right, r.bottom);
  SelectObject(hdc, oldBrush);
  SelectObject(hdc, oldPen);
  DeleteObject(pen);
}

void Line(HDC hdc, int x0, int y0, int x1, int y1) {
  MoveToEx(hdc, x0, y0, nullptr);
  LineTo(hdc, x1, y1);
}

// Asks the dialog for the control's colours; the brush is the dialog's (or a
// stock one) and is not deleted here.
HBRUSH CtlColor(HWND dlg, HWND ctl, HDC hdc, UINT msg, bool enabled) {
  SetTextColor(hdc, RGB(0, 0, 0));
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessage(dlg, msg, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(ctl)));
  if (!enabled) SetTextColor(hdc, kShadow);
  return brush;
}

// Static text broken into lines at spaces to fit the width.
void WrappedText(HDC hdc, const std::string& text, int width, DWORD align) {
  std::vector<std::string> lines;
  std::string line;
  size_t i = 0;
  while (i <= text.size()) {
    size_t end = text.find_first_of(" \n", i);
    if (end == std::string::npos) end = text.size();
    std::string word = text.substr(i, end - i);
    std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && Extent(hdc, candidate).cx > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
    if (end < text.size() && text[end] == '\n') {
      lines.push_back(line);
      line.clear();
    }
    i = end + 1;
  }
  lines.push_back(line);
  int y = 0;
  for (const std::string& l : lines) {
    SIZE e = Extent(hdc, l);
    int x = align == SS_CENTER ? (width - e.cx) / 2 : align == SS_RIGHT ? width - e.cx : 0;
    Text(hdc, x, y, l);
    y += e.cy;
  }
}

void PaintButton(HWND dlg, HWND c, HDC hdc, const ControlInfo& info, RECT r, bool enabled,
                 const std::string& text) {
  DWORD type = info.style & BS_TYPEMASK;
  std::string caption = Shown(text);
  SIZE e = Extent(hdc, caption);
  if (type == BS_GROUPBOX) {
    CtlColor(dlg, c, hdc, WM_CTLCOLORSTATIC, enabled);
    int mid = e.cy / 2;
    Frame(hdc, {0, mid, r.right, r.bottom}, kShadow);
    if (!caption.empty()) {
      Fill(hdc, {6, 0, 10 + e.cx, e.cy}, kFace);
      Text(hdc, 8, 0, caption);
    }
    return;
  }
  bool check = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
  bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
  if (check || radio) {
    HBRUSH b = CtlColor(dlg, c, hdc, WM_CTLCOLORSTATIC, enabled);
    if (b) FillRect(hdc, &r, b);
    int top = (r.bottom - 13) / 2;
    RECT box = {0, top, 13, top + 13};
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(WHITE_BRUSH));
    if (radio)
      Ellipse(hdc, box.left, box.top, box.right, box.bottom);
    else
      Rectangle(hdc, box.left, box.top, box.right, box.bottom);
    SelectObject(hdc, oldBrush);
    if (info.check && radio) {
      SelectObject(hdc, GetStockObject(BLACK_BRUSH));
      Ellipse(hdc, 4, top + 4, 9, top + 9);
      SelectObject(hdc, oldBrush);
    } else if (info.check) {
      Line(hdc, 3, top + 3, 10, top + 10);
      Line(hdc, 9, top + 3, 2, top + 10);
    }
    Text(hdc, 18, (r.bottom - e.cy) / 2, caption);
    return;
  }
  HBRUSH b = CtlColor(dlg, c, hdc, WM_CTLCOLORBTN, enabled);
  if (b) FillRect(hdc, &r, b);
  Frame(hdc, r, RGB(0, 0, 0));
  if (type == BS_DEFPUSHBUTTON) Frame(hdc, {1, 1, r.right - 1, r.bottom - 1}, RGB(0, 0, 0));
  Text(hdc, (r.right - e.cx) / 2, (r.bottom - e.cy) / 2, caption);
}

// The field of an edit or combo box.
void Field(HWND dlg, HWND c, HDC hdc, RECT r, bool enabled, bool readOnly) {
  UINT msg = enabled && !readOnly ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
  HBRUSH b = CtlColor(dlg, c, hdc, msg, enabled);
  if (b) FillRect(hdc, &r, b);
  Frame(hdc, r, kShadow);
}

void DrawItem(HWND dlg, HWND c, HDC hdc, const ControlInfo& info, int index, RECT rc,
              UINT extraState) {
  DRAWITEMSTRUCT dis = {};
  dis.CtlType = info.kind == ControlKind::List ? ODT_LISTBOX : ODT_COMBOBOX;
  dis.CtlID = static_cast<UINT>(GetDlgCtrlID(c));
  dis.itemID = static_cast<UINT>(index);
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = extraState | (index >= 0 && index == info.sel ? ODS_SELECTED : 0) |
                  (IsWindowEnabled(c) ? 0 : ODS_DISABLED);
  dis.hwndItem = c;
  dis.hDC = hdc;
  dis.rcItem = rc;
  if (index >= 0 && index < static_cast<int>(info.items.size()))
    dis.itemData = static_cast<uintptr_t>(info.items[static_cast<size_t>(index)].data);
  int saved = SaveDC(hdc);
  SendMessage(dlg, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  RestoreDC(hdc, saved);
}

void PaintCombo(HWND dlg, HWND c, HDC hdc, const ControlInfo& info, RECT r, bool enabled,
                const std::string& text) {
  bool ownerDraw = info.style & CBS_OWNERDRAWFIXED;
  int textHeight = Extent(hdc, "Ag").cy;
  int h = std::min<int>(r.bottom, (ownerDraw ? info.itemHeight : textHeight) + 6);
  RECT field = {0, 0, r.right, h};
  Field(dlg, c, hdc, field, enabled, false);
  RECT arrow = {std::max(0, r.right - 17), 1, r.right - 1, h - 1};
  Fill(hdc, arrow, kFace);
  Frame(hdc, {arrow.left, 0, r.right, h}, kShadow);
  POINT tri[3] = {{arrow.left + 4, h / 2 - 2},
                  {arrow.right - 4, h / 2 - 2},
                  {(arrow.left + arrow.right) / 2, h / 2 + 2}};
  HGDIOBJ old = SelectObject(hdc, GetStockObject(BLACK_BRUSH));
  Polygon(hdc, tri, 3);
  SelectObject(hdc, old);
  RECT inner = {2, 2, arrow.left - 1, h - 2};
  if (ownerDraw) {
    DrawItem(dlg, c, hdc, info, info.sel, inner, ODS_COMBOBOXEDIT);
    return;
  }
  int saved = SaveDC(hdc);
  IntersectClipRect(hdc, inner.left, inner.top, inner.right, inner.bottom);
  Text(hdc, 4, (h - textHeight) / 2, text);
  RestoreDC(hdc, saved);
}

void PaintList(HWND dlg, HWND c, HDC hdc, const ControlInfo& info, RECT r, bool enabled) {
  Field(dlg, c, hdc, r, enabled, false);
  bool ownerDraw = info.style & LBS_OWNERDRAWFIXED;
  int saved = SaveDC(hdc);
  IntersectClipRect(hdc, 1, 1, r.right - 1, r.bottom - 1);
  int itemHeight = ownerDraw ? info.itemHeight : Extent(hdc, "Ag").cy;
  for (size_t i = 0; i < info.items.size(); ++i) {
    int top = 1 + static_cast<int>(i) * itemHeight;
    if (top >= r.bottom) break;
    RECT rc = {1, top, r.right - 1, top + itemHeight};
    auto index = static_cast<int>(i);
    if (ownerDraw) {
      DrawItem(dlg, c, hdc, info, index, rc, 0);
      continue;
    }
    COLORREF old = GetTextColor(hdc);
    if (index == info.sel) {
      Fill(hdc, rc, kHighlight);
      SetTextColor(hdc, RGB(255, 255, 255));
    }
    Text(hdc, 3, top, info.items[i].text);
    SetTextColor(hdc, old);
  }
  RestoreDC(hdc, saved);
}

void PaintStatic(HWND dlg, HWND c, HDC hdc, const ControlInfo& info, RECT r, bool enabled,
                 const std::string& text) {
  DWORD type = info.style & SS_TYPEMASK;
  switch (type) {
    case SS_BLACKRECT:
      Fill(hdc, r, RGB(0, 0, 0));
      return;
    case SS_GRAYRECT:
      Fill(hdc, r, kShadow);
      return;
    case SS_BLACKFRAME:
      Frame(hdc, r, RGB(0, 0, 0));
      return;
    case SS_GRAYFRAME:
      Frame(hdc, r, kShadow);
      return;
  }
  HBRUSH b = CtlColor(dlg, c, hdc, WM_CTLCOLORSTATIC, enabled);
  if (b) FillRect(hdc, &r, b);
  WrappedText(hdc, Shown(text), r.right, type);
}

void PaintControl(HWND dlg, HWND c, const RECT& at) {
  ControlInfo info;
  if (!platform::detail::GetControlInfo(c, info)) return;
  std::string text(static_cast<size_t>(GetWindowTextLength(c)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowText(c, text.data(), static_cast<int>(text.size()))));
  HDC hdc = GetDC(dlg);
  if (!hdc) return;
  SetViewportOrgEx(hdc, at.left, at.top, nullptr);
  RECT r = {0, 0, at.right - at.left, at.bottom - at.top};
  IntersectClipRect(hdc, 0, 0, r.right, r.bottom);
  HFONT font = info.font ? info.font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SelectObject(hdc, font);
  SetBkMode(hdc, TRANSPARENT);
  bool enabled = IsWindowEnabled(c);
  switch (info.kind) {
    case ControlKind::Button:
      PaintButton(dlg, c, hdc, info, r, enabled, text);
      break;
    case ControlKind::Edit: {
      Field(dlg, c, hdc, r, enabled, info.style & ES_READONLY);
      int saved = SaveDC(hdc);
      IntersectClipRect(hdc, 2, 1, r.right - 2, r.bottom - 1);
      Text(hdc, 3, (r.bottom - Extent(hdc, "Ag").cy) / 2, text);
      RestoreDC(hdc, saved);
      break;
    }
    case ControlKind::Static:
      PaintStatic(dlg, c, hdc, info, r, enabled, text);
      break;
    case ControlKind::Combo:
      PaintCombo(dlg, c, hdc, info, r, enabled, text);
      break;
    case ControlKind::List:
      PaintList(dlg, c, hdc, info, r, enabled);
      break;
    case ControlKind::Other:
      break;
  }
  ReleaseDC(dlg, hdc);
}

}  // namespace

namespace platform::detail {

void PaintDialog(HWND dlg) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(dlg, &ps);
  if (!hdc) return;
  RECT all;
  GetClientRect(dlg, &all);
  auto brush = reinterpret_cast<HBRUSH>(SendMessage(
      dlg, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(dlg)));
  FillRect(hdc, &all, brush ? brush : GetStockObject(LTGRAY_BRUSH));
  EndPaint(dlg, &ps);
  std::vector<HWND> order;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    order.insert(order.begin(), c);  // bottom of the Z order first
  for (HWND c : order) {
    if (!(GetWindowLong(c, GWL_STYLE) & WS_VISIBLE)) continue;
    RECT screen;
    GetWindowRect(c, &screen);
    POINT tl = {screen.left, screen.top};
    ScreenToClient(dlg, &tl);
    PaintControl(
        dlg, c, {tl.x, tl.y, tl.x + screen.right - screen.left, tl.y + screen.bottom - screen.top});
    ValidateRect(c, nullptr);
  }
}

}  // namespace platform::detail

namespace platform {

// Pending paints and posted messages go first, so the picture holds what the
// dialog draws over its controls after painting.
bool SaveDialogPNG(HWND dlg, const std::string& path) {
  if (!IsWindow(dlg)) return false;
  detail::PumpMessages();
  HDC hdc = GetDC(dlg);
  if (!hdc) return false;
  bool ok = SaveRasterPNG(hdc, path);
  ReleaseDC(dlg, hdc);
  return ok;
}

}  // namespace platform

// ---------------------------------------------------------------- system values

int GetSystemMetrics(int nIndex) {
  switch (nIndex) {
    case SM_CXSCREEN:
      return 1280;
    case SM_CYSCREEN:
      return 1024;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return platform::detail::kFrameWidth;
    case SM_CYCAPTION:
      return platform::detail::kCaptionHeight;
  }
  return 0;
}

DWORD GetSysColor(int nIndex) {
  switch (nIndex) {
    case COLOR_WINDOW:
    case COLOR_HIGHLIGHTTEXT:
      return RGB(255, 255, 255);
    case COLOR_HIGHLIGHT:
      return kHighlight;
    case COLOR_BTNFACE:
      return kFace;
  }
  return RGB(0, 0, 0);
}

// The dialog font's average character width and height.
LONG GetDialogBaseUnits() {
  HDC hdc = GetDC(nullptr);
  TEXTMETRIC tm = {};
  HGDIOBJ old = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
  GetTextMetrics(hdc, &tm);
  SelectObject(hdc, old);
  ReleaseDC(nullptr, hdc);
  return MAKELONG(tm.tmAveCharWidth, tm.tmHeight);
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc) {
  if (!lprc) return FALSE;
  HPEN pen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  HGDIOBJ oldPen = SelectObject(hDC, pen);
  HGDIOBJ oldBrush = SelectObject(hDC, GetStockObject(NULL_BRUSH));
  BOOL ok = Rectangle(hDC, lprc->left, lprc->top, lprc->right, lprc->bottom);
  SelectObject(hDC, oldBrush);
  SelectObject(hDC, oldPen);
  DeleteObject(pen);
  return ok;
}
