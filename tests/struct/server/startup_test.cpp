// Start-up, the server messages, registration order and refusals, and the
// abort request.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>

#include "core/app.h"
#include "core/common.h"
#include "resources/resource.h"
#include "server/entries.h"
#include "server/register.h"
#include "support/fakehost.h"
#include "testutil/faultsweep.h"

using fakehost::Client;
using fakehost::FakeProcessor;

namespace {

std::vector<std::string> Names(const FakeProcessor& host, const std::string& kind) {
  std::vector<std::string> out;
  for (const auto& r : host.registrations)
    if (r.kind == kind) out.push_back(r.name);
  return out;
}

const fakehost::Registration* Find(const FakeProcessor& host, const std::string& name,
                                   int nth = 1) {
  for (const auto& r : host.registrations)
    if (r.name == name && --nth == 0) return &r;
  return nullptr;
}

TEST(Rounding, HalvesGoAwayFromZeroAndLargeValuesSaturate) {
  EXPECT_EQ(RoundToLong(2.5), 3);
  EXPECT_EQ(RoundToLong(-2.5), -3);
  EXPECT_EQ(RoundToLong(-12.5), -13);
  EXPECT_EQ(RoundToLong(2.49), 2);
  EXPECT_EQ(RoundToLong(3e10), 2147483647);
  EXPECT_EQ(RoundToLong(-3e10), -2147483647 - 1);
  EXPECT_EQ(TruncToLong(-0.7), 0);
  EXPECT_EQ(TruncToLong(0.7), 0);
  EXPECT_EQ(TruncToLong(2147483647.9), 2147483647);
}

TEST(ServerEntry, CreatesClientRecordFromTheBlock) {
  FakeProcessor host;
  uintptr_t block[SRVBLK_WORDS] = {0, 111, 222, 0, 0, reinterpret_cast<uintptr_t>(&host)};
  ASSERT_EQ(OOCPSRV(nullptr, 2, block), 0);
  auto* client = reinterpret_cast<CCpClient*>(block[SRVBLK_CLIENT]);
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(block[SRVBLK_ENTRY], reinterpret_cast<uintptr_t>(&OOCPSRV));
  EXPECT_EQ(client->dwHost0, 222u);
  EXPECT_EQ(client->dwHost1, 111u);
  EXPECT_EQ(client->pInfo, nullptr);
  EXPECT_EQ(client->pcp, &host);
  EXPECT_EQ(OOCPSRV(client, 6, nullptr), 0);
}

TEST(ServerEntry, MemoryShortAtStartUpIsReportedAndLeavesNothingBehind) {
  std::vector<int> reported;
  testutil::SweepFaults(platform::FaultOp::HeapAlloc, [&] {
    FakeProcessor host;
    uintptr_t block[SRVBLK_WORDS] = {0, 111, 222, 0, 0, reinterpret_cast<uintptr_t>(&host)};
    if (OOCPSRV(nullptr, 2, block) == 0) {
      auto* client = reinterpret_cast<CCpClient*>(block[SRVBLK_CLIENT]);
      OOCPSRV(client, 3, nullptr);
      OOCPSRV(client, 6, nullptr);
    }
    for (const auto& e : host.errors) reported.push_back(e.first);
  });
  // The client record, then the global state: each refusal reported as such.
  ASSERT_GE(reported.size(), 2u);
  EXPECT_EQ(reported[0], IDS_ERR_ALLOCATION);
  EXPECT_EQ(reported[1], IDS_ERR_ALLOCATION);
}

TEST(ServerEntry, RegistersTypesThenFunctionsThenCommandsInTableOrder) {
  FakeProcessor host;
  Client c(host);
  ASSERT_EQ(host.registrations.size(), 3u + 14u + 19u);
  EXPECT_EQ(Names(host, "type"), (std::vector<std::string>{"STRUC", "wSTRU", "META"}));
  EXPECT_EQ(host.registrations[3].name, "CSCREATE");
  EXPECT_EQ(host.registrations[3 + 13].name, "CSCOPY");
  EXPECT_EQ(host.registrations[3 + 14].name, "ClipCvt");
  EXPECT_EQ(host.registrations.back().name, "MDLSKDump");

  STRUCT_DLL_INFO* info = GetDllInfo(c.get());
  ASSERT_NE(info, nullptr);
  // Object arguments carry the ids the host gave out, in every table.
  const auto* window = Find(host, "CreateWindow");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->types, (std::vector<BYTE>{info->idStrucType, 0, 4, 4}));
  EXPECT_TRUE(Find(host, "CSMFCreate")->types.empty());
  EXPECT_EQ(Find(host, "CSTestHit")->types, (std::vector<BYTE>{2, 0, 0, 0}));
}

