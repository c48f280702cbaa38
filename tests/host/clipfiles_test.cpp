// The clipboard built-ins that reach files, run through structhost: a plain
// metafile loaded as a picture and rendered at its suggested size, the raw
// metafile-picture form, text formats by name, and the format list.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstring>

#include "testutil/tempdir.h"

namespace {

// A metafile written by hand: window extent 100 x 100, one diagonal line.
std::string SmallWmf() {
  const uint16_t words[] = {
      1, 9, 0x0300, 0, 0, 0, 0, 5, 0,  // header: size and max record patched below
      5, 0, 0x020C, 100, 100,          // SETWINDOWEXT y, x
      5, 0, 0x0214, 10, 10,            // MOVETO y, x
      5, 0, 0x0213, 90, 90,            // LINETO y, x
      3, 0, 0,                         // end
  };
  std::string bytes(reinterpret_cast<const char*>(words), sizeof words);
  const uint32_t sizeWords = sizeof words / 2;
  std::memcpy(&bytes[6], &sizeWords, 4);
  return bytes;
}

uint32_t BigEndian32(const std::string& s, size_t at) {
  return (static_cast<uint8_t>(s[at]) << 24) | (static_cast<uint8_t>(s[at + 1]) << 16) |
         (static_cast<uint8_t>(s[at + 2]) << 8) | static_cast<uint8_t>(s[at + 3]);
}

int RunHost(const testutil::TempDir& dir, const std::string& statements, std::string* out) {
  testutil::WriteFileBytes(dir.file("s.mac"), statements);
  std::string cmd = "cd '" + dir.path().string() + "' && '" + STRUCTHOST_PATH +
                    "' s.mac </dev/null >out.txt 2>err.txt";
  int raw = std::system(cmd.c_str());
  *out = testutil::ReadFileBytes(dir.file("out.txt")) + testutil::ReadFileBytes(dir.file("err.txt"));
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(ClipFiles, PictureRendersAtItsExtentsAndRawFormKeepsThem) {
  testutil::TempDir dir;
  testutil::WriteFileBytes(dir.file("x.wmf"), SmallWmf());
  std::string out;
  ASSERT_EQ(RunHost(dir,
                    "ClipLoad \"picture\", \"x.wmf\", 8, 5000, 5000\n"
                    "Print ClipFormats$()\n"
                    "ClipSave \"picture\", \"x.png\"\n"
                    "ClipSave \"picture\", \"x.svg\", \"0 0 0\"\n"
                    "ClipSave \"picture\", \"x.pdf\"\n"
                    "ClipSave \"picture\", \"again.wmf\"\n"
                    "ClipSave \"CF_METAFILEPICT\", \"raw.bin\"\n"
                    "ClipSave 3, \"raw3.bin\"\n",
                    &out),
            0)
      << out;
  EXPECT_EQ(out, "CF_METAFILEPICT\n");
  // 50 mm at 96 dpi is 189 pixels.
  const std::string png = testutil::ReadFileBytes(dir.file("x.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(BigEndian32(png, 16), 189u);
  EXPECT_EQ(BigEndian32(png, 20), 189u);
  EXPECT_NE(testutil::ReadFileBytes(dir.file("x.svg")).find("<svg"), std::string::npos);
  EXPECT_EQ(testutil::ReadFileBytes(dir.file("x.pdf")).substr(0, 5), "%PDF-");
  EXPECT_EQ(testutil::ReadFileBytes(dir.file("again.wmf")), SmallWmf());
  const std::string raw = testutil::ReadFileBytes(dir.file("raw.bin"));
  const int32_t head[3] = {8, 5000, 5000};
  EXPECT_EQ(raw, std::string(reinterpret_cast<const char*>(head), 12) + SmallWmf());
  EXPECT_EQ(testutil::ReadFileBytes(dir.file("raw3.bin")), raw);

  // The raw form loads back as the same picture.
  ASSERT_EQ(RunHost(dir,
                    "ClipLoad \"CF_METAFILEPICT\", \"raw.bin\"\n"
                    "ClipSave \"picture\", \"back.wmf\"\n",
                    &out),
            0)
      << out;
  EXPECT_EQ(testutil::ReadFileBytes(dir.file("back.wmf")), SmallWmf());
}

TEST(ClipFiles, TextFormatsByNameAndClearErrors) {
  testutil::TempDir dir;
  testutil::WriteFileBytes(dir.file("t.txt"), std::string("hello\0", 6));
  std::string out;
  EXPECT_EQ(RunHost(dir,
                    "ClipLoad \"CF_TEXT\", \"t.txt\"\n"
                    "Print ClipText$()\n"
                    "ClipSave \"CF_TEXT\", \"t2.txt\"\n"
                    "ClipLoad \"MYFORMAT\", \"t.txt\"\n"
                    "Print ClipFormats$()\n"
                    "ClipSave \"picture\", \"none.png\"\n"
                    "ClipLoad \"CF_TEXT\", \"missing.txt\"\n"
                    "ClipLoad \"picture\", \"t.txt\"\n",
                    &out),
            1);
  EXPECT_EQ(testutil::ReadFileBytes(dir.file("t2.txt")), std::string("hello\0", 6));
  EXPECT_NE(out.find("hello\nMYFORMAT\n"), std::string::npos) << out;
  EXPECT_NE(out.find("error: the clipboard holds no picture"), std::string::npos) << out;
  EXPECT_NE(out.find("error: cannot read missing.txt"), std::string::npos) << out;
  EXPECT_NE(out.find("error: t.txt holds no Windows metafile"), std::string::npos) << out;
}

}  // namespace
