// ClipCvt: number pairs from the clipboard's text, blocks read to their size,
// and no block left behind when memory or the clipboard fails.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "convert/entries.h"
#include "support/fakehost.h"
#include "support/records.h"

namespace {

// Puts text on the clipboard as a block of exactly its bytes (a NUL only if
// the text has one).
HGLOBAL PutText(const std::string& bytes) {
  OpenClipboard(nullptr);
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
  return h;
}

HANDLE TextHandle() {
  OpenClipboard(nullptr);
  HANDLE h = GetClipboardData(CF_TEXT);
  CloseClipboard();
  return h;
}

class ClipCvtTest : public ::testing::Test {
 protected:
  ~ClipCvtTest() override {
    platform::ClearFaults();
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
  }
  // Runs ClipCvt on text; the clipboard's CF_TEXT block afterwards.
  std::string Convert(const std::string& text) {
    PutText(text);
    EXPECT_EQ(ClipboardConvertCmd(client_.get(), nullptr), 0);
    return ClipboardBlock(CF_TEXT);
  }

  fakehost::FakeProcessor host_;
  fakehost::Client client_{host_};
};

// Every block here ends where its text does, without a NUL, as the host's
// ClipLoad makes them: a read past the size shows in the output (and under
// the address sanitizer).
TEST_F(ClipCvtTest, PairsPerLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"10 20 30 40", "10\t20\r\n30\t40\r\n"},
      {"1 2 3", "1\t2\r\n3\t\r\n"},
      {"10 -5", "10\t-5\r\n"},
      {"10 20 x 5 6", "10\t20\r\n"},
      // Blank runs, leading blanks, empty lines, lines that start with no number.
      {"  1\t\t2\r\n\r\n\n-3 4\nx 5\r.6 7\n\t8  9 \r", "1\t2\r\n8\t9\r\n"},
      // Only the first of a pair is tested; the text ends at its NUL.
      {std::string("7 b 8 c\n9 9\0 1 2", 17), "7\tb\r\n8\tc\r\n9\t9\r\n"},
  };
  const int busy = hostutil::BusyCursorCalls();
  for (const auto& [in, out] : cases) EXPECT_EQ(Convert(in), out + '\0') << in;
  EXPECT_EQ(hostutil::BusyCursorCalls(), busy + 2 * static_cast<int>(cases.size()));
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(ClipCvtTest, TextWithoutPairsLeavesTheClipboardAsItWas) {
  for (const char* text : {"abc 1 2", "-5 6", ".5 6", "\r\n\r\n", ""}) {
    HGLOBAL h = PutText(std::string(text) + '\0');
    EXPECT_EQ(ClipboardConvertCmd(client_.get(), nullptr), 0);
    EXPECT_EQ(TextHandle(), h);
    EXPECT_EQ(ClipboardBlock(CF_TEXT), std::string(text) + '\0');
  }
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(ClipboardConvertCmd(client_.get(), nullptr), 0);
  EXPECT_EQ(CountClipboardFormats(), 0);
}

TEST_F(ClipCvtTest, LongLinesConvertWhole) {
  // A number longer than 255 digits, then enough pairs for a line of
  // well over 1000 characters, whose output outgrows the input.
  std::string in(300, '7'), out = in + "\t1\r\n";
  in += " 1";
  for (int i = 100000; i < 100150; i += 2) {
    in += " " + std::to_string(i) + "\t" + std::to_string(i + 1);
    out += std::to_string(i) + "\t" + std::to_string(i + 1) + "\r\n";
  }
  ASSERT_GT(in.size(), 1000u);
  EXPECT_EQ(Convert(in), out + '\0');
  std::string lines, pairs;
  for (int i = 0; i < 400; ++i) lines += "1\n", pairs += "1\t\r\n";
  EXPECT_EQ(Convert(lines), pairs + '\0');
}

TEST_F(ClipCvtTest, FailuresLeaveNoBlockBehind) {
  std::string lines;
  for (int i = 0; i < 400; ++i) lines += "1\n";
  // The first allocation, then a growth of the output block.
  for (int nth : {1, 2}) {
    HGLOBAL h = PutText(lines);
    const int blocks = platform::LiveGlobalBlocks();
    platform::InjectFault(platform::FaultOp::GlobalAlloc, nth);
    EXPECT_EQ(ClipboardConvertCmd(client_.get(), nullptr), 0);
    platform::ClearFaults();
    EXPECT_EQ(TextHandle(), h) << nth;
    EXPECT_EQ(platform::LiveGlobalBlocks(), blocks) << nth;
  }
  // The clipboard refuses the result: its old text is gone, the new one freed.
  PutText("1 2");
  const int blocks = platform::LiveGlobalBlocks();
  platform::InjectFault(platform::FaultOp::SetClipboardData, 1);
  EXPECT_EQ(ClipboardConvertCmd(client_.get(), nullptr), 0);
  EXPECT_EQ(platform::LiveGlobalBlocks(), blocks - 1);
  EXPECT_EQ(TextHandle(), nullptr);
  EXPECT_TRUE(host_.errors.empty());
}

}  // namespace
