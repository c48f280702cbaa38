// The window searches that find the host's view and windows by title.
#include <gtest/gtest.h>

#include "core/common.h"
#include "core/viewlookup.h"
#include "support/fakehost.h"

namespace {

TEST(ViewLookup, ByClassByTitleAndTheHostsView) {
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  fakehost::FakeProcessor host;
  fakehost::Client client(host);
  STRUCT_DLL_INFO* info = GetDllInfo(client.get());
  WNDCLASS wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "ViewDrawClass";
  RegisterClass(&wc);
  wc.lpszClassName = "PlainTestClass";
  RegisterClass(&wc);
  HWND main = CreateWindowEx(0, "PlainTestClass", "Main", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400,
                             nullptr, nullptr, nullptr, nullptr);
  HWND panel = CreateWindowEx(0, "PlainTestClass", "Sample", WS_CHILD | WS_BORDER, 0, 0, 50, 50,
                              main, nullptr, nullptr, nullptr);
  HWND bare = CreateWindowEx(0, "PlainTestClass", "Zebra", WS_CHILD, 0, 0, 50, 50, main, nullptr,
                             nullptr, nullptr);
  EXPECT_EQ(FindViewWindow(client.get()), nullptr);
  host.hwndMain = main;
  EXPECT_EQ(FindViewWindow(client.get()), nullptr);  // no view under the main window
  HWND view = CreateWindowEx(0, "ViewDrawClass", "", WS_CHILD, 0, 0, 100, 100, panel, nullptr,
                             nullptr, nullptr);
  EXPECT_EQ(FindViewWindow(client.get()), view);
  host.hwndView = bare;
  EXPECT_EQ(FindViewWindow(client.get()), bare);  // given: no search

  EXPECT_EQ(FindDescendantWindow(info, main, "SAMPLE", FALSE), panel);
  EXPECT_EQ(FindDescendantWindow(info, main, "SAMPLE DATA 2", FALSE), panel);
  EXPECT_EQ(FindDescendantWindow(info, main, "ZEBRA", FALSE), nullptr)
      << "a window without a caption style is never found by title";
  DestroyWindow(main);
}

}  // namespace
