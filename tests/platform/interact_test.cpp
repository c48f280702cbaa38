// The interaction driver's queue, message boxes with their default buttons,
// beeps, and the console they report to.
#include "fixture.h"

namespace {

class InteractTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    platform::ClearActions();
    platform::Console c;
    c.message = [this](const std::string& t) { lines_.push_back("message: " + t); };
    c.beep = [this] { lines_.push_back("beep"); };
    platform::SetConsole(c);
  }
  void TearDown() override {
    platform::SetConsole({});
    platform::ClearActions();
    PlatformTest::TearDown();
  }
  std::vector<std::string> lines_;
};

TEST_F(InteractTest, ActionsComeFirstInFirstOut) {
  EXPECT_FALSE(platform::EverQueued());
  platform::QueueActionsFromFile("set 101 Benzene\r\n\n  \nclick 1\n");
  platform::QueueAction("ok");
  platform::QueueAction("");
  EXPECT_TRUE(platform::EverQueued());
  std::string line;
  std::vector<std::string> got;
  while (platform::NextAction(line)) got.push_back(line);
  EXPECT_EQ(got, (std::vector<std::string>{"set 101 Benzene", "click 1", "ok"}));
  EXPECT_FALSE(platform::HasQueuedAction());
  platform::SetTerminalInput(true);  // something was queued: never the terminal
  EXPECT_FALSE(platform::NextAction(line));
  platform::SetTerminalInput(false);
}

TEST_F(InteractTest, MessageBoxesReportAndTakeTheirDefaultButton) {
  platform::QueueAction("cancel");
  EXPECT_EQ(MessageBox(nullptr, "Replace it?", "Struct", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBox(nullptr, "x", nullptr, MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBox(nullptr, "x", nullptr, MB_OK | MB_ICONSTOP), IDOK);
  EXPECT_EQ(MessageBox(nullptr, "x", nullptr, MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(MessageBox(nullptr, "x", nullptr, MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  EXPECT_TRUE(platform::HasQueuedAction());  // boxes take no action
  MessageBeep(MB_ICONEXCLAMATION);
  ASSERT_EQ(lines_.size(), 6u);
  EXPECT_EQ(lines_[0], "message: Replace it?");
  EXPECT_EQ(lines_[5], "beep");
}

TEST_F(InteractTest, DefaultConsoleWritesToStderr) {
  platform::SetConsole({});
  testing::internal::CaptureStderr();
  MessageBox(nullptr, "Disk drive does not have enough free space", nullptr, MB_OK);
  MessageBeep(0);
  platform::GetConsole().ignoredAnswer("click 9");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "message: Disk drive does not have enough free space\nbeep\nanswer ignored: click 9\n");
}

}  // namespace
