// The user's actions on the topmost modal dialog, one line each:
//   set ID TEXT       types TEXT (the rest of the line) into an edit or an
//                     editable combo box: focus, text cut to the length
//                     limit, modified flag, EN_CHANGE or CBN_EDITCHANGE
//   click ID          clicks a button: focus, automatic check boxes toggle,
//                     automatic radio buttons check (the group's others
//                     clear), BN_CLICKED
//   check ID 0|1      clicks a check box or radio button when its state
//                     differs from the one asked for
//   select ID INDEX   selects an item of a list or combo box: focus,
//                     LBN_SELCHANGE or CBN_SELCHANGE (a combo box's field
//                     takes the item's text after the notification, as on
//                     Windows)
//   dblclick ID INDEX selects an item of a list box, then LBN_DBLCLK
//   dump              prints the dialog on stdout
//   ok                the Enter key: the default push button (or IDOK) is
//                     clicked, unless it is hidden or disabled
//   cancel            the Escape key: IDCANCEL
//   png PATH          saves a picture of the dialog as it shows (host path)
// Controls acted on must be enabled, visible and at least partly inside the
// dialog's client area (a dialog shrunk to hide its lower part leaves those
// controls out of the user's reach); an action that fits none is not applied
// and its line is reported as ignored by the loop.
#include <charconv>
#include <cstdio>
#include <sstream>

#include "dialog_internal.h"
#include "platform/gdi_export.h"

