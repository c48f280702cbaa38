// Modal dialogs driven by the user's actions: typing, clicking, checking,
// selecting, Enter and Escape, dumps, refused and ignored actions, nested
// dialogs and message boxes, posted messages, and sizing by a group box.
#include "dialog_fixture.h"

namespace dlgtest {
namespace {

using Strings = std::vector<std::string>;

std::string Code(int id, int code) { return std::to_string(id) + " " + std::to_string(code); }

void FillLists(RecordingDialog& d) {
  for (const char* s : {"c:\\db\\user.sdb", "c:\\db\\std.sdb"})
    SendDlgItemMessage(d.m_hWnd, kLibrary, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  for (const char* s : {"one", "two", "three"})
    SendDlgItemMessage(d.m_hWnd, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
}

// ---------------------------------------------------------------- typing and buttons

TEST_F(DialogTest, TypingSetsTextModifiedFlagAndNotifies) {
  RecordingDialog d;
  bool modifiedAtChange = false;
  d.onCommand = [&](RecordingDialog& self, UINT id, UINT code) {
    if (id == kNameEdit && code == EN_CHANGE)
      modifiedAtChange = SendDlgItemMessage(self.m_hWnd, kNameEdit, EM_GETMODIFY, 0, 0) != 0;
    return false;
  };
  Queue({"set 101 Benzene  ring", "ok"});
  EXPECT_EQ(d.DoModal(), IDOK);
  EXPECT_EQ(d.nameAtOk, "Benzene  ring");  // the rest of the line, as typed
  EXPECT_TRUE(modifiedAtChange);
  EXPECT_NE(std::find(d.events.begin(), d.events.end(), Code(kNameEdit, EN_CHANGE)),
            d.events.end());
  EXPECT_EQ(d.m_hWnd, nullptr);
  EXPECT_TRUE(console_.empty());
}

TEST_F(DialogTest, SettingTextClearsModifiedFlagAndStillNotifies) {
  RecordingDialog d;
  LRESULT modifiedAfterSet = -1;
  d.onCommand = [&](RecordingDialog& self, UINT id, UINT) {
    if (id == kAdd) {
      SetDlgItemText(self.m_hWnd, kNameEdit, "reset");
      modifiedAfterSet = SendDlgItemMessage(self.m_hWnd, kNameEdit, EM_GETMODIFY, 0, 0);
    }
    return false;
  };
  d.onInit = [](RecordingDialog& self) { self.GetDlgItem(kAdd)->EnableWindow(TRUE); };
  Queue({"set 101 typed", "click 109", "ok"});
  EXPECT_EQ(d.DoModal(), IDOK);
  EXPECT_EQ(modifiedAfterSet, 0);
  EXPECT_EQ(d.nameAtOk, "reset");
  // Two changes: the typing and the program's text.
  EXPECT_EQ(std::count(d.events.begin(), d.events.end(), Code(kNameEdit, EN_CHANGE)), 2);
}

TEST_F(DialogTest, LengthLimitCutsTypingButNotProgramText) {
  RecordingDialog d;
  d.onInit = [](RecordingDialog& self) {
    SendDlgItemMessage(self.m_hWnd, kNameEdit, EM_LIMITTEXT, 4, 0);
  };
  Queue({"set 101 123456", "ok"});
  EXPECT_EQ(d.DoModal(), IDOK);
  EXPECT_EQ(d.nameAtOk, "1234");
  EXPECT_EQ(console_, Strings{"beep"});

  RecordingDialog e;
  e.onInit = [](RecordingDialog& self) {
    SendDlgItemMessage(self.m_hWnd, kNameEdit, EM_LIMITTEXT, 4, 0);
    SetDlgItemText(self.m_hWnd, kNameEdit, "longer text");
  };
  Queue({"ok"});
  e.DoModal();
  EXPECT_EQ(e.nameAtOk, "longer text");
}

TEST_F(DialogTest, ClicksToggleCheckBoxesAndRadioGroups) {
  RecordingDialog d;
  UINT border = 9, transparent = 9, opaque = 9;
  d.onInit = [](RecordingDialog& self) {
    CheckRadioButton(self.m_hWnd, kTransparent, kOpaque, kTransparent);
  };
  d.onCommand = [&](RecordingDialog& self, UINT id, UINT) {
    if (id == IDOK) {
      border = IsDlgButtonChecked(self.m_hWnd, kBorder);
      transparent = IsDlgButtonChecked(self.m_hWnd, kTransparent);
      opaque = IsDlgButtonChecked(self.m_hWnd, kOpaque);
    }
    return false;
  };
  Queue({"click 102", "click 102", "check 102 1", "check 102 1", "click 104", "check 104 0",
         "check 102 2", "ok"});
  EXPECT_EQ(d.DoModal(), IDOK);
  EXPECT_EQ(border, 1u);
  EXPECT_EQ(transparent, 0u);
  EXPECT_EQ(opaque, 1u);
  // Three clicks on 102 (the repeated check asks for nothing), one on 104.
  EXPECT_EQ(std::count(d.events.begin(), d.events.end(), Code(kBorder, BN_CLICKED)), 3);
  EXPECT_EQ(std::count(d.events.begin(), d.events.end(), Code(kOpaque, BN_CLICKED)), 1);
  // A radio button cannot be unchecked by the user; 2 is no check state.
  EXPECT_EQ(console_, (Strings{"ignored: check 104 0", "ignored: check 102 2"}));
}

// ---------------------------------------------------------------- lists and combo boxes

TEST_F(DialogTest, ComboSelectionNotifiesBeforeTheFieldFollows) {
  RecordingDialog d;
  d.onInit = FillLists;
  std::string fieldAtChange, typedAtChange;
  LRESULT selAtChange = -5;
  d.onCommand = [&](RecordingDialog& self, UINT id, UINT code) {
    char buf[64];
    GetDlgItemText(self.m_hWnd, kLibrary, buf, sizeof buf);
    if (id == kLibrary && code == CBN_SELCHANGE) {
      fieldAtChange = buf;
      selAtChange = SendDlgItemMessage(self.m_hWnd, kLibrary, CB_GETCURSEL, 0, 0);
    }
    if (id == kLibrary && code == CBN_EDITCHANGE) typedAtChange = buf;
    if (id == IDOK) fieldAtChange += std::string("|") + buf;
    return false;
  };
  Queue({"set 105 c:\\mine.sdb", "select 105 1", "select 105 2", "ok"});
  EXPECT_EQ(d.DoModal(), IDOK);
  EXPECT_EQ(typedAtChange, "c:\\mine.sdb");
  EXPECT_EQ(selAtChange, 1);
  EXPECT_EQ(fieldAtChange, "c:\\mine.sdb|c:\\db\\std.sdb");
  EXPECT_EQ(console_, Strings{"ignored: select 105 2"});
}

TEST_F(DialogTest, ListDoubleClickSelectsThenNotifiesBoth) {
  RecordingDialog d;
  d.onInit = FillLists;
  LRESULT selAtDouble = -5;
  d.onCommand = [&](RecordingDialog& self, UINT id, UINT code) {
    if (id == kList && code == LBN_DBLCLK)
      selAtDouble = SendDlgItemMessage(self.m_hWnd, kList, LB_GETCURSEL, 0, 0);
    return false;
  };
  Queue({"dblclick 106 2", "dblclick 105 0", "select 106 -1", "ok"});
  d.DoModal();
  EXPECT_EQ(selAtDouble, 2);
  auto sel = std::find(d.events.begin(), d.events.end(), Code(kList, LBN_SELCHANGE));
  ASSERT_NE(sel, d.events.end());
  EXPECT_EQ(*(sel + 1), Code(kList, LBN_DBLCLK));
  EXPECT_EQ(console_, (Strings{"ignored: dblclick 105 0", "ignored: select 106 -1"}));
}

TEST_F(DialogTest, ListItemMessagesKeepSelectionAndDataInStep) {
  WNDCLASS wc = {};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "DialogTestParent";
  RegisterClass(&wc);
  HWND parent = CreateWindowEx(0, "DialogTestParent", "", WS_OVERLAPPED, 0, 0, 200, 200, nullptr,
                               nullptr, nullptr, nullptr);
  HWND list = CreateWindowEx(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, parent,
                             reinterpret_cast<HMENU>(5), nullptr, nullptr);
  ASSERT_NE(list, nullptr);
  CListBox lb;
  lb.m_hWnd = list;
  EXPECT_EQ(lb.AddString("b"), 0);
  EXPECT_EQ(lb.InsertString(0, "a"), 0);
  EXPECT_EQ(lb.AddString("Cee"), 2);
  lb.SetItemData(2, 77);
  EXPECT_EQ(lb.SetCurSel(2), 2);
  EXPECT_EQ(lb.InsertString(0, "first"), 0);
  EXPECT_EQ(lb.GetCurSel(), 3);  // the selection moves with its item
  EXPECT_EQ(lb.GetItemData(3), 77);
  EXPECT_EQ(lb.DeleteString(1), 3);
  EXPECT_EQ(lb.GetCurSel(), 2);
  CString text;
  lb.GetText(2, text);
  EXPECT_EQ(text, "Cee");
  EXPECT_EQ(lb.GetTextLen(2), 3);
  EXPECT_EQ(SendMessage(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>("cee")),
            2);
  EXPECT_EQ(lb.DeleteString(2), 2);
  EXPECT_EQ(lb.GetCurSel(), LB_ERR);
  EXPECT_EQ(lb.GetTextLen(9), LB_ERR);
  EXPECT_EQ(lb.SetCurSel(9), LB_ERR);
  lb.ResetContent();
  EXPECT_EQ(lb.GetCount(), 0);
  DestroyWindow(parent);
  UnregisterClass("DialogTestParent", nullptr);
}

// ---------------------------------------------------------------- reachability and Enter

TEST_F(DialogTest, HiddenAndDisabledControlsRefuseActions) {
  RecordingDialog d;
  d.onCommand = [](RecordingDialog& self, UINT id, UINT) {
    if (id == kBorder) {
      self.GetDlgItem(kWarning)->ShowWindow(SW_SHOW);
      self.GetDlgItem(kAdd)->EnableWindow(TRUE);
      self.GetDlgItem(kNameEdit)->EnableWindow(FALSE);
    }
    return false;
  };
  Queue({"set 108 x", "click 109", "click 999", "click 107", "click 100", "bogus", "click 102",
         "click 109", "set 101 y", "ok"});
  d.DoModal();
  EXPECT_EQ(console_, (Strings{"ignored: set 108 x", "ignored: click 109", "ignored: click 999",
                               "ignored: click 107", "ignored: click 100", "ignored: bogus",
                               "ignored: set 101 y"}));
  EXPECT_NE(std::find(d.events.begin(), d.events.end(), Code(kAdd, BN_CLICKED)), d.events.end());
}

TEST_F(DialogTest, ControlsOutsideTheShrunkDialogRefuseActions) {
  RecordingDialog d;
  d.onInit = [](RecordingDialog& self) {
    FillLists(self);
    RECT dlg;
    self.GetWindowRect(&dlg);
    // Folded below the group box (y 172): Cancel and the colour list drop
    // out, the list box straddles the edge; Border is moved off to the left.
    self.SetWindowPos(nullptr, 0, 0, dlg.right - dlg.left, 172, SWP_NOMOVE | SWP_NOZORDER);
    self.GetDlgItem(kBorder)->MoveWindow(-120, 40, 110, 18);
  };
  Queue({"click 2", "select 110 0", "click 102", "select 106 4294967296", "select 106 1",
         "click 103", "ok"});
  EXPECT_EQ(d.DoModal(), IDOK);
  EXPECT_EQ(console_, (Strings{"ignored: click 2", "ignored: select 110 0", "ignored: click 102",
                               "ignored: select 106 4294967296"}));
  EXPECT_NE(std::find(d.events.begin(), d.events.end(), Code(kList, LBN_SELCHANGE)),
            d.events.end());
  EXPECT_NE(std::find(d.events.begin(), d.events.end(), Code(kTransparent, BN_CLICKED)),
            d.events.end());
}

TEST_F(DialogTest, EnterNeedsAnUsableDefaultButton) {
  RecordingDialog d;
  d.onInit = [](RecordingDialog& self) { self.GetDlgItem(IDOK)->EnableWindow(FALSE); };
  Queue({"ok", "cancel"});
  EXPECT_EQ(d.DoModal(), IDCANCEL);
  EXPECT_EQ(console_, Strings{"ignored: ok"});
}

TEST_F(DialogTest, NothingQueuedCancels) {
  RecordingDialog d;
  EXPECT_EQ(d.DoModal(), IDCANCEL);
  EXPECT_EQ(d.events.back(), "cancelled");
  EXPECT_TRUE(console_.empty());
}

INT_PTR CALLBACK Stubborn(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST_F(DialogTest, ProcedureThatIgnoresCancelIsStillEndedWhenNothingIsQueued) {
  Queue({"cancel"});  // the procedure keeps the dialog open
  EXPECT_EQ(DialogBoxParam(nullptr, MAKEINTRESOURCE(kDialog), nullptr, Stubborn, 0), IDCANCEL);
  EXPECT_EQ(DialogBoxParam(nullptr, MAKEINTRESOURCE(999), nullptr, Stubborn, 0), -1);
}

INT_PTR CALLBACK EndsAtOnce(HWND h, UINT msg, WPARAM, LPARAM param) {
  if (msg == WM_INITDIALOG) EndDialog(h, param);
  return FALSE;
}

TEST_F(DialogTest, EndDialogDuringInitTakesNoAction) {
  Queue({"click 102"});
  EXPECT_EQ(DialogBoxParam(nullptr, MAKEINTRESOURCE(kDialog), nullptr, EndsAtOnce, 42), 42);
  EXPECT_TRUE(platform::HasQueuedAction());
}

// ---------------------------------------------------------------- dump

TEST_F(DialogTest, DumpListsControlsInTemplateOrder) {
  RecordingDialog d;
  d.onInit = [](RecordingDialog& self) {
    FillLists(self);
    SendDlgItemMessage(self.m_hWnd, kColours, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Red"));
    SetDlgItemText(self.m_hWnd, kGroup, "Benzene");
  };
  Queue({"check 102 1", "select 106 1", "dump", "cancel"});
  testing::internal::CaptureStdout();
  d.DoModal();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "dialog 700 \"Test Dialog\"\n"
            "100 STATIC \"&Name:\"\n"
            "101 EDIT \"\"\n"
            "102 BUTTON \"&Border\" checked\n"
            "103 BUTTON \"&Transparent\"\n"
            "104 BUTTON \"&Opaque\"\n"
            "105 COMBOBOX \"\"\n"
            "  item 0: c:\\db\\user.sdb\n"
            "  item 1: c:\\db\\std.sdb\n"
            "106 LISTBOX \"\" sel=1\n"
            "  item 0: one\n"
            "  item 1: two\n"
            "  item 2: three\n"
            "107 BUTTON \"Benzene\"\n"
            "201 STATIC \"\"\n"
            "108 STATIC \"ID exists, OK to overwrite?\" hidden\n"
            "109 BUTTON \"Add\" disabled\n"
            "110 LISTBOX \"\"\n"
            "  item 0: Red\n"
            "111 COMBOBOX \"\"\n"
            "1 BUTTON \"OK\"\n"
            "2 BUTTON \"Cancel\"\n");
}

// ---------------------------------------------------------------- nesting and messages

TEST_F(DialogTest, NestedDialogAndMessageBoxTakeTheirTurn) {
  RecordingDialog outer;
  INT_PTR inner = 0;
  std::string innerName;
  outer.onCommand = [&](RecordingDialog& self, UINT id, UINT) {
    if (id != kBorder) return false;
    EXPECT_EQ(MessageBox(self.m_hWnd, "Replace?", nullptr, MB_YESNO), IDYES);
    RecordingDialog second(kSecond, &self);
    second.onCommand = [&](RecordingDialog& s, UINT sid, UINT) {
      char buf[32];
      if (sid == IDOK) innerName = (GetDlgItemText(s.m_hWnd, 300, buf, sizeof buf), buf);
      return false;
    };
    inner = second.DoModal();
    EXPECT_TRUE(IsWindowEnabled(self.m_hWnd));  // the owner is enabled again
    return true;
  };
  Queue({"click 102", "set 300 inner", "click 102", "ok", "set 101 outer", "ok"});
  EXPECT_EQ(outer.DoModal(), IDOK);
  EXPECT_EQ(inner, IDOK);
  EXPECT_EQ(innerName, "inner");
  EXPECT_EQ(outer.nameAtOk, "outer");
  // The inner dialog has no control 102.
  EXPECT_EQ(console_, (Strings{"message: Replace?", "ignored: click 102"}));
}

TEST_F(DialogTest, PaintsPostPrivateMessagesThatReachTheDialog) {
  RecordingDialog d;
  d.onPaint = [](RecordingDialog& self) { self.PostMessage(WM_USER + 10); };
  int seenAtFirstAction = -1;
  d.onCommand = [&](RecordingDialog& self, UINT id, UINT) {
    if (id == kBorder) seenAtFirstAction = self.userMessages;
    return false;
  };
  Queue({"click 102", "ok"});
  d.DoModal();
  EXPECT_GE(d.paints, 1);
  EXPECT_EQ(seenAtFirstAction, 1);  // the first paint's message came before any action
  EXPECT_EQ(d.userMessages, d.paints);
}

TEST_F(DialogTest, OwnerDrawnListsAreMeasuredAtCreationAndDrawnOnPaint) {
  RecordingDialog d;
  LRESULT height = 0;
  d.onInit = [&](RecordingDialog& self) {
    for (const char* s : {"Single", "Double"}) {
      SendDlgItemMessage(self.m_hWnd, kColours, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
      SendDlgItemMessage(self.m_hWnd, kColourCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
    SendDlgItemMessage(self.m_hWnd, kColours, LB_SETITEMDATA, 1, 1234);
    SendDlgItemMessage(self.m_hWnd, kColourCombo, CB_SETCURSEL, 1, 0);
    height = SendDlgItemMessage(self.m_hWnd, kColours, LB_GETITEMHEIGHT, 0, 0);
  };
  Queue({"select 110 1", "set 111 typed", "ok"});
  d.DoModal();
  EXPECT_EQ(height, 18);
  ASSERT_GE(d.events.size(), 3u);
  EXPECT_EQ(d.events[0], "measure 110");  // before initialisation, with the dialog bound
  EXPECT_EQ(d.events[1], "measure 111");
  EXPECT_EQ(d.events[2], "init");
  // A drop-down list has no field to type into.
  EXPECT_EQ(console_, Strings{"ignored: set 111 typed"});
  bool listItem1Selected = false, comboField = false;
  for (const DRAWITEMSTRUCT& dis : d.draws) {
    if (dis.CtlID == kColours && dis.itemID == 1 && (dis.itemState & ODS_SELECTED)) {
      listItem1Selected = true;
      EXPECT_EQ(dis.itemData, 1234u);
      EXPECT_EQ(dis.rcItem.top, 1 + 18);
      EXPECT_EQ(dis.rcItem.bottom - dis.rcItem.top, 18);
      EXPECT_EQ(dis.CtlType, static_cast<UINT>(ODT_LISTBOX));
    }
    if (dis.CtlID == kColourCombo) {
      comboField = dis.itemID == 1 && (dis.itemState & ODS_COMBOBOXEDIT);
      EXPECT_EQ(dis.CtlType, static_cast<UINT>(ODT_COMBOBOX));
    }
  }
  EXPECT_TRUE(listItem1Selected);
  EXPECT_TRUE(comboField);
}

// ---------------------------------------------------------------- geometry

TEST_F(DialogTest, DialogShrinksToTheBottomOfAGroupBox) {
  RecordingDialog d;
  RECT client = {}, frame = {}, group = {};
  d.onInit = [&](RecordingDialog& self) {
    RECT dlg, g;
    self.GetWindowRect(&dlg);
    self.GetDlgItem(kGroup)->GetWindowRect(&g);
    self.ScreenToClient(&g);
    group = g;
    self.SetWindowPos(nullptr, 0, 0, dlg.right - dlg.left,
                      g.bottom + 3 * GetSystemMetrics(SM_CYFRAME), SWP_NOMOVE | SWP_NOZORDER);
    self.GetClientRect(&client);
    self.GetDlgItem(kFrame)->GetWindowRect(&frame);
    POINT origin = {0, 0};
    self.ClientToScreen(&origin);
    frame = {frame.left - origin.x, frame.top - origin.y, frame.right - origin.x,
             frame.bottom - origin.y};
  };
  Queue({"ok"});
  d.DoModal();
  EXPECT_EQ(group.top, 5);
  EXPECT_EQ(group.bottom, 160);
  EXPECT_EQ(client.right, 410);
  EXPECT_EQ(client.bottom, 172);
  EXPECT_EQ(frame.left, 260);
  EXPECT_EQ(frame.top, 25);
  EXPECT_EQ(frame.right, 390);
}

TEST_F(DialogTest, DialogItemNumbers) {
  RecordingDialog d;
  UINT value = 0;
  BOOL ok = TRUE, bad = TRUE, negative = FALSE;
  int signedValue = 0;
  d.onInit = [&](RecordingDialog& self) {
    SetDlgItemInt(self.m_hWnd, kNameEdit, 4711, FALSE);
    value = GetDlgItemInt(self.m_hWnd, kNameEdit, &ok, FALSE);
    SetDlgItemText(self.m_hWnd, kNameEdit, "12x");
    GetDlgItemInt(self.m_hWnd, kNameEdit, &bad, FALSE);
    SetDlgItemText(self.m_hWnd, kNameEdit, " -5");
    signedValue = static_cast<int>(GetDlgItemInt(self.m_hWnd, kNameEdit, &negative, TRUE));
  };
  d.DoModal();
  EXPECT_EQ(value, 4711u);
  EXPECT_TRUE(ok);
  EXPECT_FALSE(bad);
  EXPECT_TRUE(negative);
  EXPECT_EQ(signedValue, -5);
}

}  // namespace
}  // namespace dlgtest
