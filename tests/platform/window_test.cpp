// Windows: classes, creation and destruction messages, the tree and its Z
// order, rectangles, show states, window longs, titles, focus.
#include <afxwin.h>

#include <cstring>
#include <string>

#include "fixture.h"
#include "recorder.h"

namespace {

class WindowTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    Log().clear();
    Answer() = nullptr;
  }
  void TearDown() override {
    for (HWND h : made_)
      if (IsWindow(h)) DestroyWindow(h);
    Answer() = nullptr;
    PlatformTest::TearDown();
  }
  HWND Top(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int w = 800, int h = 600) {
    HWND hwnd = CreateWindowEx(0, RecordingClass(), "Main", style, 5, 5, w, h, nullptr, nullptr,
                               nullptr, nullptr);
    made_.push_back(hwnd);
    return hwnd;
  }
  HWND Child(HWND parent, int id, int x = 10, int y = 20, int w = 100, int h = 50,
             DWORD style = WS_CHILD | WS_VISIBLE | WS_SYSMENU) {  // no frame: client = window
    return CreateWindowEx(0, "recordingwindow", "", style, x, y, w, h, parent,
                          reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  }
  std::vector<UINT> Messages(HWND h) {
    std::vector<UINT> out;
    for (const auto& r : Log())
      if (r.hwnd == h) out.push_back(r.message);
    return out;
  }
  std::vector<HWND> made_;
};

