// The one text-line reader of the list files, ASCII structure files and text
// indexes: every kind of line end, a last line without one, over-long lines
// and lines that straddle the reader's blocks.
#include <gtest/gtest.h>

#include "core/textlines.h"
#include "testutil/tempdir.h"

namespace {

// The lines of text read with ReadLine; reading them in place gives the same.
std::vector<std::string> Lines(const std::string& text, int capacity = 8) {
  testutil::TempDir dir;
  testutil::WriteFileBytes(dir.file("t.txt"), text);
  std::vector<std::string> out[2];
  for (int inPlace = 0; inPlace < 2; ++inPlace) {
    HANDLE h = CreateFile(dir.file("t.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    CTextLineReader reader(h);
    std::vector<char> line(capacity);
    const char* at = line.data();
    int n;
    while ((n = inPlace ? reader.ReadLineInPlace(line.data(), capacity, &at)
                        : reader.ReadLine(line.data(), capacity)) >= 0)
      out[inPlace].emplace_back(at, n);
    EXPECT_EQ(n, CTextLineReader::kEnd);
    EXPECT_EQ(reader.Consumed(), static_cast<long long>(text.size()));
    CloseHandle(h);
  }
  EXPECT_EQ(out[1], out[0]);
  return out[0];
}

using V = std::vector<std::string>;

TEST(TextLineReader, EachLineEndCountsOnceAndOverlongLinesLoseOnlyTheirRest) {
  EXPECT_EQ(Lines("a\r\nb\n\rc\nd\re"), (V{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(Lines("a\r\n\r\nb\n\n"), (V{"a", "", "b", ""}));
  EXPECT_EQ(Lines(""), V{});
  EXPECT_EQ(Lines("0123456789abc\r\nxy"), (V{"0123456", "xy"}));
  // Lines across the reader's blocks: a CR LF split between two blocks, a
  // line end first in a block, a kept line and a cut one over several.
  const int block = static_cast<int>(CTextLineReader::kBlock);
  const std::string first(block - 1, 'x');
  EXPECT_EQ(Lines(first + "\r\n" + "tail\n", block), (V{first, "tail"}));
  EXPECT_EQ(Lines(first + "x\r\nz", block + 1), (V{first + "x", "z"}));
  const std::string longer(2 * block + 7, 'w');
  EXPECT_EQ(Lines(longer + "\n\r", 3 * block), V{longer});
  EXPECT_EQ(Lines(std::string(2 * block + 5, 'y') + "\nz", 16), (V{std::string(15, 'y'), "z"}));
}

}  // namespace