namespace {

using platform::detail::ControlInfo;
using platform::detail::ControlKind;

// A whole number filling the text that an int holds.
bool ParseInt(const std::string& text, int& value) {
  const char* last = text.data() + text.size();
  auto [end, ec] = std::from_chars(text.data(), last, value);
  return !text.empty() && ec == std::errc() && end == last;
}

// A control the user can reach: a standard control, enabled, visible and not
// wholly outside the dialog's client area.
HWND Reachable(HWND dlg, const std::string& idText, ControlInfo& info) {
  int id = 0;
  if (!ParseInt(idText, id)) return nullptr;
  HWND c = GetDlgItem(dlg, id);
  if (!c || !IsWindowVisible(c) || !IsWindowEnabled(c)) return nullptr;
  // A dialog has no non-client area, so its window rectangle is its client
  // area on the screen.
  RECT area, rc;
  if (!GetWindowRect(dlg, &area) || !GetWindowRect(c, &rc)) return nullptr;
  if (rc.right <= area.left || rc.left >= area.right || rc.bottom <= area.top ||
      rc.top >= area.bottom)
    return nullptr;
  if (!platform::detail::GetControlInfo(c, info)) return nullptr;
  return c;
}

DWORD ButtonType(const ControlInfo& info) { return info.style & BS_TYPEMASK; }

bool Checkable(const ControlInfo& info) {
  DWORD t = ButtonType(info);
  return info.kind == ControlKind::Button && (t == BS_CHECKBOX || t == BS_AUTOCHECKBOX ||
                                              t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON);
}

void Click(HWND c) {
  SetFocus(c);
  SendMessage(c, BM_CLICK, 0, 0);
}

bool Type(HWND c, const ControlInfo& info, std::string text) {
  if (info.kind == ControlKind::Combo && (info.style & 0x3) == CBS_DROPDOWNLIST) return false;
  if (info.kind != ControlKind::Edit && info.kind != ControlKind::Combo) return false;
  if (info.style & ES_READONLY && info.kind == ControlKind::Edit) return false;
  SetFocus(c);
  int limit = platform::detail::TypingLimit(c);
  if (limit > 0 && static_cast<int>(text.size()) > limit) {
    text.resize(static_cast<size_t>(limit));
    MessageBeep(0);  // the edit refuses what goes past its limit
  }
  // The window text itself, without the notification that setting it sends.
  DefWindowProc(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  InvalidateRect(GetParent(c), nullptr, TRUE);
  if (info.kind == ControlKind::Edit) {
    platform::detail::SetEditModified(c, true);
    platform::detail::Notify(c, EN_CHANGE);
  } else {
    platform::detail::Notify(c, CBN_EDITCHANGE);
  }
  return true;
}

bool Select(HWND c, const ControlInfo& info, int index, bool doubleClick) {
  if (index < 0 || index >= static_cast<int>(info.items.size())) return false;
  if (info.kind != ControlKind::List && (info.kind != ControlKind::Combo || doubleClick))
    return false;
  SetFocus(c);
  platform::detail::SetSelection(c, index);
  if (info.kind == ControlKind::List) {
    platform::detail::Notify(c, LBN_SELCHANGE);
    if (doubleClick && IsWindow(c)) platform::detail::Notify(c, LBN_DBLCLK);
  } else {
    platform::detail::Notify(c, CBN_SELCHANGE);
    if (IsWindow(c))
      DefWindowProc(c, WM_SETTEXT, 0,
                    reinterpret_cast<LPARAM>(info.items[static_cast<size_t>(index)].text.c_str()));
  }
  return true;
}

// The Enter key: the default button's command, or IDOK's when there is none.
bool Enter(HWND dlg) {
  LRESULT def = SendMessage(dlg, DM_GETDEFID, 0, 0);
  int id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
  HWND c = GetDlgItem(dlg, id);
  if (c && (!IsWindowVisible(c) || !IsWindowEnabled(c))) return false;
  SendMessage(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(c));
  return true;
}

}  // namespace

namespace platform::detail {

bool ApplyDialogAction(HWND dlg, const std::string& line) {
  std::istringstream in(line);
  std::string verb, id;
  in >> verb;
  if (verb == "dump") {
    DumpDialog(dlg);
    return true;
  }
  if (verb == "ok") return Enter(dlg);
  if (verb == "cancel") {
    SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
    return true;
  }
  if (verb == "png") {
    std::string path = line.size() > 4 ? line.substr(4) : "";
    return !path.empty() && SaveDialogPNG(dlg, path);
  }
  in >> id;
  ControlInfo info;
  HWND c = Reachable(dlg, id, info);
  if (!c) return false;
  if (verb == "set") {
    // The text is the rest of the line after one separating space, as typed.
    size_t at = line.find(id, verb.size()) + id.size();
    std::string text = at < line.size() ? line.substr(at + 1) : "";
    return Type(c, info, text);
  }
  if (verb == "click") {
    if (info.kind != ControlKind::Button || ButtonType(info) == BS_GROUPBOX) return false;
    Click(c);
    return true;
  }
  std::string arg, extra;
  in >> arg;
  if (in >> extra) return false;
  int value;
  if (!ParseInt(arg, value)) return false;
  if (verb == "check") {
    if (!Checkable(info) || (value != 0 && value != 1)) return false;
    if (info.check == value) return true;
    DWORD t = ButtonType(info);
    if (value == 0 && (t == BS_AUTORADIOBUTTON || t == BS_RADIOBUTTON)) return false;
    Click(c);
    return true;
  }
  if (verb == "select") return Select(c, info, value, false);
  if (verb == "dblclick") return Select(c, info, value, true);
  return false;
}

void DumpDialog(HWND dlg) {
  int id = 0;
  {
    if (DialogState* s = FindDialogLocked(dlg)) id = s->templateId;
  }
  char caption[512] = "";
  GetWindowText(dlg, caption, sizeof caption);
  std::printf("dialog %d \"%s\"\n", id, caption);
  std::vector<HWND> order;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    order.insert(order.begin(), c);  // creation order: children come topmost first
  for (HWND c : order) {
    ControlInfo info;
    if (!GetControlInfo(c, info)) continue;
    std::string text(static_cast<size_t>(GetWindowTextLength(c)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowText(c, text.data(), static_cast<int>(text.size()))));
    std::printf("%d %s \"%s\"", GetDlgCtrlID(c), info.cls.c_str(), text.c_str());
    if (!(GetWindowLong(c, GWL_STYLE) & WS_VISIBLE)) std::printf(" hidden");
    if (!IsWindowEnabled(c)) std::printf(" disabled");
    if (info.kind == ControlKind::Button && info.check) std::printf(" checked");
    if ((info.kind == ControlKind::List || info.kind == ControlKind::Combo) && info.sel >= 0)
      std::printf(" sel=%d", info.sel);
    std::printf("\n");
    for (size_t i = 0; i < info.items.size(); ++i)
      std::printf("  item %zu: %s\n", i, info.items[i].text.c_str());
  }
  std::fflush(stdout);
}

}  // namespace platform::detail