TEST(ServerEntry, PackedCommandWordsEndWithFF) {
  FakeProcessor host;
  Client c(host);
  STRUCT_DLL_INFO* info = GetDllInfo(c.get());
  EXPECT_EQ(Find(host, "ClipCvt")->packed & 0xFF, 0xFFu);
  EXPECT_EQ(Find(host, "CSLibs")->packed & 0xFF, 0xFFu);
  EXPECT_EQ(Find(host, "CSSetMode")->packed, 0x0000FF00u);
  EXPECT_EQ(Find(host, "CSSubset")->packed, 0x00FF0101u);
  // string, STRUC, number, string: four bytes, no end marker needed.
  EXPECT_EQ(Find(host, "CSAddStruct")->packed,
            0x01000001u | (static_cast<DWORD>(info->idStrucType) << 8));
  EXPECT_EQ(Find(host, "CSPack")->packed, 0xFF040101u);

  const auto* mfAttach = Find(host, "CSMFATTACH");
  EXPECT_EQ(mfAttach->kind, "overload");
  EXPECT_EQ(mfAttach->selector, 2);
  EXPECT_EQ(mfAttach->tag, "x");
  EXPECT_EQ(mfAttach->types, (std::vector<BYTE>{info->idMetaType, 2, 4, 4}));
  EXPECT_EQ(Find(host, "CSMFATTACH", 2)->kind, "addoverload");
  EXPECT_EQ(Find(host, "CSMFATTACH", 2)->types, (std::vector<BYTE>{info->idMetaType, 3, 4, 4}));
  const auto* loc = Find(host, "SETWINDOWLOC");
  EXPECT_EQ(loc->selector, 1);
  EXPECT_EQ(loc->tag, "z");
  EXPECT_EQ(Find(host, "SETWINDOWLOC", 2)->types, (std::vector<BYTE>{1, 0, 0}));
}

TEST(ServerEntry, RefusedWindowTypeStopsEverythingAfterItAndSkipsSettings) {
  FakeProcessor host;
  host.Refuse("wSTRU");
  Client c(host);
  EXPECT_EQ(Names(host, "type"), std::vector<std::string>{"STRUC"});
  EXPECT_TRUE(Names(host, "function").empty());
  EXPECT_TRUE(Names(host, "command").empty());
  // Settings were never read: the options still hold their zeroes.
  EXPECT_EQ(GetDllInfo(c.get())->drawOpts.lFontHeight, 0);
  EXPECT_EQ(GetDllInfo(c.get())->drawOpts.wBkMode, 0);
}

TEST(ServerEntry, RefusedSecondFormLeavesTheFirstAndNothingLater) {
  {
    FakeProcessor host;
    host.Refuse("CSCREATE", 2);
    Client c(host);
    auto functions = Names(host, "function");
    EXPECT_EQ(functions,
              (std::vector<std::string>{"CSCREATE", "CSGetID", "CSMolCreate", "CSMFCreate"}));
    EXPECT_TRUE(Names(host, "command").empty());
  }
  {
    FakeProcessor host;
    host.Refuse("CSMFATTACH", 2);
    Client c(host);
    EXPECT_EQ(host.registrations.back().name, "CSMFATTACH");
    EXPECT_EQ(host.registrations.back().kind, "overload");
    EXPECT_EQ(Find(host, "CSDrawOpts"), nullptr);
    EXPECT_EQ(GetDllInfo(c.get())->drawOpts.lFontHeight, 0);
  }
}

