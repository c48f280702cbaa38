// Modules: resources by instance handle, module file names, the current
// module state, attach and detach with the application object, CString, and
// cursors.
#include <afxwin.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "fixture.h"

namespace {

const RES_STRING kStrings[] = {{100, "Hello"}, {514, "Not enough free local memory to operate"}};
const UINT kCursors[] = {100};
const RES_MODULE kRes = {kStrings, 2, kCursors, 1};

}  // namespace

// Each module has its own static state; this is the test program's.
AFX_MODULE_STATE* AfxGetStaticModuleState() {
  static AFX_MODULE_STATE state;
  return &state;
}

namespace {

class ModuleTest : public PlatformTest {
 protected:
  void TearDown() override {
    if (h_) AfxUnregisterModule(h_);
    PlatformTest::TearDown();
  }
  HINSTANCE Register() { return h_ = AfxRegisterModule(reinterpret_cast<void*>(&Anchor), &kRes); }
  static void Anchor() {}
  HINSTANCE h_ = nullptr;
};

TEST_F(ModuleTest, LoadStringCutsToTheBuffer) {
  HINSTANCE h = Register();
  char buf[16];
  EXPECT_EQ(LoadString(h, 100, buf, sizeof buf), 5);
  EXPECT_STREQ(buf, "Hello");
  EXPECT_EQ(LoadString(h, 514, buf, 10), 9);
  EXPECT_STREQ(buf, "Not enoug");
  EXPECT_EQ(LoadString(h, 999, buf, sizeof buf), 0);
  EXPECT_EQ(LoadString(reinterpret_cast<HINSTANCE>(0x4), 100, buf, sizeof buf), 0);
}

TEST_F(ModuleTest, ModuleFileNames) {
  std::string exe = std::filesystem::canonical("/proc/self/exe").string();
  char buf[4096];
  ASSERT_EQ(GetModuleFileName(nullptr, buf, sizeof buf), exe.size());
  EXPECT_EQ(std::string(buf), exe);
  HINSTANCE h = Register();  // an address in the test program itself
  GetModuleFileName(h, buf, sizeof buf);
  EXPECT_EQ(std::string(buf), exe);
  HINSTANCE lib = AfxRegisterModule(reinterpret_cast<void*>(&GetTickCount), nullptr);
  DWORD n = GetModuleFileName(lib, buf, sizeof buf);
  EXPECT_EQ(std::filesystem::path(std::string(buf, n)).filename(), "libstructplatform.so");
  SetLastError(kPrimedError);
  EXPECT_EQ(GetModuleFileName(lib, buf, 5), 5u);  // cut and terminated
  EXPECT_EQ(std::strlen(buf), 4u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  AfxUnregisterModule(lib);
  EXPECT_EQ(GetModuleFileName(lib, buf, sizeof buf), 0u);
}

class TestApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    initState = AfxGetModuleState();
    initText.LoadString(100);
    return TRUE;
  }
  int ExitInstance() override {
    exitState = AfxGetModuleState();
    return 0;
  }
  AFX_MODULE_STATE* initState = nullptr;
  AFX_MODULE_STATE* exitState = nullptr;
  CString initText;
};

TEST_F(ModuleTest, AttachRunsInitInstanceWithTheModuleStateCurrent) {
  TestApp app;
  AFX_MODULE_STATE* state = AfxGetStaticModuleState();
  AFX_MODULE_STATE* before = AfxGetModuleState();
  ASSERT_TRUE(AfxDllAttach(&app, state, reinterpret_cast<void*>(&Anchor), &kRes));
  EXPECT_EQ(app.initState, state);
  EXPECT_EQ(app.initText, "Hello");
  EXPECT_EQ(AfxGetModuleState(), before);  // restored
  EXPECT_EQ(app.m_hInstance, state->m_hCurrentInstanceHandle);
  EXPECT_EQ(state->m_hCurrentResourceHandle, state->m_hCurrentInstanceHandle);
  EXPECT_EQ(state->m_pCurrentWinApp, &app);
  HINSTANCE h = app.m_hInstance;
  {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CString s;
    EXPECT_TRUE(s.LoadString(514));
    EXPECT_EQ(s.GetLength(), 39);
  }
  CString outside;
  EXPECT_FALSE(outside.LoadString(100));  // the process state has no resources
  AfxDllDetach(&app, state);
  EXPECT_EQ(app.exitState, state);
  char buf[8];
  EXPECT_EQ(LoadString(h, 100, buf, sizeof buf), 0);
}

TEST_F(ModuleTest, ModuleStateIsPerThread) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  AFX_MODULE_STATE* other = nullptr;
  std::thread([&] { other = AfxGetModuleState(); }).join();
  EXPECT_NE(other, AfxGetStaticModuleState());
  EXPECT_EQ(AfxGetModuleState(), AfxGetStaticModuleState());
}

TEST_F(ModuleTest, CStringFormatsAndComparesBlindToCase) {
  CString s;
  s.Format("%ld-%02ld-%ld", 50L, 0L, 0L);
  EXPECT_EQ(s, "50-00-0");
  s.Format("%s", std::string(300, 'x').c_str());
  EXPECT_EQ(s.GetLength(), 300);
  EXPECT_EQ(CString("ViewDrawClass").CompareNoCase("VIEWDRAWCLASS"), 0);
  EXPECT_LT(CString("a").CompareNoCase("B"), 0);
}

TEST_F(ModuleTest, CursorsOfModulesAndSystem) {
  HINSTANCE h = Register();
  HCURSOR c = LoadCursor(h, MAKEINTRESOURCE(100));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(LoadCursor(h, MAKEINTRESOURCE(100)), c);
  EXPECT_EQ(LoadCursor(h, MAKEINTRESOURCE(101)), nullptr);
  EXPECT_EQ(LoadCursor(h, IDC_WAIT), nullptr);  // a module has only its own
  HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  ASSERT_NE(wait, nullptr);
  EXPECT_NE(wait, arrow);
  HCURSOR old = SetCursor(wait);
  EXPECT_EQ(SetCursor(c), wait);
  EXPECT_EQ(GetCursor(), c);
  AfxUnregisterModule(h);  // its cursors go with it
  h_ = nullptr;
  EXPECT_EQ(GetCursor(), nullptr);
  EXPECT_FALSE(DestroyCursor(c));
  EXPECT_TRUE(DestroyCursor(wait));  // shared: harmless
  SetCursor(old);
}

TEST(ClockTest, TicksCanBeFrozenAndAdvanced) {
  platform::SetTickCount(1000);
  EXPECT_EQ(GetTickCount(), 1000u);
  platform::AdvanceTickCount(1500);
  EXPECT_EQ(GetTickCount(), 2500u);
  platform::UseRealClock();
  DWORD a = GetTickCount();
  platform::AdvanceTickCount(60000);
  EXPECT_GE(GetTickCount() - a, 60000u);
  platform::UseRealClock();
}

}  // namespace
