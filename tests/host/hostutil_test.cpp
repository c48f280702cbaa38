// The host's utility library and resource loader as the plug-in calls them:
// message formatting with Windows-sized arguments, error reports through the
// sinks, strings, help, the busy cursor, file tests and the inhibitor.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "hostutil.h"
#include "nlsutils.h"
#include "testutil/tempdir.h"

namespace {

using hostutil::FormatNum;
using hostutil::FormatStr;

TEST(HostUtilFormatTest, EachConversionGetsItsType) {
  EXPECT_EQ(FormatNum("Bad parameter (%ld) passed to function or command", 2),
            "Bad parameter (2) passed to function or command");
  EXPECT_EQ(FormatNum("%ld", -2147483647 - 1), "-2147483648");
  EXPECT_EQ(FormatNum("%d|%i", -5), "-5|-5");
  // Unsigned forms see the 32 bits of the LONG, as on the message's home platform.
  EXPECT_EQ(FormatNum("%u", -1), "4294967295");
  EXPECT_EQ(FormatNum("%lu", -1), "4294967295");
  EXPECT_EQ(FormatNum("%lx %X", -1), "ffffffff FFFFFFFF");
  EXPECT_EQ(FormatNum("locator code %u", 222), "locator code 222");
  EXPECT_EQ(FormatNum("%c", 'A'), "A");
  EXPECT_EQ(FormatNum("[%5ld|%-4d|%05d|%+d]", 42), "[   42|42  |00042|+42]");
  EXPECT_EQ(FormatNum("100%% of %s", 7), "100% of 7");
  EXPECT_EQ(FormatNum("no placeholder", 7), "no placeholder");
  EXPECT_EQ(FormatNum("trailing %", 7), "trailing %");
  EXPECT_EQ(FormatNum("%ld-%02ld-%ld", 5), "5-05-5");
}

TEST(HostUtilFormatTest, TextArguments) {
  EXPECT_EQ(FormatStr("Unable to update structure settings file: %s", "C:\\s.ini"),
            "Unable to update structure settings file: C:\\s.ini");
  EXPECT_EQ(FormatStr("[%-6s|%.2s]", "abc"), "[abc   |ab]");
  EXPECT_EQ(FormatStr("%s", nullptr), "");
  EXPECT_EQ(FormatStr("%ld", "12"), "12");  // shown as text, never read as a number
  EXPECT_EQ(FormatStr("50%%", "x"), "50%");
}

class HostUtilReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hostutil::SetSinks({[this](int msg, const std::string& text) {
                          errors_.push_back(std::to_string(msg) + ":" + text);
                        },
                        [this](const std::string& file, DWORD context) {
                          help_.push_back(file + "#" + std::to_string(context));
                        }});
    module_ = AfxRegisterModule(&kStrings, &kRes);
  }
  void TearDown() override {
    AfxUnregisterModule(module_);
    hostutil::SetSinks({});
  }

  static constexpr RES_STRING kStrings[] = {
      {512, "Structure %ld not found"},
      {534, "Bad parameter (%ld) passed to function or command"},
      {550, "Unable to update structure settings file: %s"},
      {554, "Memory allocation failed in struct.dll (locator code %u)"},
      {600, "A longer text for cutting"},
  };
  static constexpr RES_MODULE kRes = {kStrings, 5, nullptr, 0};
  HINSTANCE module_ = nullptr;
  std::vector<std::string> errors_, help_;
};

TEST_F(HostUtilReportTest, ReportsReturnTheMessageNumber) {
  EXPECT_EQ(FormatErrorEx(module_, nullptr, 512), 512);
  EXPECT_EQ(FormatErrorNumEx(module_, nullptr, 534, 3), 534);
  EXPECT_EQ(FormatErrorNumEx(module_, nullptr, 554, 222), 554);
  EXPECT_EQ(FormatErrorStrEx(module_, nullptr, 550, "C:\\struct.ini"), 550);
  EXPECT_EQ(FormatErrorEx(module_, nullptr, 999), 999);  // no text: the number alone
  EXPECT_EQ(errors_, (std::vector<std::string>{
                         "512:Structure %ld not found",
                         "534:Bad parameter (3) passed to function or command",
                         "554:Memory allocation failed in struct.dll (locator code 222)",
                         "550:Unable to update structure settings file: C:\\struct.ini",
                         "999:",
                     }));
}

TEST_F(HostUtilReportTest, StringsAndHelp) {
  char buf[10];
  EXPECT_EQ(GetStringEx(module_, buf, sizeof buf, 600), 9);
  EXPECT_STREQ(buf, "A longer ");
  std::strcpy(buf, "stale");
  EXPECT_EQ(GetStringEx(module_, buf, sizeof buf, 601), 0);
  EXPECT_STREQ(buf, "");
  DisplayHelp(nullptr, "C:\\help\\struct.hlp", 1, 273);
  DisplayHelp(nullptr, nullptr, 1, 272);
  EXPECT_EQ(help_, (std::vector<std::string>{"C:\\help\\struct.hlp#273", "#272"}));
}

TEST(HostUtilMiscTest, BusyCursorTogglesBetweenWaitAndArrow) {
  const int before = hostutil::BusyCursorCalls();
  SetBusyCursor(nullptr, nullptr);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, (before % 2) ? IDC_ARROW : IDC_WAIT));
  SetBusyCursor(nullptr, nullptr);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, (before % 2) ? IDC_WAIT : IDC_ARROW));
  EXPECT_EQ(hostutil::BusyCursorCalls(), before + 2);
}

TEST(HostUtilMiscTest, IsFileAcceptsOnlyExistingFiles) {
  testutil::TempDir dir;
  testutil::WriteFileBytes(dir.file("a.sdb"), "x");
  EXPECT_TRUE(IsFile(dir.file("a.sdb").c_str()));
  EXPECT_FALSE(IsFile(dir.file("b.sdb").c_str()));
  EXPECT_FALSE(IsFile(dir.path().string().c_str()));
  EXPECT_FALSE(IsFile(""));
  EXPECT_FALSE(IsFile(nullptr));
}

TEST(HostUtilMiscTest, InhibitorsCountWhileTheyLive) {
  const int before = hostutil::ActiveInhibitors();
  {
    CMyFunctionKeyInhibitor a(_iscfr());
    auto* b = new CMyFunctionKeyInhibitor(1);
    EXPECT_EQ(hostutil::ActiveInhibitors(), before + 2);
    delete b;
    EXPECT_EQ(hostutil::ActiveInhibitors(), before + 1);
  }
  EXPECT_EQ(hostutil::ActiveInhibitors(), before);
  EXPECT_EQ(_iscfr(), 1u);
}

TEST(HostUtilMiscTest, FileDialogBitsAddAHook) {
  DWORD flags = 0x4;
  LPOFNHOOKPROC hook = nullptr;
  GetVarloSelectFileBits(&flags, &hook);
  EXPECT_EQ(flags & 0x4, 0x4u);
  EXPECT_NE(flags, 0x4u);
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(hook(nullptr, 0, 0, 0), 0u);
}

TEST(HostUtilMiscTest, ResourceLoaderKeepsTheModule) {
  HINSTANCE own = reinterpret_cast<HINSTANCE>(0x1234);
  HINSTANCE res = own;
  EXPECT_EQ(NLSLoadResourceFileModule(own, &res), 0);
  EXPECT_EQ(res, own);
}

}  // namespace
