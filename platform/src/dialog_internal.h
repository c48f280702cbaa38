// What the dialog services share among themselves: the state each control
// keeps (text lives in the window title), the state of each dialog window,
// and the painting and action entry points of the modal loop.
#pragma once

#include <afxdlg.h>

#include <functional>
#include <string>
#include <vector>

namespace platform::detail {

enum class ControlKind { Button, Edit, Static, Combo, List, Other };

struct ControlItem {
  std::string text;
  intptr_t data = 0;
};

// A snapshot of a control's state, for painting and dumps.
struct ControlInfo {
  ControlKind kind = ControlKind::Other;
  std::string cls;  // the registered class name, as dumps show it
  DWORD style = 0;
  int check = 0;
  int sel = -1;
  int itemHeight = 16;
  HFONT font = nullptr;
  std::vector<ControlItem> items;
};

// The classes of the standard controls and of dialogs, registered once.
void RegisterControlClasses();
void RegisterDialogClass();
constexpr const char* kDialogClass = "#32770";

// False when h is not a standard control.
bool GetControlInfo(HWND h, ControlInfo& info);
ControlKind KindOf(HWND h);
// Sends a control's notification code to its parent as WM_COMMAND.
void Notify(HWND ctl, UINT code);
// Marks an edit as typed into (modified) or not.
void SetEditModified(HWND edit, bool modified);
// The number of characters typing may put into an edit or combo (0: no limit).
int TypingLimit(HWND h);
// Selection as the user makes it: no notification.
void SetSelection(HWND h, int index);

// Per dialog window.
struct DialogState {
  int templateId = 0;
  DLGPROC proc = nullptr;
  LPARAM param = 0;
  bool ended = false;
  INT_PTR result = 0;
  HFONT font = nullptr;
};
// nullptr when h is not a dialog made here.
DialogState* FindDialogLocked(HWND h);
// Runs the dialog procedure; FALSE when it did not handle the message.
INT_PTR CallDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
// What DialogBoxParam was given as its init parameter, from creation on.
LPARAM DialogCreateParam(HWND dlg);

// Paints the dialog's background and its visible controls on its surface.
void PaintDialog(HWND dlg);

// Applies one user action to the dialog; false when it fits nothing.
bool ApplyDialogAction(HWND dlg, const std::string& line);
// Dispatches the thread's pending messages (posted ones and paints).
void PumpMessages();
// Writes the dialog as the dump action shows it.
void DumpDialog(HWND dlg);

}  // namespace platform::detail
