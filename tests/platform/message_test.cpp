// The message queue: posting, peeking with filters, dispatch, quit, paint
// messages for invalid windows, key translation and default processing.
#include <chrono>
#include <thread>

#include "fixture.h"
#include "recorder.h"

namespace {

class MessageTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    Drain();
    Log().clear();
    Answer() = nullptr;
    main_ = CreateWindowEx(0, RecordingClass(), "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                           300, nullptr, nullptr, nullptr, nullptr);
    child_ = CreateWindowEx(0, RecordingClass(), "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, main_,
                            nullptr, nullptr, nullptr);
    Validate();
  }
  void TearDown() override {
    if (IsWindow(main_)) DestroyWindow(main_);
    Answer() = nullptr;
    Drain();
    PlatformTest::TearDown();
  }
  void Validate() {
    ValidateRect(main_, nullptr);
    ValidateRect(child_, nullptr);
  }
  static void Drain() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND main_ = nullptr, child_ = nullptr;
};

TEST_F(MessageTest, PeekTakesPostedMessagesInOrder) {
  PostMessage(main_, WM_USER + 1, 1, 2);
  PostMessage(main_, WM_USER + 2, 3, 4);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_EQ(m.lParam, 2);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageTest, FiltersByRangeAndWindow) {
  PostMessage(main_, WM_USER + 1, 0, 0);
  PostMessage(child_, WM_USER + 2, 0, 0);
  PostMessage(nullptr, WM_USER + 3, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_USER + 2, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  ASSERT_TRUE(PeekMessage(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 3));  // posted to no window
  EXPECT_FALSE(PeekMessage(&m, child_, 0, 0, PM_REMOVE));
  PostMessage(child_, WM_USER + 4, 0, 0);
  ASSERT_TRUE(PeekMessage(&m, main_, WM_USER + 4, WM_USER + 4, PM_REMOVE));  // a child's too
  EXPECT_EQ(m.hwnd, child_);
  ASSERT_TRUE(PeekMessage(&m, main_, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
}

TEST_F(MessageTest, DispatchAndSendReachTheProcedure) {
  Answer() = [](HWND, UINT m, WPARAM w, LPARAM l, LRESULT& r) {
    if (m != WM_USER) return false;
    r = static_cast<LRESULT>(w) + l;
    return true;
  };
  EXPECT_EQ(SendMessage(main_, WM_USER, 40, 2), 42);
  PostMessage(main_, WM_USER, 1, 2);
  MSG m;
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(DispatchMessage(&m), 3);
  SetLastError(kPrimedError);
  EXPECT_EQ(SendMessage(reinterpret_cast<HWND>(0x4), WM_USER, 0, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(MessageTest, QuitComesAfterPostedMessages) {
  PostQuitMessage(7);
  PostMessage(main_, WM_USER, 0, 0);
  MSG m;
  EXPECT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 7u);
}

TEST_F(MessageTest, GetMessageWaitsForAnotherThread) {
  std::thread poster([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostMessage(main_, WM_USER + 9, 0, 0);
  });
  MSG m;
  EXPECT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 9));
  poster.join();
}

TEST_F(MessageTest, InvalidVisibleWindowsGetPaintUntilValidated) {
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  InvalidateRect(child_, nullptr, TRUE);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  EXPECT_EQ(m.hwnd, child_);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));  // not removed: still invalid
  DispatchMessage(&m);                                     // the default procedure validates
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  ShowWindow(child_, SW_HIDE);
  InvalidateRect(child_, nullptr, TRUE);
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));  // hidden windows do not paint
}

TEST_F(MessageTest, UpdateWindowPaintsAtOnceOnlyWhenInvalid) {
  UpdateWindow(main_);
  EXPECT_TRUE(Got(main_, WM_PAINT).empty());
  RECT r = {10, 10, 20, 20};
  InvalidateRect(main_, &r, FALSE);
  RECT u;
  ASSERT_TRUE(GetUpdateRect(main_, &u, FALSE));
  EXPECT_EQ(u.left, 10);
  EXPECT_EQ(u.right, 20);
  InvalidateRect(child_, nullptr, FALSE);
  UpdateWindow(main_);  // children included
  EXPECT_EQ(Got(main_, WM_PAINT).size(), 1u);
  EXPECT_EQ(Got(child_, WM_PAINT).size(), 1u);
  EXPECT_FALSE(GetUpdateRect(main_, &u, FALSE));
}

TEST_F(MessageTest, KeysTranslateToCharacters) {
  MSG key = {main_, WM_KEYDOWN, 'C', 0, 0, {0, 0}};
  EXPECT_TRUE(TranslateMessage(&key));
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('c'));
}

TEST_F(MessageTest, CloseDestroysAndDropsPostedMessages) {
  PostMessage(child_, WM_USER, 0, 0);
  SendMessage(child_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(child_));
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_FALSE(PostMessage(child_, WM_USER, 0, 0));
  SendMessage(main_, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_TRUE(IsZoomed(main_));
  PostMessage(main_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  DispatchMessage(&m);
  EXPECT_FALSE(IsWindow(main_));
}

}  // namespace
