// The standard controls: "BUTTON", "EDIT", "STATIC", "COMBOBOX" and "LISTBOX"
// as child windows with their messages (text, check state, modified flag and
// length limit, items with data and the selection, item height) and the
// notifications their parent gets. Controls draw nothing themselves: the
// dialog paints them (dialog_paint.cpp), so any change repaints the dialog.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>

#include "dialog_internal.h"

namespace {

using platform::detail::ControlItem;
using platform::detail::ControlKind;

struct Control {
  ControlKind kind;
  std::string cls;
  DWORD style = 0;
  int check = 0;
  bool modified = false;
  int limit = 0;
  int sel = -1;
  int itemHeight = 16;
  HFONT font = nullptr;
  std::vector<ControlItem> items;
};

std::mutex& Mutex() {
  static auto* m = new std::mutex;
  return *m;
}
std::map<HWND, Control>& Controls() {
  static auto* m = new std::map<HWND, Control>;
  return *m;
}

// Runs f on the control's state under the lock; fail when h is no control.
template <class F>
LRESULT With(HWND h, LRESULT fail, F&& f) {
  std::lock_guard lock(Mutex());
  auto it = Controls().find(h);
  return it == Controls().end() ? fail : f(it->second);
}

void RepaintParent(HWND h) {
  if (HWND parent = GetParent(h)) InvalidateRect(parent, nullptr, TRUE);
}

LPCSTR Str(LPARAM l) { return l ? reinterpret_cast<LPCSTR>(l) : ""; }

bool IsCombo(ControlKind k) { return k == ControlKind::Combo; }

// Item messages shared by list and combo boxes, by their list-box meaning.
enum class ItemOp {
  Add,
  Insert,
  Delete,
  Reset,
  Count,
  GetSel,
  SetSel,
  GetText,
  GetTextLen,
  GetData,
  SetData,
  FindExact,
  SetHeight,
  GetHeight,
  None
};

ItemOp ItemOpOf(ControlKind kind, UINT msg) {
  if (kind == ControlKind::List) {
    switch (msg) {
      case LB_ADDSTRING:
        return ItemOp::Add;
      case LB_INSERTSTRING:
        return ItemOp::Insert;
      case LB_DELETESTRING:
        return ItemOp::Delete;
      case LB_RESETCONTENT:
        return ItemOp::Reset;
      case LB_GETCOUNT:
        return ItemOp::Count;
      case LB_GETCURSEL:
        return ItemOp::GetSel;
      case LB_SETCURSEL:
        return ItemOp::SetSel;
      case LB_GETTEXT:
        return ItemOp::GetText;
      case LB_GETTEXTLEN:
        return ItemOp::GetTextLen;
      case LB_GETITEMDATA:
        return ItemOp::GetData;
      case LB_SETITEMDATA:
        return ItemOp::SetData;
      case LB_FINDSTRINGEXACT:
        return ItemOp::FindExact;
      case LB_SETITEMHEIGHT:
        return ItemOp::SetHeight;
      case LB_GETITEMHEIGHT:
        return ItemOp::GetHeight;
    }
  } else if (IsCombo(kind)) {
    switch (msg) {
      case CB_ADDSTRING:
        return ItemOp::Add;
      case CB_INSERTSTRING:
        return ItemOp::Insert;
      case CB_DELETESTRING:
        return ItemOp::Delete;
      case CB_RESETCONTENT:
        return ItemOp::Reset;
      case CB_GETCOUNT:
        return ItemOp::Count;
      case CB_GETCURSEL:
        return ItemOp::GetSel;
      case CB_SETCURSEL:
        return ItemOp::SetSel;
      case CB_GETLBTEXT:
        return ItemOp::GetText;
      case CB_GETLBTEXTLEN:
        return ItemOp::GetTextLen;
      case CB_GETITEMDATA:
        return ItemOp::GetData;
      case CB_SETITEMDATA:
        return ItemOp::SetData;
      case CB_FINDSTRINGEXACT:
        return ItemOp::FindExact;
      case CB_SETITEMHEIGHT:
        return ItemOp::SetHeight;
      case CB_GETITEMHEIGHT:
        return ItemOp::GetHeight;
    }
  }
  return ItemOp::None;
}

bool EqualNoCase(const std::string& a, LPCSTR b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// With the lock held. A combo box's field follows its selection (set below,
// outside the lock); the result is the list-box answer.
LRESULT ItemMessageLocked(Control& c, ItemOp op, WPARAM wParam, LPARAM lParam) {
  auto count = static_cast<int>(c.items.size());
  auto index = static_cast<int>(static_cast<intptr_t>(wParam));
  bool valid = index >= 0 && index < count;
  switch (op) {
    case ItemOp::Add:
      c.items.push_back({Str(lParam), 0});
      return count;
    case ItemOp::Insert: {
      if (index > count) return LB_ERR;
      if (index < 0) index = count;
      c.items.insert(c.items.begin() + index, {Str(lParam), 0});
      if (c.sel >= index) ++c.sel;
      return index;
    }
    case ItemOp::Delete:
      if (!valid) return LB_ERR;
      c.items.erase(c.items.begin() + index);
      if (c.sel == index)
        c.sel = -1;
      else if (c.sel > index)
        --c.sel;
      return count - 1;
    case ItemOp::Reset:
      c.items.clear();
      c.sel = -1;
      return 0;
    case ItemOp::Count:
      return count;
    case ItemOp::GetSel:
      return c.sel;
    case ItemOp::SetSel:
      c.sel = valid ? index : -1;
      return valid ? index : LB_ERR;
    case ItemOp::GetText: {
      if (!valid || !lParam) return LB_ERR;
      const std::string& t = c.items[static_cast<size_t>(index)].text;
      std::memcpy(reinterpret_cast<char*>(lParam), t.c_str(), t.size() + 1);
      return static_cast<LRESULT>(t.size());
    }
    case ItemOp::GetTextLen:
      return valid ? static_cast<LRESULT>(c.items[static_cast<size_t>(index)].text.size()) : LB_ERR;
    case ItemOp::GetData:
      return valid ? c.items[static_cast<size_t>(index)].data : LB_ERR;
    case ItemOp::SetData:
      if (!valid) return LB_ERR;
      c.items[static_cast<size_t>(index)].data = lParam;
      return 0;
    case ItemOp::FindExact: {
      // Searched from the item after wParam, wrapping, without regard to case.
      if (!lParam || count == 0) return LB_ERR;
      int start = index < 0 || index >= count ? -1 : index;
      for (int k = 1; k <= count; ++k) {
        int i = (start + k) % count;
        if (EqualNoCase(c.items[static_cast<size_t>(i)].text, Str(lParam))) return i;
      }
      return LB_ERR;
    }
    case ItemOp::SetHeight:
      c.itemHeight = std::max(1, static_cast<int>(LOWORD(lParam)));
      return 0;
    case ItemOp::GetHeight:
      return c.itemHeight;
    case ItemOp::None:
      break;
  }
  return 0;
}

bool ChangesLook(ItemOp op) {
  return op == ItemOp::Add || op == ItemOp::Insert || op == ItemOp::Delete || op == ItemOp::Reset ||
         op == ItemOp::SetSel || op == ItemOp::SetHeight;
}

// Radio buttons of one group: from the WS_GROUP control at or before h to
// the next WS_GROUP control, in creation order.
std::vector<HWND> RadioGroup(HWND h) {
  std::vector<HWND> order;
  for (HWND c = GetWindow(GetParent(h), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    order.insert(order.begin(), c);  // children come topmost first
  auto at = std::find(order.begin(), order.end(), h);
  if (at == order.end()) return {h};
  auto first = at;
  while (first != order.begin() && !(GetWindowLong(*first, GWL_STYLE) & WS_GROUP)) --first;
  std::vector<HWND> group;
  for (auto it = first; it != order.end(); ++it) {
    if (it != first && (GetWindowLong(*it, GWL_STYLE) & WS_GROUP)) break;
    DWORD type = static_cast<DWORD>(GetWindowLong(*it, GWL_STYLE)) & BS_TYPEMASK;
    if (platform::detail::KindOf(*it) == ControlKind::Button &&
        (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON))
      group.push_back(*it);
  }
  return group;
}

LRESULT ButtonMessage(HWND h, UINT msg, WPARAM wParam) {
  switch (msg) {
    case BM_GETCHECK:
      return With(h, 0, [](Control& c) { return c.check; });
    case BM_SETCHECK:
      With(h, 0, [&](Control& c) { return c.check = static_cast<int>(wParam); });
      RepaintParent(h);
      return 0;
    case BM_CLICK: {
      // What a click does to the state of automatic buttons, then BN_CLICKED.
      DWORD type = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & BS_TYPEMASK;
      if (type == BS_AUTOCHECKBOX) {
        SendMessage(h, BM_SETCHECK, SendMessage(h, BM_GETCHECK, 0, 0) ? 0 : 1, 0);
      } else if (type == BS_AUTORADIOBUTTON) {
        for (HWND r : RadioGroup(h)) SendMessage(r, BM_SETCHECK, r == h ? 1 : 0, 0);
      }
      platform::detail::Notify(h, BN_CLICKED);
      return 0;
    }
  }
  return 0;
}

LRESULT EditMessage(HWND h, UINT msg, WPARAM wParam) {
  switch (msg) {
    case EM_GETMODIFY:
      return With(h, 0, [](Control& c) { return c.modified ? 1 : 0; });
    case EM_SETMODIFY:
      return With(h, 0, [&](Control& c) { return (c.modified = wParam != 0), 0; });
    case EM_LIMITTEXT:
    case CB_LIMITTEXT:
      return With(h, 0, [&](Control& c) { return (c.limit = static_cast<int>(wParam)), 1; });
    case EM_GETLIMITTEXT:
      return With(h, 0, [](Control& c) { return c.limit ? c.limit : 30000; });
  }
  return 0;
}

LRESULT CALLBACK ControlProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  ControlKind kind = platform::detail::KindOf(h);
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      Control c;
      char cls[32] = "";
      GetClassName(h, cls, sizeof cls);
      c.cls = cls;
      for (char& ch : c.cls) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      c.kind = c.cls == "BUTTON"     ? ControlKind::Button
               : c.cls == "EDIT"     ? ControlKind::Edit
               : c.cls == "STATIC"   ? ControlKind::Static
               : c.cls == "COMBOBOX" ? ControlKind::Combo
                                     : ControlKind::List;
      c.style = static_cast<DWORD>(cs->style);
      {
        std::lock_guard lock(Mutex());
        Controls()[h] = c;
      }
      return DefWindowProc(h, msg, wParam, lParam);
    }
    case WM_CREATE: {
      // Fixed-height owner-drawn lists learn their item height at creation.
      DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
      bool ownerDraw = (kind == ControlKind::List && (style & LBS_OWNERDRAWFIXED)) ||
                       (kind == ControlKind::Combo && (style & CBS_OWNERDRAWFIXED));
      if (ownerDraw) {
        MEASUREITEMSTRUCT mis = {};
        mis.CtlType = kind == ControlKind::List ? ODT_LISTBOX : ODT_COMBOBOX;
        mis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
        mis.itemHeight = 16;
        SendMessage(GetParent(h), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
        With(h, 0, [&](Control& c) { return c.itemHeight = std::max(1u, mis.itemHeight); });
      }
      return 0;
    }
    case WM_NCDESTROY: {
      std::lock_guard lock(Mutex());
      Controls().erase(h);
      return 0;
    }
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(h, msg, wParam, lParam);
      if (kind == ControlKind::Edit) {
        // Setting the text is no typing: the flag clears, the parent hears of it.
        platform::detail::SetEditModified(h, false);
        platform::detail::Notify(h, EN_CHANGE);
      }
      RepaintParent(h);
      return r;
    }
    case WM_SETFONT:
      With(h, 0, [&](Control& c) { return (c.font = reinterpret_cast<HFONT>(wParam)), 0; });
      if (lParam) RepaintParent(h);
      return 0;
    case WM_GETFONT:
      return With(h, 0, [](Control& c) { return reinterpret_cast<LRESULT>(c.font); });
    case WM_SHOWWINDOW:
    case WM_ENABLE:
    case WM_SIZE:
    case WM_MOVE:
      RepaintParent(h);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      bool set = msg == WM_SETFOCUS;
      if (kind == ControlKind::Edit) platform::detail::Notify(h, set ? EN_SETFOCUS : EN_KILLFOCUS);
      if (kind == ControlKind::Combo)
        platform::detail::Notify(h, set ? CBN_SETFOCUS : CBN_KILLFOCUS);
      if (kind == ControlKind::List)
        platform::detail::Notify(h, set ? LBN_SETFOCUS : LBN_KILLFOCUS);
      return 0;
    }
    case WM_PAINT:
      ValidateRect(h, nullptr);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case CB_SHOWDROPDOWN:
      return TRUE;  // the list is never dropped down
  }
  if (kind == ControlKind::Button && msg >= BM_GETCHECK && msg <= BM_CLICK)
    return ButtonMessage(h, msg, wParam);
  if ((kind == ControlKind::Edit && msg >= EM_SETSEL && msg <= EM_GETLIMITTEXT) ||
      (kind == ControlKind::Combo && msg == CB_LIMITTEXT))
    return EditMessage(h, msg, wParam);
  ItemOp op = ItemOpOf(kind, msg);
  if (op != ItemOp::None) {
    std::string field;
    bool follow = false;
    LRESULT r = With(h, LB_ERR, [&](Control& c) {
      LRESULT res = ItemMessageLocked(c, op, wParam, lParam);
      if (IsCombo(kind) && op == ItemOp::SetSel) {
        follow = true;
        if (c.sel >= 0) field = c.items[static_cast<size_t>(c.sel)].text;
      }
      return res;
    });
    if (follow) DefWindowProc(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(field.c_str()));
    if (ChangesLook(op)) RepaintParent(h);
    return r;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

namespace platform::detail {

ControlKind KindOf(HWND h) {
  std::lock_guard lock(Mutex());
  auto it = Controls().find(h);
  return it == Controls().end() ? ControlKind::Other : it->second.kind;
}

bool GetControlInfo(HWND h, ControlInfo& info) {
  std::lock_guard lock(Mutex());
  auto it = Controls().find(h);
  if (it == Controls().end()) return false;
  const Control& c = it->second;
  info.kind = c.kind;
  info.cls = c.cls;
  info.style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  info.check = c.check;
  info.sel = c.sel;
  info.itemHeight = c.itemHeight;
  info.font = c.font;
  info.items = c.items;
  return true;
}

void Notify(HWND ctl, UINT code) {
  HWND parent = GetParent(ctl);
  if (!parent) return;
  auto id = static_cast<WORD>(GetDlgCtrlID(ctl));
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(ctl));
}

void SetEditModified(HWND edit, bool modified) {
  With(edit, 0, [&](Control& c) { return (c.modified = modified), 0; });
}

int TypingLimit(HWND h) {
  return static_cast<int>(With(h, 0, [](Control& c) { return c.limit; }));
}

void SetSelection(HWND h, int index) {
  With(h, 0, [&](Control& c) { return c.sel = index; });
  RepaintParent(h);
}

void RegisterControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (LPCSTR name : {"BUTTON", "EDIT", "STATIC", "COMBOBOX", "LISTBOX"}) {
      WNDCLASS wc = {};
      wc.lpfnWndProc = ControlProc;
      wc.lpszClassName = name;
      RegisterClass(&wc);
    }
  });
}

}  // namespace platform::detail

namespace {
// The controls exist as soon as the platform is loaded, as on Windows.
[[maybe_unused]] const bool kRegistered = (platform::detail::RegisterControlClasses(), true);
}  // namespace