TEST(ServerEntry, OtherMessagesDoNothing) {
  FakeProcessor host;
  Client c(host);
  void* info = c.get()->pInfo;
  size_t n = host.registrations.size();
  EXPECT_EQ(OOCPSRV(c.get(), 5, nullptr), 0);
  EXPECT_EQ(OOCPSRV(c.get(), 9, nullptr), 0);
  EXPECT_EQ(c.get()->pInfo, info);
  EXPECT_EQ(host.registrations.size(), n);
  EXPECT_TRUE(host.errors.empty());
}

TEST(AbortRequest, SeenByOnePollOnly) {
  FakeProcessor host;
  Client c(host);
  EXPECT_FALSE(PollAbort());
  EXPECT_EQ(OOCPSRV(c.get(), 8, nullptr), 0);
  EXPECT_TRUE(PollAbort());
  EXPECT_FALSE(PollAbort());
}

TEST(AbortRequest, PollDispatchesPendingMessages) {
  static int seen = 0;
  WNDCLASS wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_USER + 7) ++seen;
    return DefWindowProc(h, m, w, l);
  };
  wc.lpszClassName = "PollTestClass";
  RegisterClass(&wc);
  HWND hwnd =
      CreateWindowEx(0, "PollTestClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  PostMessage(hwnd, WM_USER + 7, 0, 0);
  PostMessage(hwnd, WM_USER + 7, 0, 0);
  EXPECT_FALSE(PollAbort());
  EXPECT_EQ(seen, 2);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  DestroyWindow(hwnd);
}

TEST(ModuleLoad, RegistersClipboardFormatsAndWindowClass) {
  CStructDLL& app = GetStructApp();
  EXPECT_EQ(app.m_cfMDLSK, RegisterClipboardFormat("MDLSK"));
  EXPECT_EQ(app.m_cfChemStruc, RegisterClipboardFormat("ZQCHEMSTRUC"));
  EXPECT_GE(app.m_cfChemStruc, 0xC000u);
  WNDCLASS wc{};
  ASSERT_TRUE(
      GetClassInfo(AfxGetStaticModuleState()->m_hCurrentInstanceHandle, app.m_strWndClass, &wc));
  EXPECT_EQ(wc.style & CS_DBLCLKS, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(wc.hbrBackground, GetStockObject(BLACK_BRUSH));
  // Texts come from the library's own table.
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  char text[128];
  EXPECT_GT(LoadStringText(534, text, sizeof text), 0);
  EXPECT_STREQ(text, "Bad parameter (%ld) passed to function or command");
}

TEST(ErrorReports, CarryTheMessageNumberAndFilledText) {
  FakeProcessor host;
  Client c(host);
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  EXPECT_EQ(ReportErrorNum(&host, 534, 2), 534);
  EXPECT_EQ(ReportErrorNum(&host, 554, 222), 554);
  EXPECT_EQ(ReportErrorStr(&host, 529, "C:\\lib.sdb"), 529);
  ASSERT_EQ(host.errors.size(), 3u);
  EXPECT_EQ(host.errors[0].second, "Bad parameter (2) passed to function or command");
  EXPECT_EQ(host.errors[1].second, "Memory allocation failed in struct.dll (locator code 222)");
  EXPECT_EQ(host.errors[2].second, "Could not open file (C:\\lib.sdb)");
}

short Throwing(CCpClient*, OBJ_BASECLASS**) { throw std::bad_alloc(); }

TEST(ErrorReports, NothingThrownReachesTheHost) {
  FakeProcessor host;
  Client c(host);
  EXPECT_EQ(GuardedCommand<Throwing>(c.get(), nullptr), 514);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].first, 514);
}

}  // namespace
