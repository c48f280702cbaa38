// The progress display and the tool driver with its completion line.
#include <gtest/gtest.h>
#include <platform/env.h>

#include "resources/resource.h"
#include "support/fakehost.h"
#include "tools/driver.h"

namespace {

TEST(ProgressDisplay, ProgressAndCompletionLines) {
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  fakehost::FakeProcessor host_;
  fakehost::Client client_(host_);
  ReportToolProgress(client_.get(), "CSAddStruct", 0, 1000);
  ReportToolProgress(client_.get(), "CSPack", 5, 57);
  ASSERT_EQ(host_.statusTexts.size(), 2u);
  EXPECT_EQ(host_.statusTexts[0], std::make_pair(9, std::string("CSAddStruct: 100.0% complete")));
  EXPECT_EQ(host_.statusTexts[1], std::make_pair(9, std::string("CSPack: 5 done, 5.7% complete")));
  EXPECT_STREQ(CompletionText("", 75000), ", completed (1 min, 15.0 secs).");
  EXPECT_STREQ(CompletionText("", 60000), ", completed (60.0 secs).");
  EXPECT_STREQ(CompletionText("x", 1234), "x, completed (1.2 secs).");
}

short g_workStatus = 0;
short Work(OBJ_BASECLASS**, CCpClient*, STRUCT_DLL_INFO*, char* name, int) {
  platform::AdvanceTickCount(75000);
  name[0] = 0;
  return g_workStatus;
}

TEST(ToolDriver, CompletionLineOnlyAfterWorkThatSucceeded) {
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  fakehost::FakeProcessor host;
  fakehost::Client client(host);
  platform::SetTickCount(1000);
  g_workStatus = 0;
  EXPECT_EQ(RunToolCommand(client.get(), nullptr, IDS_TITLE_CSPACK, TRUE, Work), 0);
  ASSERT_EQ(host.statusTexts.size(), 1u);
  EXPECT_EQ(host.statusTexts[0],
            std::make_pair(0, std::string("CSPack: , completed (1 min, 15.0 secs).")));
  g_workStatus = 517;
  EXPECT_EQ(RunToolCommand(client.get(), nullptr, IDS_TITLE_CSPACK, TRUE, Work), 517);
  EXPECT_EQ(host.statusTexts.size(), 1u);
  platform::UseRealClock();
}

}  // namespace