TEST_F(WindowTest, ClassesAreFoundWithoutRegardToCase) {
  ASSERT_NE(RecordingClass(), nullptr);
  WNDCLASS wc = {};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "RECORDINGWINDOW";
  SetLastError(kPrimedError);
  EXPECT_EQ(RegisterClass(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  HWND h = Top();
  char name[32];
  EXPECT_EQ(GetClassName(h, name, sizeof name), 15);
  EXPECT_STREQ(name, "RecordingWindow");
  EXPECT_FALSE(UnregisterClass("recordingWINDOW", nullptr));  // it has a window
  SetLastError(kPrimedError);
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
  EXPECT_EQ(CreateWindowEx(0, RecordingClass(), "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                           nullptr),
            nullptr);
}

TEST_F(WindowTest, FrameworkClassNamesAreGeneratedOnce) {
  LPCSTR a =
      AfxRegisterWndClass(CS_DBLCLKS, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  LPCSTR b =
      AfxRegisterWndClass(CS_DBLCLKS, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  LPCSTR c = AfxRegisterWndClass(0);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(std::string(a).rfind("Afx:", 0), 0u);
  EXPECT_STREQ(a, b);
  EXPECT_STRNE(a, c);
  HWND h = CreateWindowEx(0, a, "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  WNDCLASS wc;
  ASSERT_TRUE(GetClassInfo(nullptr, a, &wc));
  EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS));
  DestroyWindow(h);
}

TEST_F(WindowTest, CreationSendsItsMessagesWithTheCreateStruct) {
  int param = 0;
  HWND h = CreateWindowEx(0, RecordingClass(), "Title", WS_POPUP, 3, 4, 30, 40, nullptr, nullptr,
                          nullptr, &param);
  made_.push_back(h);
  EXPECT_EQ(Messages(h), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
  auto create = Got(h, WM_CREATE);
  ASSERT_EQ(create.size(), 1u);
  EXPECT_EQ(Got(h, WM_SIZE)[0].lParam, MAKELPARAM(30, 40));
  char title[16];
  GetWindowText(h, title, sizeof title);
  EXPECT_STREQ(title, "Title");
  EXPECT_FALSE(IsWindowVisible(h));
}

TEST_F(WindowTest, RefusedCreationLeavesNoWindow) {
  Answer() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_CREATE) return false;
    r = -1;
    return true;
  };
  int before = platform::LiveWindows();
  EXPECT_EQ(Top(), nullptr);
  EXPECT_EQ(platform::LiveWindows(), before);
  ASSERT_FALSE(Log().empty());
  EXPECT_EQ(Log().back().message, static_cast<UINT>(WM_NCDESTROY));
}

TEST_F(WindowTest, NewestChildIsOnTopOfZOrder) {
  HWND parent = Top();
  HWND a = Child(parent, 1), b = Child(parent, 2), c = Child(parent, 3);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), c);
  EXPECT_EQ(GetTopWindow(parent), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(a, GW_HWNDPREV), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDLAST), a);
  ASSERT_TRUE(BringWindowToTop(a));
  EXPECT_EQ(GetWindow(parent, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // just below a
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
  EXPECT_EQ(GetParent(a), parent);
  EXPECT_TRUE(IsChild(parent, a));
  EXPECT_EQ(GetDlgItem(parent, 2), b);
  EXPECT_EQ(GetDlgCtrlID(b), 2);
}

TEST_F(WindowTest, DestroyReachesChildrenBetweenDestroyAndNcDestroy) {
  HWND parent = Top();
  HWND child = Child(parent, 1);
  HWND popup = CreateWindowEx(0, RecordingClass(), "", WS_POPUP, 0, 0, 5, 5, child, nullptr,
                              nullptr, nullptr);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), parent);  // owned by the top-level window
  Log().clear();
  ASSERT_TRUE(DestroyWindow(parent));
  std::vector<std::pair<HWND, UINT>> seq;
  for (const auto& r : Log())
    if (r.message == WM_DESTROY || r.message == WM_NCDESTROY) seq.push_back({r.hwnd, r.message});
  std::vector<std::pair<HWND, UINT>> want = {{popup, WM_DESTROY},   {popup, WM_NCDESTROY},
                                             {parent, WM_DESTROY},  {child, WM_DESTROY},
                                             {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
  EXPECT_EQ(seq, want);
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(popup));
}

TEST_F(WindowTest, ChildRectanglesAreInParentClientCoordinates) {
  HWND parent = Top();
  HWND child = Child(parent, 1, 10, 20, 100, 50);
  RECT r;
  GetClientRect(child, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
            (std::vector<LONG>{0, 0, 100, 50}));
  GetWindowRect(child, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
            (std::vector<LONG>{15, 25, 115, 75}));
  POINT p = {1, 2};
  ClientToScreen(child, &p);
  EXPECT_EQ(p.x, 16);
  EXPECT_EQ(p.y, 27);
  ScreenToClient(parent, &p);
  EXPECT_EQ(p.x, 11);
  EXPECT_EQ(p.y, 22);
}

TEST_F(WindowTest, MovingReportsOnlyWhatChanged) {
  HWND parent = Top();
  HWND child = Child(parent, 1, 10, 20, 100, 50);
  Log().clear();
  MoveWindow(child, 10, 20, 100, 50, TRUE);
  EXPECT_TRUE(Messages(child).empty());
  MoveWindow(child, 30, 20, 100, 50, TRUE);
  EXPECT_EQ(Messages(child), std::vector<UINT>{WM_MOVE});
  Log().clear();
  SetWindowPos(child, nullptr, 0, 0, 60, 70, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Messages(child), std::vector<UINT>{WM_SIZE});
  EXPECT_EQ(Got(child, WM_SIZE)[0].lParam, MAKELPARAM(60, 70));
}

TEST_F(WindowTest, ShowStatesMaximiseMinimiseRestore) {
  HWND parent = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 800, 600);
  HWND child = Child(parent, 1, 10, 20, 100, 50, WS_CHILD | WS_CAPTION);
  EXPECT_FALSE(IsWindowVisible(child));
  EXPECT_FALSE(ShowWindow(child, SW_SHOWNORMAL));  // it was hidden
  EXPECT_TRUE(IsWindowVisible(child));
  Log().clear();
  EXPECT_TRUE(ShowWindow(child, SW_SHOWMAXIMIZED));
  EXPECT_TRUE(IsZoomed(child));
  RECT r;
  GetWindowRect(child, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
            (std::vector<LONG>{5, 5, 805, 605}));  // the parent's client area
  auto size = Got(child, WM_SIZE);
  ASSERT_EQ(size.size(), 1u);
  EXPECT_EQ(size[0].wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
  EXPECT_EQ(size[0].lParam, MAKELPARAM(800, 600 - 18));  // the client area, below the caption
  ShowWindow(child, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(child));
  EXPECT_FALSE(IsZoomed(child));
  GetClientRect(child, &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  ShowWindow(child, SW_RESTORE);  // back to what it was before: maximised
  EXPECT_TRUE(IsZoomed(child));
  ShowWindow(child, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(child));
  GetWindowRect(child, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
            (std::vector<LONG>{15, 25, 115, 75}));
  EXPECT_TRUE(ShowWindow(child, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(child));
  ShowWindow(child, SW_SHOW);
  ShowWindow(parent, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(child));  // hidden with its parent
  EXPECT_FALSE(ShowWindow(child, 99));
}

TEST_F(WindowTest, WindowLongsAndExtraBytes) {
  HWND parent = Top();
  HWND child = Child(parent, 42);
  EXPECT_EQ(GetWindowLong(child, GWL_ID), 42);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLong(child, GWL_STYLE)) & WS_CHILD, WS_CHILD);
  int object = 0;
  SetWindowLongPtr(child, GWL_USERDATA, reinterpret_cast<intptr_t>(&object));
  EXPECT_EQ(GetWindowLongPtr(child, GWL_USERDATA), reinterpret_cast<intptr_t>(&object));
  SetWindowLongPtr(child, 8, 0x123456789);
  EXPECT_EQ(GetWindowLongPtr(child, 8), 0x123456789);
  EXPECT_EQ(SetWindowLong(child, 0, 7), 0);
  EXPECT_EQ(GetWindowLong(child, 0), 7);
  SetLastError(kPrimedError);
  EXPECT_EQ(GetWindowLong(child, 16), 0);  // past the class's 16 extra bytes
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  WNDPROC old = reinterpret_cast<WNDPROC>(
      SetWindowLongPtr(child, GWL_WNDPROC, reinterpret_cast<intptr_t>(&DefWindowProc)));
  EXPECT_EQ(old, &RecordingProc);
}

TEST_F(WindowTest, TitlesAreCutToTheBuffer) {
  HWND h = Top();
  ASSERT_TRUE(SetWindowText(h, "Sample Data"));
  EXPECT_EQ(GetWindowTextLength(h), 11);
  char buf[7];
  EXPECT_EQ(GetWindowText(h, buf, sizeof buf), 6);
  EXPECT_STREQ(buf, "Sample");
}

TEST_F(WindowTest, SystemMenuOnlyWithSysMenuStyle) {
  HWND parent = Top();
  HWND with = Child(parent, 1);
  HWND without = Child(parent, 2, 0, 0, 10, 10, WS_CHILD);
  EXPECT_NE(GetSystemMenu(with, FALSE), nullptr);
  EXPECT_EQ(GetSystemMenu(with, FALSE), GetSystemMenu(with, FALSE));
  EXPECT_EQ(GetSystemMenu(without, FALSE), nullptr);
}

TEST_F(WindowTest, FocusMovesWithMessagesAndDiesWithItsWindow) {
  HWND parent = Top();
  HWND a = Child(parent, 1), b = Child(parent, 2);
  SetFocus(a);
  Log().clear();
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(Got(a, WM_KILLFOCUS).size(), 1u);
  ASSERT_EQ(Got(b, WM_SETFOCUS).size(), 1u);
  EXPECT_EQ(Got(b, WM_SETFOCUS)[0].wParam, reinterpret_cast<WPARAM>(a));
  DestroyWindow(b);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_FALSE(EnableWindow(a, FALSE));
  EXPECT_FALSE(IsWindowEnabled(a));
  EXPECT_TRUE(EnableWindow(a, TRUE));
}

}  // namespace
