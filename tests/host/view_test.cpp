// The drawing view and a user's actions on its windows, with the test
// plug-in's panes: the messages each action delivers, the window list, the
// picture of the view, and the errors for values without a window.
#include <gtest/gtest.h>

#include <cstdint>
#include <regex>

#include "test_host.h"
#include "testutil/tempdir.h"

namespace {

uint32_t BigEndian32(const std::string& s, size_t at) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 24) |
         (static_cast<uint8_t>(s[at + 1]) << 16) | (static_cast<uint8_t>(s[at + 2]) << 8) |
         static_cast<uint8_t>(s[at + 3]);
}

class ViewTest : public ::testing::Test {
 protected:
  // Runs a script that must succeed and gives its output.
  std::string Out(const std::string& script) {
    const hosttest::Outcome r = host_.Run(script);
    EXPECT_FALSE(r.failed) << r.err;
    return r.out;
  }
  hosttest::TestHost host_{true};
};

TEST_F(ViewTest, ActionsArriveAsTheSystemWouldPostThem) {
  Out("p = MakePane(\"A\", 1)\n");
  // Ctrl+C: the key and the control character, no second character from
  // translating the key-down; a plain key gets exactly its own character.
  EXPECT_EQ(Out("UserKey p, \"^C\"\nUserKey p, \"a\"\nPrint PaneLog$()\n"),
            "keydown 43 1\nchar 3 1\nkeydown 41 1\nchar 61 1\n\n");
  // 200 x 100 less a 4-pixel frame and an 18-pixel caption: centre (96, 37).
  EXPECT_EQ(Out("UserDoubleClick p\nPrint PaneLog$()\n"),
            "down 1 250060\nup 0 250060\ndblclk 1 250060\nup 0 250060\n\n");
  EXPECT_EQ(Out("UserSysCommand p, 61728\nPrint PaneLog$()\n"), "syscommand f120 0\n\n");
  // The close box ends the window before the statement ends.
  EXPECT_EQ(Out("UserClose p\nPrint PaneLog$()\n"),
            "syscommand f060 0\nclose 0 0\ndestroy 0 0\n\n");
  const hosttest::Outcome gone = host_.Run("UserKey p, \"x\"\n");
  EXPECT_TRUE(gone.failed);
  EXPECT_EQ(gone.err, "error: the window is gone\n");
}

TEST_F(ViewTest, BadArgumentsAreHostErrors) {
  Out("p = MakePane(\"A\", 1)\n");
  const struct {
    const char* statement;
    const char* error;
  } cases[] = {
      {"UserKey p, \"^X\"", "error: UserKey: \"^X\" is not a key (one character or \"^C\")\n"},
      {"UserKey p, \"ab\"", "error: UserKey: \"ab\" is not a key (one character or \"^C\")\n"},
      {"UserSysCommand p, 65536",
       "error: UserSysCommand: the command id is a whole number from 0 to 65535\n"},
      {"UserSysCommand p, 1.5",
       "error: UserSysCommand: the command id is a whole number from 0 to 65535\n"},
      {"UserClose 5", "error: UserClose: argument 1 is not a window\n"},
      {"UserMaximize MakeThing(\"t\")", "error: the window is gone\n"},
      {"SaveView \"v.svg\"", "error: SaveView writes .png, not v.svg\n"},
  };
  for (const auto& c : cases) {
    const hosttest::Outcome r = host_.Run(std::string(c.statement) + "\n");
    EXPECT_TRUE(r.failed) << c.statement;
    EXPECT_EQ(r.err, c.error) << c.statement;
  }
  EXPECT_EQ(Out("Print PaneLog$()\n"), "\n");  // nothing reached the window
}

TEST_F(ViewTest, WindowsListInCreationOrderWithStateAndTitle) {
  EXPECT_EQ(Out("Print \"[\" + ViewWindows$() + \"]\"\n"), "[]\n");
  Out("a = MakePane(\"A\", 1)\nb = MakePane(\"B\", 0)\nc = MakePane(\"Two words\", 1)\n");
  EXPECT_EQ(Out("Print ViewWindows$()\n"),
            "10 20 200 100 shown \"A\"\n60 20 200 100 hidden \"B\"\n"
            "110 20 200 100 shown \"Two words\"\n");
  // Minimised, a window lists where it goes back to; maximising brings the
  // first window to the top without changing its place in the list.
  const std::string lines = Out("UserSysCommand c, 61472\nUserMaximize a\nPrint ViewWindows$()\n");
  EXPECT_TRUE(std::regex_match(lines, std::regex("-?\\d+ -?\\d+ \\d+ \\d+ maximised \"A\"\n"
                                                 "60 20 200 100 hidden \"B\"\n"
                                                 "110 20 200 100 minimised \"Two words\"\n")))
      << lines;
}

TEST_F(ViewTest, SaveViewWritesThePictureOfTheView) {
  testutil::TempDir dir;
  EXPECT_TRUE(IsWindowVisible(host_.rt().hwndView));
  Out("p = MakePane(\"A\", 1)\nSaveView \"" + dir.file("v.png") + "\"\n");
  const std::string png = testutil::ReadFileBytes(dir.file("v.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(BigEndian32(png, 16), 800u);
  EXPECT_EQ(BigEndian32(png, 20), 600u);
}

}  // namespace
