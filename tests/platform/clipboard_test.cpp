// The clipboard: opening with an owner, blocks of exactly their data's size
// owned by the clipboard, registered formats and the order formats were set.
#include <cstring>

#include "fixture.h"
#include "recorder.h"

namespace {

class ClipboardTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    a_ = CreateWindowEx(0, RecordingClass(), "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                        nullptr);
    b_ = CreateWindowEx(0, RecordingClass(), "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                        nullptr);
    ASSERT_TRUE(OpenClipboard(a_));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(CloseClipboard());
  }
  void TearDown() override {
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    DestroyWindow(a_);
    DestroyWindow(b_);
    PlatformTest::TearDown();
  }
  static HGLOBAL Text(const char* s) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, std::strlen(s) + 1);
    std::memcpy(GlobalLock(h), s, std::strlen(s) + 1);
    GlobalUnlock(h);
    return h;
  }
  HWND a_ = nullptr, b_ = nullptr;
};

TEST_F(ClipboardTest, OnlyOneWindowHasItOpen) {
  ASSERT_TRUE(OpenClipboard(a_));
  EXPECT_FALSE(OpenClipboard(b_));
  EXPECT_TRUE(CloseClipboard());
  SetLastError(kPrimedError);
  EXPECT_FALSE(CloseClipboard());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
  EXPECT_TRUE(OpenClipboard(b_));
  CloseClipboard();
}

TEST_F(ClipboardTest, DataNeedsAnOpenClipboard) {
  HGLOBAL h = Text("abc");
  SetLastError(kPrimedError);
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);  // the caller still owns it
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  GlobalFree(h);
}

TEST_F(ClipboardTest, AFailedSetLeavesTheBlockWithTheCallerAndTheOldDataInPlace) {
  ASSERT_TRUE(OpenClipboard(a_));
  HGLOBAL old = Text("old");
  ASSERT_EQ(SetClipboardData(CF_TEXT, old), old);
  platform::InjectFault(platform::FaultOp::SetClipboardData, 1);
  HGLOBAL h = Text("new");
  SetLastError(kPrimedError);
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(GetClipboardData(CF_TEXT), old);
  EXPECT_EQ(GlobalFree(h), nullptr);  // still the caller's to free
  EXPECT_NE(SetClipboardData(CF_TEXT, Text("next")), nullptr);  // only the nth call fails
  CloseClipboard();
}

TEST_F(ClipboardTest, BlocksKeepTheirExactSizeAndAreFreedOnEmpty) {
  int before = platform::LiveGlobalBlocks();
  ASSERT_TRUE(OpenClipboard(b_));
  EmptyClipboard();
  EXPECT_EQ(GetClipboardOwner(), b_);
  HGLOBAL text = Text("Chemical structure drawing: x");
  EXPECT_EQ(SetClipboardData(CF_DSPTEXT, text), text);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DSPTEXT));
  ASSERT_TRUE(OpenClipboard(a_));
  HGLOBAL got = GetClipboardData(CF_DSPTEXT);
  EXPECT_EQ(GlobalSize(got), 30u);
  EXPECT_STREQ(static_cast<char*>(GlobalLock(got)), "Chemical structure drawing: x");
  GlobalUnlock(got);
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_EQ(platform::LiveGlobalBlocks(), before + 1);
  EmptyClipboard();
  EXPECT_EQ(platform::LiveGlobalBlocks(), before);
  EXPECT_EQ(GetClipboardOwner(), a_);
  CloseClipboard();
}

TEST_F(ClipboardTest, RegisteredFormatsAndTheOrderTheyWereSet) {
  UINT chem = RegisterClipboardFormat("ZQCHEMSTRUC");
  UINT mdl = RegisterClipboardFormat("MDLSK");
  EXPECT_GE(chem, 0xC000u);
  EXPECT_NE(chem, mdl);
  EXPECT_EQ(RegisterClipboardFormat("zqchemstruc"), chem);
  char name[8];
  EXPECT_EQ(GetClipboardFormatName(chem, name, sizeof name), 7);
  EXPECT_STREQ(name, "ZQCHEMS");
  EXPECT_EQ(GetClipboardFormatName(CF_TEXT, name, sizeof name), 0);
  ASSERT_TRUE(OpenClipboard(a_));
  EmptyClipboard();
  SetClipboardData(CF_DSPTEXT, Text("d"));
  SetClipboardData(CF_METAFILEPICT, Text("m"));
  SetClipboardData(chem, Text("c"));
  SetClipboardData(CF_METAFILEPICT, Text("n"));  // replaced where it stands
  EXPECT_EQ(CountClipboardFormats(), 3);
  std::vector<UINT> order;
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) order.push_back(f);
  EXPECT_EQ(order, (std::vector<UINT>{CF_DSPTEXT, CF_METAFILEPICT, chem}));
  EXPECT_STREQ(static_cast<char*>(GlobalLock(GetClipboardData(CF_METAFILEPICT))), "n");
  GlobalUnlock(GetClipboardData(CF_METAFILEPICT));
  CloseClipboard();
}

TEST_F(ClipboardTest, DataOutlivesTheOwnerWindow) {
  HWND temp = CreateWindowEx(0, RecordingClass(), "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(temp));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, Text("kept"));
  CloseClipboard();
  DestroyWindow(temp);
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}

}  // namespace
