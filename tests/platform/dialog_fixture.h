// Dialog tests share one module with a template holding every control kind,
// a dialog class that records what reaches it, and a console that records
// message boxes, beeps and ignored answers.
#pragma once

#include <afxdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "fixture.h"

namespace dlgtest {

enum : int {
  kDialog = 700,
  kNameLabel = 100,
  kNameEdit = 101,
  kBorder = 102,
  kTransparent = 103,
  kOpaque = 104,
  kLibrary = 105,
  kList = 106,
  kGroup = 107,
  kWarning = 108,
  kAdd = 109,
  kColours = 110,
  kColourCombo = 111,
  kFrame = 201,
  kSecond = 701,  // a small dialog opened from the first
};

inline const DLGITEMDEF kItems[] = {
    {kNameLabel, "STATIC", "&Name:", WS_VISIBLE, {10, 10, 60, 26}},
    {kNameEdit, "EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, {70, 8, 230, 30}},
    {kBorder, "BUTTON", "&Border", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, {10, 40, 110, 58}},
    {kTransparent,
     "BUTTON",
     "&Transparent",
     WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON,
     {120, 40, 230, 58}},
    {kOpaque, "BUTTON", "&Opaque", WS_VISIBLE | BS_AUTORADIOBUTTON, {120, 60, 230, 78}},
    {kLibrary,
     "COMBOBOX",
     "",
     WS_VISIBLE | WS_TABSTOP | WS_GROUP | CBS_DROPDOWN,
     {10, 90, 230, 200}},
    {kList, "LISTBOX", "", WS_VISIBLE | WS_TABSTOP, {10, 125, 230, 185}},
    {kGroup, "BUTTON", "Structure", WS_VISIBLE | BS_GROUPBOX, {250, 5, 400, 160}},
    {kFrame, "STATIC", "", WS_VISIBLE | SS_BLACKFRAME, {260, 25, 390, 150}},
    {kWarning, "STATIC", "ID exists, OK to overwrite?", 0, {10, 195, 230, 225}},
    {kAdd, "BUTTON", "Add", WS_VISIBLE | WS_DISABLED | WS_TABSTOP, {250, 170, 320, 194}},
    {kColours, "LISTBOX", "", WS_VISIBLE | LBS_OWNERDRAWFIXED, {10, 235, 230, 290}},
    {kColourCombo,
     "COMBOBOX",
     "",
     WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
     {250, 235, 400, 330}},
    {IDOK, "BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {250, 200, 320, 224}},
    {IDCANCEL, "BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP, {330, 200, 400, 224}},
};
inline const DLGITEMDEF kSecondItems[] = {
    {300, "EDIT", "", WS_VISIBLE | WS_TABSTOP, {10, 10, 150, 30}},
    {IDOK, "BUTTON", "OK", WS_VISIBLE | BS_DEFPUSHBUTTON, {10, 40, 80, 64}},
};
inline const DLGTEMPLATEDEF kDialogs[] = {
    {kDialog, "Test Dialog", {410, 300}, kItems, static_cast<int>(std::size(kItems))},
    {kSecond, "Second", {160, 70}, kSecondItems, static_cast<int>(std::size(kSecondItems))},
};
inline const RES_MODULE kRes = {nullptr, 0, nullptr, 0, kDialogs, std::size(kDialogs)};

// Records notifications as "ID CODE" and lets tests hook the handlers.
class RecordingDialog : public CDialog {
 public:
  explicit RecordingDialog(UINT id = kDialog, CWnd* parent = nullptr) : CDialog(id, parent) {}

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    events.push_back("init");
    if (onInit) onInit(*this);
    return TRUE;
  }
  BOOL OnCommand(UINT id, UINT code) override {
    events.push_back(std::to_string(id) + " " + std::to_string(code));
    if (onCommand && onCommand(*this, id, code)) return TRUE;
    return CDialog::OnCommand(id, code);
  }
  void OnOK() override {
    char buf[64];
    GetDlgItemText(m_hWnd, kNameEdit, buf, sizeof buf);
    nameAtOk = buf;
    CDialog::OnOK();
  }
  void OnCancel() override {
    events.push_back("cancelled");
    CDialog::OnCancel();
  }
  void OnPaint() override {
    ++paints;
    if (onPaint) onPaint(*this);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_USER + 10) {
      ++userMessages;
      if (onUser) onUser(*this);
      return TRUE;
    }
    return CDialog::WindowProc(message, wParam, lParam);
  }
  HBRUSH OnCtlColor(HDC dc, CWnd* wnd, UINT kind) override {
    if (kind == CTLCOLOR_STATIC && wnd && wnd->GetDlgCtrlID() == kWarning)
      SetTextColor(dc, RGB(255, 0, 0));
    return CDialog::OnCtlColor(dc, wnd, kind);
  }
  void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) override {
    events.push_back("measure " + std::to_string(id) + (m_hWnd ? "" : " unbound"));
    mis->itemHeight = 18;
  }
  void OnDrawItem(int id, LPDRAWITEMSTRUCT dis) override {
    draws.push_back(*dis);
    (void)id;
    COLORREF fill = dis->itemState & ODS_SELECTED ? RGB(0, 0, 0) : RGB(0, 0, 255);
    HBRUSH b = CreateSolidBrush(fill);
    FillRect(dis->hDC, &dis->rcItem, b);
    DeleteObject(b);
  }

  std::vector<std::string> events;
  std::vector<DRAWITEMSTRUCT> draws;
  std::string nameAtOk;
  int paints = 0;
  int userMessages = 0;
  std::function<void(RecordingDialog&)> onInit, onPaint, onUser;
  std::function<bool(RecordingDialog&, UINT, UINT)> onCommand;
};

class DialogTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    platform::ClearActions();
    platform::Console c;
    c.message = [this](const std::string& t) { console_.push_back("message: " + t); };
    c.beep = [this] { console_.push_back("beep"); };
    c.ignoredAnswer = [this](const std::string& l) { console_.push_back("ignored: " + l); };
    platform::SetConsole(c);
    module_ = AfxRegisterModule(&kRes, &kRes);
    oldResource_ = AfxGetResourceHandle();
    AfxSetResourceHandle(module_);
  }
  void TearDown() override {
    AfxSetResourceHandle(oldResource_);
    AfxUnregisterModule(module_);
    platform::SetConsole({});
    platform::ClearActions();
    PlatformTest::TearDown();
  }
  static void Queue(std::initializer_list<const char*> actions) {
    for (const char* a : actions) platform::QueueAction(a);
  }

  std::vector<std::string> console_;
  HINSTANCE module_ = nullptr;
  HINSTANCE oldResource_ = nullptr;
};

}  // namespace dlgtest
